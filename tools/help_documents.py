#!/usr/bin/env python3
"""Writes the help topics data/help1.zrm .. help8.zrm and data/licencia.zrm (RTF, Windows-1250)
from the texts below. Run from the repository's root after changing a text.

Markup, one paragraph a line: "# " a heading, "## " a subheading, "- " a bulleted item,
"**text**" bold inside a line; an empty line is a gap."""
import re

TOPICS = {}

TOPICS["help1.zrm"] = """
# Čo je nové v tejto verzii?
ZORIM 1.0 je slovenský textový editor pre každodenné písanie listov, žiadostí a poznámok. Táto verzia prináša:
- **Formátovaný text.** Písmo, veľkosť, tučné, šikmé, podčiarknuté a preškrtnuté písmo, farba písma aj pozadia, horný a dolný index.
- **Odseky.** Zarovnanie na ľavo, na stred a na pravo, odrážky a posúvanie odsekov doľava a doprava.
- **Dokumenty ZORIM a RTF.** Vlastný formát .zrm je bežný RTF, takže dokumenty otvoríte aj v iných textových editoroch. Otvoriť a uložiť môžete aj textové súbory .txt; stránky HTML sa otvoria ako zdrojový text.
- **Hľadanie a nahrádzanie.** Príkaz Nájsť označí prvý výskyt textu v dokumente, Nájsť ďalší pokračuje za označeným textom a po poslednom výskyte začne znova od začiatku. Nahradiť zamení všetky výskyty naraz a celú zámenu vrátite späť jediným príkazom Naspäť.
- **Prejsť na riadok.** Kurzor skočí na začiatok zvoleného riadku; číslo väčšie ako počet riadkov ho presunie na posledný riadok.
- **Vkladanie.** Dátum, čas, ustálené slovné spojenia listov, špeciálne znaky, internetové adresy, obrázky a objekty.
- **Nástroje.** Štatistika dokumentu, prehliadač obsahu schránky a spustenie kalkulačky.
- **Vzhľad.** Osem farebných motívov (skinov), režim čistého textu a režim HTML, ktorý farebne zvýrazní značky stránky.
Program je freeware: môžete ho zadarmo používať a šíriť. Podrobnosti nájdete v téme LICENCIA.
"""

TOPICS["help2.zrm"] = """
# Základné funkcie
## Okno programu
Pod titulkom okna je hlavná ponuka, pod ňou panely nástrojov a pod nimi plocha dokumentu. Na spodnom okraji je stavový riadok: ukazuje polohu kurzora (riadok a stĺpec), názov súboru, značku „Zmenený“ pri neuloženej zmene a dnešný dátum a čas.
## Písanie a úpravy
- **Naspäť** (Ctrl+Z) vráti poslednú zmenu, **Vpred** (Ctrl+Y) ju zopakuje.
- **Vybrať** (Ctrl+X) vystrihne označený text do schránky, **Kopírovať** (Ctrl+C) ho skopíruje a **Vložiť** (Ctrl+V) vloží obsah schránky na miesto kurzora.
- **Vymazať** (Shift+Del) zmaže celý dokument, nielen označený text. Príkazom Naspäť (Ctrl+Z) ho vrátite aj s formátovaním.
- **Označiť všetko** (Ctrl+A) označí celý dokument.
- **Vložiť inak...** v ponuke Úpravy ponúkne obsah schránky vo formátoch, ktoré si vyberiete.
## Písmo
Písmo a jeho veľkosť vyberiete v poliach „Písmo“ a „Veľkosť“ na paneli nástrojov alebo v okne **Písmo** (Ctrl+F). Tlačidlá Tučné, Šikmé a Podčiarknuté zapínajú a vypínajú rez písma označeného textu. Farbu písma a pozadia zvolíte tlačidlami „Farba písma“ a „Farba pozadia“. Horný a dolný index nájdete v ponuke Úpravy, Index.
## Odseky
Tlačidlá zarovnania upravia označené odseky na ľavo, na stred alebo na pravo. Tlačidlo „Odrážky“ pridá alebo odstráni odrážky. Tlačidlá „Posunúť doľava“ a „Posunúť doprava“ posúvajú odseky po krokoch. Zalamovanie riadkov zapnete a vypnete v ponuke Nastavenie.
## Vkladanie
V ponuke Vložiť nájdete dátum, čas, ustálené spojenia listov (Dobrý deň, Vážený pán, Vážená pani, S pozdravom), špeciálne znaky, textový súbor, hypertextový odkaz, obrázok a objekt.
"""

