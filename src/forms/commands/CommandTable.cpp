#include "forms/commands/CommandTable.h"

#include "forms/commands/Commands.h"

#include <cstring>

namespace zorim {
namespace {

using C = MainWindowControls;
using F = FileCommands;
using E = EditCommands;
using T = FormatCommands;
using I = InsertCommands;
using V = ViewCommands;
using X = ToolsCommands;

constexpr CommandRow menu(const char* name, QMenu* C::*field, const char* in, const char* caption)
{
    return {.name = name, .entry = Entry::Menu, .in = in, .caption = caption, .menu = field};
}

constexpr CommandRow item(const char* name, QAction* C::*field, const char* in, const char* caption, const char* key,
                          const char* icon, Handler run)
{
    return {.name = name, .entry = Entry::Item, .in = in, .caption = caption, .key = key, .icon = icon, .run = run,
            .action = field};
}

constexpr CommandRow separator(const char* name, const char* in, QAction* C::*field = nullptr)
{
    return {.name = name, .entry = Entry::Separator, .in = in, .caption = "", .action = field};
}

constexpr CommandRow toolBar(const char* name, QToolBar* C::*field, int row, int left)
{
    return {.name = name, .entry = Entry::ToolBar, .in = "ControlBar1", .caption = "", .row = row, .left = left,
            .toolBar = field};
}

constexpr CommandRow button(const char* name, QToolButton* C::*field, const char* in, const char* hint,
                            const char* icon, Handler run)
{
    return {.name = name, .entry = Entry::Button, .in = in, .caption = hint, .icon = icon, .run = run, .button = field};
}

constexpr CommandRow box(const char* name, QComboBox* C::*field, Entry entry, const char* in, const char* hint,
                         Handler run)
{
    return {.name = name, .entry = entry, .in = in, .caption = hint, .run = run, .box = field};
}

constexpr CommandRow event(const char* name, const char* in, Handler run)
{
    return {.name = name, .entry = Entry::Event, .in = in, .caption = "", .run = run};
}

#define MENU(n, f, in, caption) menu(n, &C::f, in, caption)
#define ITEM(n, f, in, caption, key, icon, handler) item(n, &C::f, in, caption, key, icon, on<&handler>)
#define BUTTON(n, f, in, hint, icon, handler) button(n, &C::f, in, hint, icon, on<&handler>)

// Radio groups of the menus: the three style items each alone in a group, the two indexes
// in one. Button groups: the alignment buttons, the index buttons.
enum : int { BoldGroup = 1, ItalicGroup, UnderlineGroup, IndexGroup, AlignButtons, IndexButtons };

constexpr CommandRow kTable[] = {
    // ---- Main menu ------------------------------------------------------------------------
    MENU("Sbor1", fileMenu, "MainMenu1", "&Súbor"),
    ITEM("Nov1", newItem, "Sbor1", "&Nový", "F1", "document-new", F::Nov1Click),
    ITEM("Otvor1", openItem, "Sbor1", "&Otvoriť", "F2", "document-open", F::Otvor1Click),
    ITEM("Ulo1", saveItem, "Sbor1", "&Uložiť", "F3", "document-save", F::Ulo1Click),
    ITEM("Uloako1", saveAsItem, "Sbor1", "Uložiť &ako...", "F4", "document-save-as", F::Uloako1Click),
    separator("N1", "Sbor1"),
    ITEM("Vytlai1", printItem, "Sbor1", "&Vytlačiť", "F5", "document-print", F::Vytlai1Click),
    ITEM("Odosla1", sendItem, "Sbor1", "O&doslať", "F6", "mail-send", F::Odosla1Click),
    separator("N2", "Sbor1"),
    ITEM("PoslednySubor", recentFileItem, "Sbor1", "", nullptr, "document-open-recent", F::PoslednySuborClick),
    separator("N3", "Sbor1"),
    ITEM("Koniefc1", exitItem, "Sbor1", "&KONIEC", "F12", "application-exit", F::Koniefc1Click),
    separator("N4", "Sbor1"),

    MENU("Edit1", editMenu, "MainMenu1", "Úp&ravy"),
    ITEM("Nasp1", undoItem, "Edit1", "&Naspäť", "Ctrl+Z", "edit-undo", E::Nasp1Click).enabledWhen(EnabledWhen::CanUndo),
    ITEM("Vpred1", redoItem, "Edit1", "&Vpred", "Ctrl+Y", "edit-redo", E::Vpred1Click).enabledWhen(EnabledWhen::CanRedo),
    separator("N6", "Edit1"),
    ITEM("Vybra1", cutItem, "Edit1", "&Vybrať", "Ctrl+X", "edit-cut", E::Vybra1Click).enabledWhen(EnabledWhen::Selection),
    ITEM("Koprova1", copyItem, "Edit1", "&Kopírovať", "Ctrl+C", "edit-copy", E::Koprova1Click).enabledWhen(EnabledWhen::Selection),
    ITEM("Vloi1", pasteItem, "Edit1", "V&ložiť", "Ctrl+V", "edit-paste", E::Vloi1Click),
    ITEM("Vloiinak1", pasteSpecialItem, "Edit1", "Vložiť inak...", nullptr, "edit-paste-in-place", I::Vloiinak1Click),
    separator("N7", "Edit1"),
    // Empties the whole document whatever is selected, so it needs no selection.
    ITEM("Vymaza1", clearItem, "Edit1", "Vy&mazať", "Shift+Del", "edit-delete", E::Vymaza1Click),
    ITEM("Vybravetko1", selectAllItem, "Edit1", "&Označiť všetko", "Ctrl+A", "edit-select-all", E::Vybravetko1Click),
    ITEM("Prejsnariadok1", goToLineItem, "Edit1", "Prejsť na riadok", "F7", "go-jump", X::Prejsnariadok1Click),
    separator("N5", "Edit1", &C::fontSeparator),
    ITEM("Psmo1", fontItem, "Edit1", "&Písmo", "Ctrl+F", "preferences-desktop-font", T::Psmo1Click),
    MENU("Efektpsma1", fontEffectMenu, "Edit1", "Efekt písma"),
    ITEM("Tun1", boldItem, "Efektpsma1", "Tučné", "Ctrl+B", "format-text-bold", T::Tun1Click).radio(BoldGroup).follow(Follows::Bold),
    ITEM("ikm1", italicItem, "Efektpsma1", "Šikmé", "Ctrl+I", "format-text-italic", T::ikm1Click).radio(ItalicGroup).follow(Follows::Italic),
    ITEM("Podiarknut1", underlineItem, "Efektpsma1", "Podčiarknuté", "Ctrl+U", "format-text-underline", T::Podiarknut1Click)
        .radio(UnderlineGroup).follow(Follows::Underline),
    ITEM("Prekrtnut1", strikeOutItem, "Efektpsma1", "Preškrtnuté", nullptr, "format-text-strikethrough", T::Prekrtnut1Click),
    MENU("Index", indexMenu, "Edit1", "Index"),
    ITEM("Hornindex1", superscriptItem, "Index", "Horný index", "Ctrl+Shift+F1", "format-text-superscript", T::Hornindex1Click).radio(IndexGroup),
    ITEM("Dolnindex1", subscriptItem, "Index", "Dolný index", "Ctrl+Shift+F2", "format-text-subscript", T::Dolnindex1Click).radio(IndexGroup),
    MENU("Zarovnanie1", alignMenu, "Edit1", "&Zarovnať"),
    // Not a group: the refresh only ever adds these check marks; the alignment commands remove them.
    ITEM("Naavo1", alignLeftItem, "Zarovnanie1", "Na ľavo", "Shift+F1", "format-justify-left", T::Naavo1Click).mark().follow(Follows::AlignLeft),
    ITEM("Nastred1", alignCenterItem, "Zarovnanie1", "Na stred", "Shift+F2", "format-justify-center", T::Nastred1Click).mark().follow(Follows::AlignCenter),
    ITEM("Napravo1", alignRightItem, "Zarovnanie1", "Na pravo", "Shift+F3", "format-justify-right", T::Napravo1Click).mark().follow(Follows::AlignRight),
    separator("N8", "Edit1"),

    MENU("Hada1", searchMenu, "MainMenu1", "&Hľadať"),
    ITEM("Njs1", findItem, "Hada1", "&Nájsť", "F9", "edit-find", X::Njs1Click),
    ITEM("Njsal1", findNextItem, "Hada1", "Nájsť &ďalší", "F10", "go-down-search", X::Njsal1Click),
    ITEM("Nahradi1", replaceItem, "Hada1", "Na&hradiť", "F11", "edit-find-replace", X::Nahradi1Click),
    separator("N9", "Hada1"),

    MENU("Vloi2", insertMenu, "MainMenu1", "&Vložiť"),
    ITEM("Dtum1", dateItem, "Vloi2", "&Dátum", "Ctrl+D", "view-calendar-day", I::Dtum1Click),
    ITEM("as1", timeItem, "Vloi2", "&Čas", "Ctrl+Q", "clock", I::as1Click),
    MENU("Text1", phraseMenu, "Vloi2", "&Text"),
    ITEM("Dobrde1", greetingItem, "Text1", "Dobrý deň", "Shift+F1", ":/icons/phrase-greeting.svg", I::Dobrde1Click),
    ITEM("Venpn1", dearSirItem, "Text1", "Vážený pán", "Shift+F2", ":/icons/phrase-sir.svg", I::Venpn1Click),
    ITEM("Venpani1", dearMadamItem, "Text1", "Vážená pani", "Shift+F3", ":/icons/phrase-madam.svg", I::Venpani1Click),
    ITEM("Spozdravom1", regardsItem, "Text1", "S pozdravom", "Shift+F4", ":/icons/phrase-regards.svg", I::Spozdravom1Click),
    MENU("pecilneznaky1", specialCharMenu, "Vloi2", "Špeciálne znaky"),
    ITEM("N17", atSignItem, "pecilneznaky1", "@", "Shift+F5", ":/icons/char-at.svg", I::N17Click),
    ITEM("N18", hashItem, "pecilneznaky1", "#", "Shift+F6", ":/icons/char-hash.svg", I::N18Click),
    ITEM("N19", dollarItem, "pecilneznaky1", "$", "Shift+F7", ":/icons/char-dollar.svg", I::N19Click),
    ITEM("N20", sectionSignItem, "pecilneznaky1", "§", "Shift+F8", ":/icons/char-section.svg", I::N20Click),
    ITEM("N21", backslashItem, "pecilneznaky1", "\\", "Shift+F9", ":/icons/char-backslash.svg", I::N21Click),
    ITEM("N22", lessThanItem, "pecilneznaky1", "<", "Ctrl+F10", ":/icons/char-less.svg", I::N22Click),
    ITEM("N23", greaterThanItem, "pecilneznaky1", ">", "Shift+F11", ":/icons/char-greater.svg", I::N23Click),
    ITEM("N24", bracesItem, "pecilneznaky1", "{}", "Shift+F12", ":/icons/char-braces.svg", I::N24Click),
    ITEM("Objekt1", textFileItem, "Vloi2", "Te&xtový súbor", "Ctrl+E", "insert-text", F::Objekt1Click),
    ITEM("Hypertextovodkaz1", hyperlinkItem, "Vloi2", "Hypertextový odkaz", "Ctrl+H", "insert-link", I::Hypertextovodkaz1Click),
    separator("N10", "Vloi2"),
    ITEM("Obrzok1", pictureItem, "Vloi2", "Obrázok", "Ctrl+P", "insert-image", I::Obrzok1Click),
    ITEM("Objekt2", objectItem, "Vloi2", "Objekt", "Ctrl+O", "insert-object", I::Objekt2Click),
    separator("N11", "Vloi2"),

    MENU("Nstroje1", toolsMenu, "MainMenu1", "Nás&troje"),
    ITEM("Parametredokumentu1", statisticsItem, "Nstroje1", "Parametre dokumentu", "Ctrl+F3", "document-properties", X::Parametredokumentu1Click),
    ITEM("Obsahschrnky1", clipboardItem, "Nstroje1", "Obsah schránky", "Ctrl+F4", "klipper", X::Obsahschrnky1Click),
    ITEM("Kakulaka1", calculatorItem, "Nstroje1", "Kaľkulačka", "Ctrl+F5", "accessories-calculator", X::Kakulaka1Click),
    separator("N12", "Nstroje1"),

    MENU("Nastavenie1", settingsMenu, "MainMenu1", "&Nastavenie"),
    MENU("Skin1", skinMenu, "Nastavenie1", "Skin programu"),
    ITEM("erven2", redSkinItem, "Skin1", "Červená", nullptr, ":/icons/skin-1.svg", V::erven2Click),
    ITEM("ierna1", blackSkinItem, "Skin1", "Čierna", nullptr, ":/icons/skin-5.svg", V::ierna1Click),
    ITEM("Klasik1", standardSkinItem, "Skin1", "Štandard", nullptr, ":/icons/skin-2.svg", V::Klasik1Click),
    ITEM("Klasikextra1", standardExtraSkinItem, "Skin1", "Štandard extra", nullptr, ":/icons/skin-3.svg", V::Klasikextra1Click),
    ITEM("Modr1", blueSkinItem, "Skin1", "Modrá", nullptr, ":/icons/skin-4.svg", V::Modr1Click),
    ITEM("erven1", pinkSkinItem, "Skin1", "Ružová", nullptr, ":/icons/skin-6.svg", V::erven1Click),
    ITEM("Zelen1", greenSkinItem, "Skin1", "Zelená", nullptr, ":/icons/skin-7.svg", V::Zelen1Click),
    ITEM("lt1", yellowSkinItem, "Skin1", "Žltá", nullptr, ":/icons/skin-8.svg", V::lt1Click),
    ITEM("PlainText1", plainTextItem, "Nastavenie1", "Plain Text", nullptr, "text-plain", V::PlainText1Click).mark(),
    ITEM("HTML1", htmlModeItem, "Nastavenie1", "HTML mód", nullptr, "text-html", V::HTML1Click).mark(),
    ITEM("Easymd1", easyModeItem, "Nastavenie1", "Easy mód", nullptr, "tools-wizard", V::Easymd1Click).mark().hide(),
    ITEM("Zalamovanieriadkov1", lineWrapItem, "Nastavenie1", "Zalamovanie riadkov", nullptr, "text-wrap", V::Zalamovanieriadkov1Click).mark(true),
    // Shows Ctrl+F5, but the calculator above takes that key.
    ITEM("Vzhadstrnky1", pageSetupItem, "Nastavenie1", "Nastavenie", "Ctrl+F5", "configure", V::Vzhadstrnky1Click),
    separator("N13", "Nastavenie1"),

    MENU("Pomoc1", helpMenu, "MainMenu1", "&Pomoc"),
    ITEM("Akopracovasprogramom1", helpTopicsItem, "Pomoc1", "Ako pracovať s programom&?", "Ctrl+F1", "help-contents", X::Akopracovasprogramom1Click),
    ITEM("Oautorovi1", aboutItem, "Pomoc1", "&O programe", "Ctrl+F2", "help-about", X::Oautorovi1Click),
    separator("N14", "Pomoc1"),

    // ---- Context menu of the document and the window: its keys come before the main menu's --
    MENU("PopupMenu1", contextMenu, nullptr, ""),
    ITEM("Vybra2", contextCutItem, "PopupMenu1", "Vybrať", "Ctrl+X", "edit-cut", E::Vybra2Click).enabledWhen(EnabledWhen::Selection),
    ITEM("Koprova2", contextCopyItem, "PopupMenu1", "Kopírovať", "Ctrl+C", "edit-copy", E::Koprova2Click).enabledWhen(EnabledWhen::Selection),
    ITEM("Vloi3", contextPasteItem, "PopupMenu1", "Vložiť", "Ctrl+V", "edit-paste", E::Vloi3Click),
    separator("N15", "PopupMenu1"),
    ITEM("Dtum2", contextDateItem, "PopupMenu1", "Dátum", "Ctrl+W", "view-calendar-day", I::Dtum2Click),
    ITEM("as2", contextTimeItem, "PopupMenu1", "Čas", "Ctrl+Q", "clock", I::as2Click),
    MENU("Text2", contextPhraseMenu, "PopupMenu1", "Text"),
    ITEM("Dobrde2", contextGreetingItem, "Text2", "Dobrý deň", "Shift+F5", ":/icons/phrase-greeting.svg", I::Dobrde2Click),
    ITEM("Venpn2", contextDearSirItem, "Text2", "Vážený pán", "Shift+F6", ":/icons/phrase-sir.svg", I::Venpn2Click),
    ITEM("Venpani2", contextDearMadamItem, "Text2", "Vážená pani", "Shift+F7", ":/icons/phrase-madam.svg", I::Venpani2Click),
    ITEM("Spozdravom2", contextRegardsItem, "Text2", "S pozdravom", "Shift+F8", ":/icons/phrase-regards.svg", I::Spozdravom2Click),
    MENU("pecilneznaky2", contextSpecialCharMenu, "PopupMenu1", "Špeciálne znaky"),
    ITEM("N25", contextAtSignItem, "pecilneznaky2", "@", "Shift+F5", ":/icons/char-at.svg", I::N25Click),
    ITEM("N26", contextHashItem, "pecilneznaky2", "#", "Shift+F6", ":/icons/char-hash.svg", I::N26Click),
    ITEM("N27", contextDollarItem, "pecilneznaky2", "$", "Shift+F7", ":/icons/char-dollar.svg", I::N27Click),
    ITEM("N28", contextSectionSignItem, "pecilneznaky2", "§", "Shift+F8", ":/icons/char-section.svg", I::N28Click),
    ITEM("N29", contextBackslashItem, "pecilneznaky2", "\\", "Shift+F9", ":/icons/char-backslash.svg", I::N29Click),
    ITEM("N30", contextLessThanItem, "pecilneznaky2", "<", "Ctrl+F10", ":/icons/char-less.svg", I::N30Click),
    ITEM("N31", contextGreaterThanItem, "pecilneznaky2", ">", "Shift+F11", ":/icons/char-greater.svg", I::N31Click),
    ITEM("N32", contextBracesItem, "pecilneznaky2", "{}", "Shift+F12", ":/icons/char-braces.svg", I::N32Click),
    ITEM("Textovsbor1", contextTextFileItem, "PopupMenu1", "Textový súbor", "Ctrl+E", "insert-text", F::Textovsbor1Click),
    separator("N16", "PopupMenu1"),
    // The selected object's entries: shown by PopupMenu1Popup, captioned with its type.
    separator("N34", "PopupMenu1", &C::objectSeparator),
    ITEM("Vlastnosti1", objectPropertiesItem, "PopupMenu1", "%s Properties", nullptr, "document-properties", I::Vlastnosti1Click).hide(),
    MENU("Objekt3", objectMenu, "PopupMenu1", "%s"),
    ITEM("Otvori3", objectOpenItem, "Objekt3", "&Otvoriť", nullptr, "document-open", I::Otvori3Click),
    ITEM("Uloikpiu1", objectSaveCopyItem, "Objekt3", "&Uložiť kópiu...", nullptr, "document-save-as", I::Uloikpiu1Click),

    // ---- Menu of the tool bar area: one checked entry per toolbar -------------------------
    MENU("PopupMenu2", toolBarMenu, nullptr, ""),
    ITEM("Zkladnfunkcie1", basicToolBarItem, "PopupMenu2", "Základné funkcie", nullptr, nullptr, V::Zkladnfunkcie1Click).mark(true),
    ITEM("Hladanie1", searchToolBarItem, "PopupMenu2", "Hladanie", nullptr, nullptr, V::Hladanie1Click).mark(true),
    ITEM("Vkladanie1", insertToolBarItem, "PopupMenu2", "Vkladanie", nullptr, nullptr, V::Vkladanie1Click).mark(true),
    ITEM("Npoveda1", helpToolBarItem, "PopupMenu2", "Nápoveda", nullptr, nullptr, V::Npoveda1Click).mark(true),
    ITEM("Nastaveniepsma1", fontToolBarItem, "PopupMenu2", "Nastavenie písma", nullptr, nullptr, V::Nastaveniepsma1Click).mark(true),
    ITEM("Indexy1", indexToolBarItem, "PopupMenu2", "Indexy", nullptr, nullptr, V::Indexy1Click).mark(true),

    // ---- Tray menu, also the caption bar's: its keys are shown but never act ---------------
    MENU("PopupMenu3", trayMenu, nullptr, ""),
    ITEM("Nov3", trayNewItem, "PopupMenu3", "Nový", "F1", "document-new", F::Nov3Click),
    ITEM("Otvori2", trayOpenItem, "PopupMenu3", "Otvoriť", "F2", "document-open", F::Otvori2Click),
    ITEM("Uloi2", traySaveItem, "PopupMenu3", "Uložiť", "F3", "document-save", F::Uloi2Click),
    separator("N33", "PopupMenu3"),
    ITEM("Koniec1", trayExitItem, "PopupMenu3", "Koniec", "F12", "application-exit", F::Koniec1Click),

    // ---- Toolbars, row by row, left to right ----------------------------------------------
    toolBar("ToolBar1", &C::ToolBar1, 1, 11),
    BUTTON("SpeedButton1", newButton, "ToolBar1", "Nový", "document-new", F::SpeedButton1Click),
    BUTTON("SpeedButton2", openButton, "ToolBar1", "Otvoriť", "document-open", F::SpeedButton2Click),
    BUTTON("SpeedButton3", saveButton, "ToolBar1", "Uložiť", "document-save", F::SpeedButton3Click),
    separator("ToolButton1", "ToolBar1"),
    BUTTON("SpeedButton4", printButton, "ToolBar1", "Vytlačiť", "document-print", F::SpeedButton4Click),
    separator("ToolButton2", "ToolBar1"),
    BUTTON("SpeedButton11", cutButton, "ToolBar1", "Vybrať", "edit-cut", E::SpeedButton11Click).enabledWhen(EnabledWhen::Selection),
    BUTTON("SpeedButton13", copyButton, "ToolBar1", "Kopírovať", "edit-copy", E::SpeedButton13Click).enabledWhen(EnabledWhen::Selection),
    BUTTON("SpeedButton12", pasteButton, "ToolBar1", "Vložiť", "edit-paste", E::SpeedButton12Click),
    separator("ToolButton3", "ToolBar1"),
    BUTTON("SpeedButton16", undoButton, "ToolBar1", "Naspäť", "edit-undo", E::SpeedButton16Click).enabledWhen(EnabledWhen::CanUndo),
    BUTTON("SpeedButton21", redoButton, "ToolBar1", "Vpred", "edit-redo", E::SpeedButton21Click).enabledWhen(EnabledWhen::CanRedo),
    separator("ToolButton4", "ToolBar1"),
    BUTTON("SpeedButton17", indentLessButton, "ToolBar1", "Posunúť doľava", "format-indent-less", T::SpeedButton17Click),
    BUTTON("SpeedButton18", indentMoreButton, "ToolBar1", "Posunúť doprava", "format-indent-more", T::SpeedButton18Click),
    separator("ToolButton5", "ToolBar1"),
    BUTTON("SpeedButton20", hyperlinkButton, "ToolBar1", "Hypertextový odkaz", "insert-link", I::SpeedButton20Click),

    toolBar("ToolBar4", &C::ToolBar4, 1, 362),
    BUTTON("SpeedButton22", findButton, "ToolBar4", "Nájsť", "edit-find", X::SpeedButton22Click),
    BUTTON("SpeedButton23", replaceButton, "ToolBar4", "Nahradiť", "edit-find-replace", X::SpeedButton23Click),

    toolBar("ToolBar5", &C::ToolBar5, 1, 423),
    BUTTON("SpeedButton24", dateButton, "ToolBar5", "Vložiť dátum", "view-calendar-day", I::SpeedButton24Click),
    BUTTON("SpeedButton25", timeButton, "ToolBar5", "Vložiť čas", "clock", I::SpeedButton25Click),
    separator("ToolButton6", "ToolBar5"),
    BUTTON("SpeedButton26", pictureButton, "ToolBar5", "Vložiť obrázok", "insert-image", I::SpeedButton26Click),
    BUTTON("SpeedButton28", objectButton, "ToolBar5", "", "insert-object", I::SpeedButton28Click),

    toolBar("ToolBar6", &C::ToolBar6, 1, 542),
    BUTTON("SpeedButton27", helpButton, "ToolBar6", "Ako pracovať s programom?", "help-contents", X::SpeedButton27Click),

    toolBar("ToolBar2", &C::ToolBar2, 2, 11),
    box("ComboBox1", &C::fontNameBox, Entry::FontBox, "ToolBar2", "Písmo", on<&T::ComboBox1Change>),
    box("ComboBox2", &C::fontSizeBox, Entry::SizeBox, "ToolBar2", "Veľkosť", on<&T::ComboBox2Change>),
    separator("ToolButton7", "ToolBar2"),
    BUTTON("SpeedButton5", boldButton, "ToolBar2", "Tučné", "format-text-bold", T::SpeedButton5Click).toggle().follow(Follows::Bold),
    BUTTON("SpeedButton6", italicButton, "ToolBar2", "Šikmé", "format-text-italic", T::SpeedButton6Click).toggle().follow(Follows::Italic),
    BUTTON("SpeedButton7", underlineButton, "ToolBar2", "Podčiarknuté", "format-text-underline", T::SpeedButton7Click).toggle().follow(Follows::Underline),
    separator("ToolButton8", "ToolBar2"),
    BUTTON("SpeedButton8", alignLeftButton, "ToolBar2", "Zarovnať na ľavo", "format-justify-left", T::SpeedButton8Click)
        .inGroup(AlignButtons, false).follow(Follows::AlignLeft),
    BUTTON("SpeedButton9", alignCenterButton, "ToolBar2", "Zarovnať na stred", "format-justify-center", T::SpeedButton9Click)
        .inGroup(AlignButtons, false).follow(Follows::AlignCenter),
    BUTTON("SpeedButton10", alignRightButton, "ToolBar2", "Zarovnať na pravo", "format-justify-right", T::SpeedButton10Click)
        .inGroup(AlignButtons, false).follow(Follows::AlignRight),
    separator("ToolButton9", "ToolBar2"),
    BUTTON("SpeedButton14", bulletsButton, "ToolBar2", "Odrážky", "format-list-unordered", T::SpeedButton14Click).toggle().follow(Follows::Bullets),
    separator("ToolButton10", "ToolBar2"),
    BUTTON("SpeedButton15", textColorButton, "ToolBar2", "Farba písma", "format-text-color", T::SpeedButton15Click),
    BUTTON("SpeedButton19", backgroundColorButton, "ToolBar2", "Farba pozadia", "format-fill-color", T::SpeedButton19Click),

    toolBar("ToolBar3", &C::ToolBar3, 2, 500),
    BUTTON("SpeedButton40", superscriptButton, "ToolBar3", "Horný index", "format-text-superscript", T::SpeedButton40Click).inGroup(IndexButtons, true),
    BUTTON("SpeedButton41", subscriptButton, "ToolBar3", "Dolný index", "format-text-subscript", T::SpeedButton41Click).inGroup(IndexButtons, true),

    // ---- Events of the controls the window places itself ------------------------------------
    // A click on a colour strip; a double click anywhere on the status bar.
    event("Panel1", "ControlBar1", on<&T::Panel1Click>),
    event("Panel2", "ControlBar1", on<&T::Panel2Click>),
    event("StatusBar1", nullptr, on<&X::StatusBar1DblClick>),
};

#undef MENU
#undef ITEM
#undef BUTTON

} // namespace

std::span<const CommandRow> commandTable()
{
    return kTable;
}

const CommandRow* findCommand(const char* name)
{
    for (const CommandRow& row : kTable)
        if (std::strcmp(row.name, name) == 0)
            return &row;
    return nullptr;
}

} // namespace zorim