TOPICS["help3.zrm"] = """
# Vytvoriť nový dokument
Nový dokument začnete príkazom **Súbor, Nový** (kláves F1) alebo tlačidlom „Nový“ na paneli nástrojov.
Program sa najprv opýta: „Chcete uložiť rozpísaný dokument?“ Opýta sa vždy, aj keď ste dokument nezmenili.
- **Áno** otvorí okno na uloženie rozpísaného dokumentu; keď dokument uložíte, program začne nový dokument. Ak uloženie zrušíte, rozpísaný dokument zostane v okne tak, ako bol.
- **Nie** zahodí rozpísaný text a začne nový dokument.
- **Zrušiť** nechá rozpísaný dokument tak, ako je.
Nový dokument je prázdny, nemá ešte názov (v titulku okna je „Dokument“) a píše sa písmom Verdana veľkosti 12. V stavovom riadku uvidíte značku „Nový“.
## Rady
- Pri prvom uložení sa program opýta na názov a priečinok dokumentu.
- Šírku plochy, na ktorú píšete, prispôsobíte veľkosti stránky v okne **Nastavenie** (ponuka Nastavenie).
- Ustálené spojenia listov vložíte jediným klávesom, napríklad Shift+F5 vloží „Dobrý deň“.
"""

TOPICS["help4.zrm"] = """
# Otváranie dokumentu
Dokument otvoríte príkazom **Súbor, Otvoriť** (kláves F2) alebo tlačidlom „Otvoriť“. V okne „Otvoriť dokument“ vyberte súbor a potvrďte ho; otvorený súbor nahradí obsah okna.
Ak má rozpísaný dokument neuložené zmeny, program sa najprv opýta: „Chcete uložiť rozpísaný dokument?“
- **Áno** rozpísaný dokument najprv uloží (dokument, ktorý ešte nemá názov, cez okno „Uložiť dokument“) a potom ponúkne okno „Otvoriť dokument“.
- **Nie** neuložené zmeny zahodí a ponúkne okno „Otvoriť dokument“.
- **Zrušiť** nechá rozpísaný dokument tak, ako je; nič sa neotvorí.
## Ktoré súbory ZORIM otvorí
- **Dokumenty ZORIM (.zrm)** a **RTF (.rtf)**: formátovaný text s písmom, farbami, odsekmi a obrázkami.
- **Textové súbory (.txt)**: čistý text, každý riadok súboru ako jeden odsek. Súbor sa uloží späť v kódovaní (UTF-8 alebo Windows-1250) a s koncami riadkov, s akými bol otvorený.
- **Stránky HTML (.htm, .html)**: otvoria sa ako zdrojový text; režim HTML v ponuke Nastavenie zvýrazní značky farbou.
- **Súbory MOLA Editora (.mola)** a súbory s inou príponou sa čítajú ako dokumenty ZORIM.
- **Dokumenty iných programov** (DOCX, ODT, DOC, PDF), obrázky a programy ZORIM neotvorí: oznámi, o aký formát ide.
Ak sa súbor nepodarí otvoriť, v okne zostane rozpísaný dokument tak, ako bol, aj so svojím názvom.
Okno na otváranie si pamätá priečinok, z ktorého ste naposledy otvárali.
## Naposledy uložený dokument
V ponuke Súbor je pod príkazom Odoslať cesta k dokumentu, ktorý ste naposledy uložili. Jedným kliknutím ho otvoríte znova.
## Vloženie textového súboru
Príkaz **Vložiť, Textový súbor** (Ctrl+E) vloží text iného súboru na miesto kurzora; dokument, do ktorého vkladáte, si ponechá svoj názov.
"""

TOPICS["help5.zrm"] = """
# Ukladanie dokumentu
Dokument uložíte príkazom **Súbor, Uložiť** (kláves F3) alebo tlačidlom „Uložiť“. Dokument, ktorý ešte nemá názov, sa uloží cez okno „Uložiť dokument“.
Príkazom **Uložiť ako...** (kláves F4) uložíte dokument pod novým názvom alebo do iného priečinka. Po uložení program oznámi „Dokument bol uložený!“.
Ak súbor so zvoleným názvom už existuje, program sa opýta, či ho chcete nahradiť; odpoveď **Nie** vás vráti do okna „Uložiť dokument“. Názov bez prípony dostane príponu zvoleného formátu, napríklad .zrm pri „Formát ZORIM“.
## Formát podľa prípony
O formáte rozhoduje prípona názvu súboru:
- **.zrm** – formát ZORIM (RTF) so všetkým formátovaním; odporúčame ho.
- **.rtf** – RTF, ktorý prečítajú aj iné textové editory.
- **.txt** – čistý text bez formátovania; písmo, farby a obrázky sa neuložia. Otvorený textový súbor si ponechá svoje kódovanie a konce riadkov; nový sa uloží v kódovaní Windows-1250, alebo v UTF-8, ak obsahuje znaky, ktoré Windows-1250 nemá.
Ak zapnete režim **Plain Text** (ponuka Nastavenie), dokumenty .zrm a .txt sa ukladajú ako čistý text.
## Bezpečné ukladanie
ZORIM zapisuje dokument najprv do pomocného súboru a pôvodný súbor nahradí až po úplnom zápise. Ak sa uloženie nepodarí (napríklad je plný disk), pôvodný súbor zostane nepoškodený a program ohlási chybu.
## Zmenený dokument
Značka „Zmenený“ v stavovom riadku upozorňuje na neuložené zmeny. Pri zatváraní programu s neuloženými zmenami sa program opýta, či ich chcete uložiť.
"""

TOPICS["help6.zrm"] = """
# Vytlačenie dokumentu
Dokument vytlačíte príkazom **Súbor, Vytlačiť** (kláves F5) alebo tlačidlom „Vytlačiť“.
- V tlačovom okne vyberte tlačiareň a jej nastavenie a potvrďte tlač.
- Vytlačí sa vždy celý dokument, všetky strany.
- Text sa rozloží na celú tlačiteľnú plochu papiera; okraje určuje tlačiareň.
- Tlačová úloha sa v zozname tlačiarne volá „ZORIM“.
## Nastavenie stránky
Okno **Nastavenie** v ponuke Nastavenie prispôsobí plochu dokumentu na obrazovke zvolenej veľkosti stránky (A6, A5, A4, A3) a jej polohe (na výšku alebo na šírku). Text sa potom zalamuje približne tak, ako na stránke. Toto nastavenie mení iba zobrazenie na obrazovke, nie tlač.
Ak zmeníte veľkosť okna inak (napríklad ho zväčšíte na celú obrazovku), plocha dokumentu sa opäť prispôsobí oknu; nastavenie stránky obnovíte tlačidlom OK v okne Nastavenie.
"""

TOPICS["help7.zrm"] = """
# Špeciálne funkcie
## Hľadanie a nahrádzanie
- **Nájsť** (F9) označí prvý výskyt zadaného textu od začiatku dokumentu. Rozlišujú sa veľké a malé písmená.
- **Nájsť ďalší** (F10) označí ďalší výskyt za označeným textom; po poslednom výskyte začne znova od začiatku.
- **Nahradiť** (F11) zamení všetky výskyty hľadaného textu novým textom. Celú zámenu vrátite príkazom Naspäť.
- **Prejsť na riadok** (F7) presunie kurzor na začiatok riadku so zadaným číslom.
## Nástroje
- **Parametre dokumentu** (Ctrl+F3) ukážu počet znakov, slov, riadkov a medzier. Koniec riadku sa počíta ako dva znaky.
- **Obsah schránky** (Ctrl+F4) ukáže, čo je v schránke: na jednej záložke s formátovaním, na druhej ako čistý text.
- **Kaľkulačka** (Ctrl+F5) spustí kalkulačku vášho systému, ak je nainštalovaná.
## Kontrola pravopisu
Počas písania ZORIM podčiarkne slová, ktoré nepozná slovník, červenou vlnovkou. Podčiarknutie vidíte iba na obrazovke: neuloží sa do dokumentu a nevytlačí sa.
- Kliknite na podčiarknuté slovo pravým tlačidlom myši. Na začiatku ponuky je najviac päť návrhov opravy; zvolený návrh nahradí slovo a zachová jeho písmo. Opravu vrátite príkazom Naspäť.
- **Pridať do slovníka** uloží slovo do vášho osobného slovníka, ktorý používajú aj iné programy. **Ignorovať** slovo prestane podčiarkovať až do konca práce s programom.
- Text sa kontroluje v jazyku, v ktorom je napísaný: bežne po slovensky, text označený v dokumente RTF iným jazykom v tom jazyku, ak je jeho slovník nainštalovaný. Slová s číslicami, jednopísmenové slová a internetové adresy sa nekontrolujú.
- Kontrolu zapnete alebo vypnete v ponuke **Nástroje, Kontrola pravopisu**; program si voľbu zapamätá. Ak je položka sivá, chýba slovník: nainštalujte balík hunspell-sk (a knižnicu libenchant-2-2).
## Režimy zobrazenia
- **Plain Text** zobrazí dokument ako čistý text bez formátovania. Zapnutie odstráni písmo, farby, odrážky a obrázky a dokument sa tým zmení; príkaz Naspäť (Ctrl+Z) ich vráti aj s režimom.
- **HTML mód** farebne zvýrazní značky stránky HTML, ktorú upravujete.
- **Zalamovanie riadkov** zalamuje dlhé riadky na šírku plochy dokumentu.
## Vzhľad
V ponuke **Nastavenie, Skin programu** si vyberiete jeden z ôsmich farebných motívov: Červená, Čierna, Štandard, Štandard extra, Modrá, Ružová, Zelená a Žltá. Program si zvolený motív zapamätá.
## Hypertextové odkazy
Príkaz **Hypertextový odkaz** (Ctrl+H) vloží internetovú adresu. Adresy ako http://, www. alebo e-mailové adresy sa zvýraznia ako odkazy a kliknutím ich otvoríte v prehliadači alebo v poštovom programe. Otvoria sa iba webové (http, https, ftp) a e-mailové adresy; odkaz na súbor, program či inú adresu ZORIM neotvorí, iba ho ukáže v správe.
"""

TOPICS["help8.zrm"] = """
# Klávesové skratky
## Súbor
- **F1** – Nový dokument
- **F2** – Otvoriť
- **F3** – Uložiť
- **F4** – Uložiť ako...
- **F5** – Vytlačiť
- **F6** – Odoslať
- **F12** – Koniec
## Úpravy
- **Ctrl+Z** – Naspäť, **Ctrl+Y** – Vpred
- **Ctrl+X** – Vybrať, **Ctrl+C** – Kopírovať, **Ctrl+V** – Vložiť
- **Shift+Del** – Vymazať, **Ctrl+A** – Označiť všetko
- **F7** – Prejsť na riadok
- **Ctrl+F** – Písmo
- **Ctrl+B** – Tučné, **Ctrl+I** – Šikmé, **Ctrl+U** – Podčiarknuté
- **Ctrl+Shift+F1** – Horný index, **Ctrl+Shift+F2** – Dolný index
- **Shift+F1** – Zarovnať na ľavo, **Shift+F2** – na stred, **Shift+F3** – na pravo
## Hľadať
- **F9** – Nájsť, **F10** – Nájsť ďalší, **F11** – Nahradiť
## Vložiť
- **Ctrl+D** alebo **Ctrl+W** – Dátum, **Ctrl+Q** – Čas
- **Shift+F5** – „Dobrý deň“, **Shift+F6** – „Vážený pán“, **Shift+F7** – „Vážená pani“
- **Shift+F4** alebo **Shift+F8** – „S pozdravom“
- **Shift+F9** – \\, **Ctrl+F10** – <, **Shift+F11** – >, **Shift+F12** – {}
- **Ctrl+E** – Textový súbor, **Ctrl+H** – Hypertextový odkaz
- **Ctrl+P** – Obrázok, **Ctrl+O** – Objekt
## Nástroje a pomoc
- **Ctrl+F3** – Parametre dokumentu, **Ctrl+F4** – Obsah schránky, **Ctrl+F5** – Kaľkulačka
- **Ctrl+F1** – Ako pracovať s programom?, **Ctrl+F2** – O programe
## Na čo si dať pozor
- Shift+F1, Shift+F2 a Shift+F3 zarovnávajú odsek. Spojenia „Dobrý deň“, „Vážený pán“ a „Vážená pani“ z ponuky Vložiť, Text vložíte klávesmi Shift+F5 až Shift+F7 alebo myšou.
- Znaky @, #, $ a § vložíte iba z ponuky Vložiť, Špeciálne znaky; klávesy Shift+F5 až Shift+F8 vkladajú slovné spojenia.
- Ctrl+F5 spúšťa kalkulačku. Okno Nastavenie (veľkosť stránky) otvoríte z ponuky Nastavenie.
"""

TOPICS["licencia.zrm"] = """
# LICENCIA
ZORIM – Slovenský textový editor, verzia 1.0
Program ZORIM je **freeware**. Licencia platí pre program, jeho pomocníka a všetky súbory, ktoré sa s ním šíria.
## Smiete
- používať program zadarmo doma, v škole, v úrade aj vo firme, na ľubovoľnom počte počítačov;
- kopírovať program a šíriť ho ďalej, ak ho šírite celý, bez zmien a bezplatne.
## Nesmiete
- predávať program ani ho šíriť za poplatok;
- vydávať program alebo jeho časti za svoje dielo.
## Záruka
Program sa poskytuje tak, ako je, bez akejkoľvek záruky. Autori nezodpovedajú za škody, ktoré by vznikli jeho používaním alebo nemožnosťou ho používať, vrátane straty údajov. Dôležité dokumenty si preto pravidelne zálohujte.
Dokumenty, ktoré v programe napíšete, patria vám.
Používaním programu vyjadrujete súhlas s touto licenciou.
"""

HEADER = (r"{\rtf1\ansi\ansicpg1250\deff0\deflang1051"
          r"{\fonttbl{\f0\fswiss\fcharset238 Verdana;}}"
          r"{\colortbl ;\red31\green73\blue145;\red90\green90\blue90;}"
          "\n" r"\viewkind4\uc1")


def escape(text):
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 128:
            out.append(ch)
        else:
            try:
                out.append("\\'%02x" % ch.encode("cp1250")[0])
            except UnicodeEncodeError:
                out.append("\\u%d?" % (ord(ch) if ord(ch) < 32768 else ord(ch) - 65536))
    return "".join(out)


def inline(text):
    parts = re.split(r"\*\*(.+?)\*\*", text)
    return "".join(escape(p) if i % 2 == 0 else r"{\b " + escape(p) + "}" for i, p in enumerate(parts))


def paragraph(line):
    if line.startswith("# "):
        return r"\pard\sb60\sa200\cf1\b\fs32 " + inline(line[2:]) + r"\cf0\b0\fs20\par"
    if line.startswith("## "):
        return r"\pard\sa0\fs10\par\pard\sb200\sa80\cf1\b\fs24 " + inline(line[3:]) + r"\cf0\b0\fs20\par"
    if line.startswith("- "):
        return (r"\pard{\pntext\f0\'95\tab}{\*\pn\pnlvlblt\pnf0\pnindent360{\pntxtb\'95}}"
                r"\fi-360\li360\sa80 " + inline(line[2:]) + r"\par")
    if not line:
        return r"\pard\sa0\par"
    return r"\pard\sa120 " + inline(line) + r"\par"


for name, text in TOPICS.items():
    lines = text.strip("\n").split("\n")
    body = "\n".join(paragraph(l) for l in lines)
    rtf = HEADER + r"\pard\f0\fs20" + "\n" + body + "\n}\n"
    with open("data/" + name, "w", encoding="ascii", newline="\r\n") as f:
        f.write(rtf)
