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
using S = SpellingCommands;

// ---- Commands, by concern ----------------------------------------------------------------
// Each once, named by its verb; the placements below say where the user finds it.
namespace cmd {

#define COMMAND(concern, verb, ...) constexpr Command verb{#verb, on<&concern::verb>, __VA_ARGS__}

// FileCommands
COMMAND(F, newDocument);
COMMAND(F, open);
COMMAND(F, save);
COMMAND(F, saveAs);
COMMAND(F, print);
COMMAND(F, printPreview);
COMMAND(F, send);
COMMAND(F, openLastFile);
COMMAND(F, quit);
COMMAND(F, insertTextFile);

// EditCommands
COMMAND(E, undo, EnabledWhen::CanUndo);
COMMAND(E, redo, EnabledWhen::CanRedo);
COMMAND(E, cut, EnabledWhen::Selection);
COMMAND(E, copy, EnabledWhen::Selection);
COMMAND(E, paste);
COMMAND(E, clearDocument);
COMMAND(E, selectAll);

// FormatCommands
COMMAND(T, chooseFont);
COMMAND(T, addBold, EnabledWhen::Always, Follows::Bold);
COMMAND(T, addItalic, EnabledWhen::Always, Follows::Italic);
COMMAND(T, addUnderline, EnabledWhen::Always, Follows::Underline);
COMMAND(T, addStrikeOut);
COMMAND(T, superscript);
COMMAND(T, subscript);
COMMAND(T, alignLeft, EnabledWhen::Always, Follows::AlignLeft);
COMMAND(T, alignCenter, EnabledWhen::Always, Follows::AlignCenter);
COMMAND(T, alignRight, EnabledWhen::Always, Follows::AlignRight);
COMMAND(T, indentLess);
COMMAND(T, indentMore);
COMMAND(T, applyFontName);
COMMAND(T, applyFontSize);
COMMAND(T, bold, EnabledWhen::Always, Follows::Bold);
COMMAND(T, italic, EnabledWhen::Always, Follows::Italic);
COMMAND(T, underline, EnabledWhen::Always, Follows::Underline);
COMMAND(T, bullets, EnabledWhen::Always, Follows::Bullets);
COMMAND(T, chooseTextColor);
COMMAND(T, chooseBackgroundColor);

// InsertCommands
COMMAND(I, insertDate);
COMMAND(I, insertTime);
COMMAND(I, insertGreeting);
COMMAND(I, insertSir);
COMMAND(I, insertMadam);
COMMAND(I, insertRegards);
COMMAND(I, insertAt);
COMMAND(I, insertHash);
COMMAND(I, insertDollar);
COMMAND(I, insertSection);
COMMAND(I, insertBackslash);
COMMAND(I, insertLessThan);
COMMAND(I, insertGreaterThan);
COMMAND(I, insertBraces);
COMMAND(I, insertLink);
COMMAND(I, insertPicture);
COMMAND(I, insertObject);
COMMAND(I, insertFootnote);
COMMAND(I, pasteSpecial);
COMMAND(I, showObjectProperties);
COMMAND(I, openSelectedObject);
COMMAND(I, saveSelectedObjectCopy);

// ToolsCommands
COMMAND(X, find);
COMMAND(X, findNext);
COMMAND(X, replace);
COMMAND(X, goToLine);
COMMAND(X, showStatistics);
COMMAND(X, showClipboard);
COMMAND(X, openCalculator);
COMMAND(X, showHelp);
COMMAND(X, showAbout);
COMMAND(X, openDateTimeSettings);

// SpellingCommands
COMMAND(S, switchSpellCheck);
COMMAND(S, useSuggestion1);
COMMAND(S, useSuggestion2);
COMMAND(S, useSuggestion3);
COMMAND(S, useSuggestion4);
COMMAND(S, useSuggestion5);
COMMAND(S, addWordToDictionary);
COMMAND(S, ignoreWord);

// ViewCommands
COMMAND(V, skinRed);
COMMAND(V, skinBlack);
COMMAND(V, skinStandard);
COMMAND(V, skinStandardExtra);
COMMAND(V, skinBlue);
COMMAND(V, skinPink);
COMMAND(V, skinGreen);
COMMAND(V, skinYellow);
COMMAND(V, switchPlainText);
COMMAND(V, switchHtmlMode);
COMMAND(V, switchEasyMode);
COMMAND(V, switchLineWrap);
COMMAND(V, pageSetup);
COMMAND(V, switchBasicToolBar);
COMMAND(V, switchSearchToolBar);
COMMAND(V, switchInsertToolBar);
COMMAND(V, switchHelpToolBar);
COMMAND(V, switchFontToolBar);
COMMAND(V, switchIndexToolBar);

#undef COMMAND

} // namespace cmd

// ---- Placements ---------------------------------------------------------------------------

constexpr CommandRow menu(const char* name, QMenu* C::*field, const char* in, const char* caption)
{
    return {.name = name, .entry = Entry::Menu, .in = in, .caption = caption, .menu = field};
}

constexpr CommandRow item(const char* name, QAction* C::*field, const char* in, const char* caption, const char* key,
                          const char* icon, const Command* command)
{
    return {.name = name, .entry = Entry::Item, .in = in, .caption = caption, .key = key, .icon = icon, .command = command,
            .action = field};
}

constexpr CommandRow separator(const char* name, const char* in, QAction* C::*field = nullptr)
{
    return {.name = name, .entry = Entry::Separator, .in = in, .caption = "", .action = field};
}

// A toolbar's caption is its entry's in the tool bar area's menu; screen readers name it so.
constexpr CommandRow toolBar(const char* name, QToolBar* C::*field, int row, int left, const char* caption)
{
    return {.name = name, .entry = Entry::ToolBar, .in = "ControlBar1", .caption = caption, .row = row, .left = left,
            .toolBar = field};
}

constexpr CommandRow button(const char* name, QToolButton* C::*field, const char* in, const char* hint,
                            const char* icon, const Command* command)
{
    return {.name = name, .entry = Entry::Button, .in = in, .caption = hint, .icon = icon, .command = command, .button = field};
}

constexpr CommandRow box(const char* name, QComboBox* C::*field, Entry entry, const char* in, const char* hint,
                         const Command* command)
{
    return {.name = name, .entry = entry, .in = in, .caption = hint, .command = command, .box = field};
}

constexpr CommandRow event(const char* name, const char* in, const Command* command)
{
    return {.name = name, .entry = Entry::Event, .in = in, .caption = "", .command = command};
}

#define MENU(n, f, in, caption) menu(n, &C::f, in, caption)
#define ITEM(n, f, in, caption, key, icon, verb) item(n, &C::f, in, caption, key, icon, &cmd::verb)
#define BUTTON(n, f, in, hint, icon, verb) button(n, &C::f, in, hint, icon, &cmd::verb)

// Radio groups of the menus: the three style items each alone in a group, the two indexes
// in one. Button groups: the alignment buttons, the index buttons.
enum : int { BoldGroup = 1, ItalicGroup, UnderlineGroup, IndexGroup, AlignButtons, IndexButtons };

constexpr CommandRow kTable[] = {
    // ---- Main menu ------------------------------------------------------------------------
    MENU("Sbor1", fileMenu, "MainMenu1", "&Súbor"),
    ITEM("Nov1", newItem, "Sbor1", "&Nový", "F1", "document-new", newDocument),
    ITEM("Otvor1", openItem, "Sbor1", "&Otvoriť", "F2", "document-open", open),
    ITEM("Ulo1", saveItem, "Sbor1", "&Uložiť", "F3", "document-save", save),
    ITEM("Uloako1", saveAsItem, "Sbor1", "Uložiť &ako...", "F4", "document-save-as", saveAs),
    separator("N1", "Sbor1"),
    ITEM("Vytlai1", printItem, "Sbor1", "&Vytlačiť", "F5", "document-print", print),
    ITEM("Ukkapredtlaou1", printPreviewItem, "Sbor1", "Ukážka pred tlačou", nullptr, "document-print-preview", printPreview),
    ITEM("Odosla1", sendItem, "Sbor1", "O&doslať", "F6", "mail-send", send),
    separator("N2", "Sbor1"),
    ITEM("PoslednySubor", recentFileItem, "Sbor1", "", nullptr, "document-open-recent", openLastFile),
    separator("N3", "Sbor1"),
    ITEM("Koniefc1", exitItem, "Sbor1", "&KONIEC", "F12", "application-exit", quit),
    separator("N4", "Sbor1"),

    MENU("Edit1", editMenu, "MainMenu1", "Úp&ravy"),
    ITEM("Nasp1", undoItem, "Edit1", "&Naspäť", "Ctrl+Z", "edit-undo", undo),
    ITEM("Vpred1", redoItem, "Edit1", "&Vpred", "Ctrl+Y", "edit-redo", redo),
    separator("N6", "Edit1"),
    ITEM("Vybra1", cutItem, "Edit1", "&Vybrať", "Ctrl+X", "edit-cut", cut),
    ITEM("Koprova1", copyItem, "Edit1", "&Kopírovať", "Ctrl+C", "edit-copy", copy),
    ITEM("Vloi1", pasteItem, "Edit1", "V&ložiť", "Ctrl+V", "edit-paste", paste),
    ITEM("Vloiinak1", pasteSpecialItem, "Edit1", "Vložiť inak...", nullptr, "edit-paste-in-place", pasteSpecial),
    separator("N7", "Edit1"),
    // Empties the whole document whatever is selected, so it needs no selection.
    ITEM("Vymaza1", clearItem, "Edit1", "Vy&mazať", "Shift+Del", "edit-delete", clearDocument),
    ITEM("Vybravetko1", selectAllItem, "Edit1", "&Označiť všetko", "Ctrl+A", "edit-select-all", selectAll),
    ITEM("Prejsnariadok1", goToLineItem, "Edit1", "Prejsť na riadok", "F7", "go-jump", goToLine),
    separator("N5", "Edit1", &C::fontSeparator),
    ITEM("Psmo1", fontItem, "Edit1", "&Písmo", "Ctrl+F", "preferences-desktop-font", chooseFont),
    MENU("Efektpsma1", fontEffectMenu, "Edit1", "Efekt písma"),
    ITEM("Tun1", boldItem, "Efektpsma1", "Tučné", "Ctrl+B", "format-text-bold", addBold).radio(BoldGroup),
    ITEM("ikm1", italicItem, "Efektpsma1", "Šikmé", "Ctrl+I", "format-text-italic", addItalic).radio(ItalicGroup),
    ITEM("Podiarknut1", underlineItem, "Efektpsma1", "Podčiarknuté", "Ctrl+U", "format-text-underline", addUnderline)
        .radio(UnderlineGroup),
    ITEM("Prekrtnut1", strikeOutItem, "Efektpsma1", "Preškrtnuté", nullptr, "format-text-strikethrough", addStrikeOut),
    MENU("Index", indexMenu, "Edit1", "Index"),
    ITEM("Hornindex1", superscriptItem, "Index", "Horný index", "Ctrl+Shift+F1", "format-text-superscript", superscript).radio(IndexGroup),
    ITEM("Dolnindex1", subscriptItem, "Index", "Dolný index", "Ctrl+Shift+F2", "format-text-subscript", subscript).radio(IndexGroup),
    MENU("Zarovnanie1", alignMenu, "Edit1", "&Zarovnať"),
    // Not a group: the refresh only ever adds these check marks; the alignment commands remove them.
    ITEM("Naavo1", alignLeftItem, "Zarovnanie1", "Na ľavo", "Shift+F1", "format-justify-left", alignLeft).mark(),
    ITEM("Nastred1", alignCenterItem, "Zarovnanie1", "Na stred", "Shift+F2", "format-justify-center", alignCenter).mark(),
    ITEM("Napravo1", alignRightItem, "Zarovnanie1", "Na pravo", "Shift+F3", "format-justify-right", alignRight).mark(),
    separator("N8", "Edit1"),

    MENU("Hada1", searchMenu, "MainMenu1", "&Hľadať"),
    ITEM("Njs1", findItem, "Hada1", "&Nájsť", "F9", "edit-find", find),
    ITEM("Njsal1", findNextItem, "Hada1", "Nájsť &ďalší", "F10", "go-down-search", findNext),
    ITEM("Nahradi1", replaceItem, "Hada1", "Na&hradiť", "F11", "edit-find-replace", replace),
    separator("N9", "Hada1"),

    MENU("Vloi2", insertMenu, "MainMenu1", "&Vložiť"),
    ITEM("Dtum1", dateItem, "Vloi2", "&Dátum", "Ctrl+D", "view-calendar-day", insertDate),
    ITEM("as1", timeItem, "Vloi2", "&Čas", "Ctrl+Q", "clock", insertTime),
    MENU("Text1", phraseMenu, "Vloi2", "&Text"),
    ITEM("Dobrde1", greetingItem, "Text1", "Dobrý deň", "Shift+F1", ":/icons/phrase-greeting.svg", insertGreeting),
    ITEM("Venpn1", dearSirItem, "Text1", "Vážený pán", "Shift+F2", ":/icons/phrase-sir.svg", insertSir),
    ITEM("Venpani1", dearMadamItem, "Text1", "Vážená pani", "Shift+F3", ":/icons/phrase-madam.svg", insertMadam),
    ITEM("Spozdravom1", regardsItem, "Text1", "S pozdravom", "Shift+F4", ":/icons/phrase-regards.svg", insertRegards),
    MENU("pecilneznaky1", specialCharMenu, "Vloi2", "Špeciálne znaky"),
    ITEM("N17", atSignItem, "pecilneznaky1", "@", "Shift+F5", ":/icons/char-at.svg", insertAt),
    ITEM("N18", hashItem, "pecilneznaky1", "#", "Shift+F6", ":/icons/char-hash.svg", insertHash),
    ITEM("N19", dollarItem, "pecilneznaky1", "$", "Shift+F7", ":/icons/char-dollar.svg", insertDollar),
    ITEM("N20", sectionSignItem, "pecilneznaky1", "§", "Shift+F8", ":/icons/char-section.svg", insertSection),
    ITEM("N21", backslashItem, "pecilneznaky1", "\\", "Shift+F9", ":/icons/char-backslash.svg", insertBackslash),
    ITEM("N22", lessThanItem, "pecilneznaky1", "<", "Ctrl+F10", ":/icons/char-less.svg", insertLessThan),
    ITEM("N23", greaterThanItem, "pecilneznaky1", ">", "Shift+F11", ":/icons/char-greater.svg", insertGreaterThan),
    ITEM("N24", bracesItem, "pecilneznaky1", "{}", "Shift+F12", ":/icons/char-braces.svg", insertBraces),
    ITEM("Objekt1", textFileItem, "Vloi2", "Te&xtový súbor", "Ctrl+E", "insert-text", insertTextFile),
    ITEM("Hypertextovodkaz1", hyperlinkItem, "Vloi2", "Hypertextový odkaz", "Ctrl+H", "insert-link", insertLink),
    separator("N10", "Vloi2"),
    ITEM("Obrzok1", pictureItem, "Vloi2", "Obrázok", "Ctrl+P", "insert-image", insertPicture),
    ITEM("Objekt2", objectItem, "Vloi2", "Objekt", "Ctrl+O", "insert-object", insertObject),
    ITEM("Poznmka1", footnoteItem, "Vloi2", "Poznámka pod čiarou", nullptr, nullptr, insertFootnote),
    separator("N11", "Vloi2"),

    MENU("Nstroje1", toolsMenu, "MainMenu1", "Nás&troje"),
    ITEM("Parametredokumentu1", statisticsItem, "Nstroje1", "Parametre dokumentu", "Ctrl+F3", "document-properties", showStatistics),
    ITEM("Obsahschrnky1", clipboardItem, "Nstroje1", "Obsah schránky", "Ctrl+F4", "klipper", showClipboard),
    ITEM("Kakulaka1", calculatorItem, "Nstroje1", "Kaľkulačka", "Ctrl+F5", "accessories-calculator", openCalculator),
    separator("N12", "Nstroje1"),
    ITEM("Kontrolapravopisu1", spellCheckItem, "Nstroje1", "Kontrola pravopisu", nullptr, "tools-check-spelling", switchSpellCheck).mark(),

    MENU("Nastavenie1", settingsMenu, "MainMenu1", "&Nastavenie"),
    MENU("Skin1", skinMenu, "Nastavenie1", "Skin programu"),
    ITEM("erven2", redSkinItem, "Skin1", "Červená", nullptr, ":/icons/skin-1.svg", skinRed),
    ITEM("ierna1", blackSkinItem, "Skin1", "Čierna", nullptr, ":/icons/skin-5.svg", skinBlack),
    ITEM("Klasik1", standardSkinItem, "Skin1", "Štandard", nullptr, ":/icons/skin-2.svg", skinStandard),
    ITEM("Klasikextra1", standardExtraSkinItem, "Skin1", "Štandard extra", nullptr, ":/icons/skin-3.svg", skinStandardExtra),
    ITEM("Modr1", blueSkinItem, "Skin1", "Modrá", nullptr, ":/icons/skin-4.svg", skinBlue),
    ITEM("erven1", pinkSkinItem, "Skin1", "Ružová", nullptr, ":/icons/skin-6.svg", skinPink),
    ITEM("Zelen1", greenSkinItem, "Skin1", "Zelená", nullptr, ":/icons/skin-7.svg", skinGreen),
    ITEM("lt1", yellowSkinItem, "Skin1", "Žltá", nullptr, ":/icons/skin-8.svg", skinYellow),
    ITEM("PlainText1", plainTextItem, "Nastavenie1", "Plain Text", nullptr, "text-plain", switchPlainText).mark(),
    ITEM("HTML1", htmlModeItem, "Nastavenie1", "HTML mód", nullptr, "text-html", switchHtmlMode).mark(),
    ITEM("Easymd1", easyModeItem, "Nastavenie1", "Easy mód", nullptr, "tools-wizard", switchEasyMode).mark().hide(),
    ITEM("Zalamovanieriadkov1", lineWrapItem, "Nastavenie1", "Zalamovanie riadkov", nullptr, "text-wrap", switchLineWrap).mark(true),
    // Shows Ctrl+F5, but the calculator above takes that key.
    ITEM("Vzhadstrnky1", pageSetupItem, "Nastavenie1", "Nastavenie", "Ctrl+F5", "configure", pageSetup),
    separator("N13", "Nastavenie1"),

    MENU("Pomoc1", helpMenu, "MainMenu1", "&Pomoc"),
    ITEM("Akopracovasprogramom1", helpTopicsItem, "Pomoc1", "Ako pracovať s programom&?", "Ctrl+F1", "help-contents", showHelp),
    ITEM("Oautorovi1", aboutItem, "Pomoc1", "&O programe", "Ctrl+F2", "help-about", showAbout),
    separator("N14", "Pomoc1"),

    // ---- Context menu of the document and the window: its keys come before the main menu's --
    MENU("PopupMenu1", contextMenu, nullptr, ""),
    // Over a misspelled word: its corrections, captioned by SpellingCommands::PopupMenu1Popup.
    ITEM("Navrh1", suggestion1Item, "PopupMenu1", "", nullptr, nullptr, useSuggestion1).hide(),
    ITEM("Navrh2", suggestion2Item, "PopupMenu1", "", nullptr, nullptr, useSuggestion2).hide(),
    ITEM("Navrh3", suggestion3Item, "PopupMenu1", "", nullptr, nullptr, useSuggestion3).hide(),
    ITEM("Navrh4", suggestion4Item, "PopupMenu1", "", nullptr, nullptr, useSuggestion4).hide(),
    ITEM("Navrh5", suggestion5Item, "PopupMenu1", "", nullptr, nullptr, useSuggestion5).hide(),
    ITEM("Pridatdoslovnika1", addWordItem, "PopupMenu1", "Pridať do slovníka", nullptr, "list-add", addWordToDictionary).hide(),
    ITEM("Ignorovat1", ignoreWordItem, "PopupMenu1", "Ignorovať", nullptr, nullptr, ignoreWord).hide(),
    separator("N35", "PopupMenu1", &C::spellingSeparator),
    ITEM("Vybra2", contextCutItem, "PopupMenu1", "Vybrať", "Ctrl+X", "edit-cut", cut),
    ITEM("Koprova2", contextCopyItem, "PopupMenu1", "Kopírovať", "Ctrl+C", "edit-copy", copy),
    ITEM("Vloi3", contextPasteItem, "PopupMenu1", "Vložiť", "Ctrl+V", "edit-paste", paste),
    separator("N15", "PopupMenu1"),
    ITEM("Dtum2", contextDateItem, "PopupMenu1", "Dátum", "Ctrl+W", "view-calendar-day", insertDate),
    ITEM("as2", contextTimeItem, "PopupMenu1", "Čas", "Ctrl+Q", "clock", insertTime),
    MENU("Text2", contextPhraseMenu, "PopupMenu1", "Text"),
    ITEM("Dobrde2", contextGreetingItem, "Text2", "Dobrý deň", "Shift+F5", ":/icons/phrase-greeting.svg", insertGreeting),
    ITEM("Venpn2", contextDearSirItem, "Text2", "Vážený pán", "Shift+F6", ":/icons/phrase-sir.svg", insertSir),
    ITEM("Venpani2", contextDearMadamItem, "Text2", "Vážená pani", "Shift+F7", ":/icons/phrase-madam.svg", insertMadam),
    ITEM("Spozdravom2", contextRegardsItem, "Text2", "S pozdravom", "Shift+F8", ":/icons/phrase-regards.svg", insertRegards),
    MENU("pecilneznaky2", contextSpecialCharMenu, "PopupMenu1", "Špeciálne znaky"),
    ITEM("N25", contextAtSignItem, "pecilneznaky2", "@", "Shift+F5", ":/icons/char-at.svg", insertAt),
    ITEM("N26", contextHashItem, "pecilneznaky2", "#", "Shift+F6", ":/icons/char-hash.svg", insertHash),
    ITEM("N27", contextDollarItem, "pecilneznaky2", "$", "Shift+F7", ":/icons/char-dollar.svg", insertDollar),
    ITEM("N28", contextSectionSignItem, "pecilneznaky2", "§", "Shift+F8", ":/icons/char-section.svg", insertSection),
    ITEM("N29", contextBackslashItem, "pecilneznaky2", "\\", "Shift+F9", ":/icons/char-backslash.svg", insertBackslash),
    ITEM("N30", contextLessThanItem, "pecilneznaky2", "<", "Ctrl+F10", ":/icons/char-less.svg", insertLessThan),
    ITEM("N31", contextGreaterThanItem, "pecilneznaky2", ">", "Shift+F11", ":/icons/char-greater.svg", insertGreaterThan),
    ITEM("N32", contextBracesItem, "pecilneznaky2", "{}", "Shift+F12", ":/icons/char-braces.svg", insertBraces),
    ITEM("Textovsbor1", contextTextFileItem, "PopupMenu1", "Textový súbor", "Ctrl+E", "insert-text", insertTextFile),
    separator("N16", "PopupMenu1"),
    // The selected object's entries: shown by PopupMenu1Popup, captioned with its type.
    separator("N34", "PopupMenu1", &C::objectSeparator),
    ITEM("Vlastnosti1", objectPropertiesItem, "PopupMenu1", "%s Properties", nullptr, "document-properties", showObjectProperties).hide(),
    MENU("Objekt3", objectMenu, "PopupMenu1", "%s"),
    ITEM("Otvori3", objectOpenItem, "Objekt3", "&Otvoriť", nullptr, "document-open", openSelectedObject),
    ITEM("Uloikpiu1", objectSaveCopyItem, "Objekt3", "&Uložiť kópiu...", nullptr, "document-save-as", saveSelectedObjectCopy),

    // ---- Menu of the tool bar area: one checked entry per toolbar -------------------------
    MENU("PopupMenu2", toolBarMenu, nullptr, ""),
    ITEM("Zkladnfunkcie1", basicToolBarItem, "PopupMenu2", "Základné funkcie", nullptr, nullptr, switchBasicToolBar).mark(true),
    ITEM("Hladanie1", searchToolBarItem, "PopupMenu2", "Hladanie", nullptr, nullptr, switchSearchToolBar).mark(true),
    ITEM("Vkladanie1", insertToolBarItem, "PopupMenu2", "Vkladanie", nullptr, nullptr, switchInsertToolBar).mark(true),
    ITEM("Npoveda1", helpToolBarItem, "PopupMenu2", "Nápoveda", nullptr, nullptr, switchHelpToolBar).mark(true),
    ITEM("Nastaveniepsma1", fontToolBarItem, "PopupMenu2", "Nastavenie písma", nullptr, nullptr, switchFontToolBar).mark(true),
    ITEM("Indexy1", indexToolBarItem, "PopupMenu2", "Indexy", nullptr, nullptr, switchIndexToolBar).mark(true),

    // ---- Tray menu, also the caption bar's: its keys are shown but never act ---------------
    MENU("PopupMenu3", trayMenu, nullptr, ""),
    ITEM("Nov3", trayNewItem, "PopupMenu3", "Nový", "F1", "document-new", newDocument),
    ITEM("Otvori2", trayOpenItem, "PopupMenu3", "Otvoriť", "F2", "document-open", open),
    ITEM("Uloi2", traySaveItem, "PopupMenu3", "Uložiť", "F3", "document-save", save),
    separator("N33", "PopupMenu3"),
    ITEM("Koniec1", trayExitItem, "PopupMenu3", "Koniec", "F12", "application-exit", quit),

    // ---- Toolbars, row by row, left to right ----------------------------------------------
    toolBar("ToolBar1", &C::ToolBar1, 1, 11, "Základné funkcie"),
    BUTTON("SpeedButton1", newButton, "ToolBar1", "Nový", "document-new", newDocument),
    BUTTON("SpeedButton2", openButton, "ToolBar1", "Otvoriť", "document-open", open),
    BUTTON("SpeedButton3", saveButton, "ToolBar1", "Uložiť", "document-save", save),
    separator("ToolButton1", "ToolBar1"),
    BUTTON("SpeedButton4", printButton, "ToolBar1", "Vytlačiť", "document-print", print),
    separator("ToolButton2", "ToolBar1"),
    BUTTON("SpeedButton11", cutButton, "ToolBar1", "Vybrať", "edit-cut", cut),
    BUTTON("SpeedButton13", copyButton, "ToolBar1", "Kopírovať", "edit-copy", copy),
    BUTTON("SpeedButton12", pasteButton, "ToolBar1", "Vložiť", "edit-paste", paste),
    separator("ToolButton3", "ToolBar1"),
    BUTTON("SpeedButton16", undoButton, "ToolBar1", "Naspäť", "edit-undo", undo),
    BUTTON("SpeedButton21", redoButton, "ToolBar1", "Vpred", "edit-redo", redo),
    separator("ToolButton4", "ToolBar1"),
    BUTTON("SpeedButton17", indentLessButton, "ToolBar1", "Posunúť doľava", "format-indent-less", indentLess),
    BUTTON("SpeedButton18", indentMoreButton, "ToolBar1", "Posunúť doprava", "format-indent-more", indentMore),
    separator("ToolButton5", "ToolBar1"),
    BUTTON("SpeedButton20", hyperlinkButton, "ToolBar1", "Hypertextový odkaz", "insert-link", insertLink),

    toolBar("ToolBar4", &C::ToolBar4, 1, 362, "Hladanie"),
    BUTTON("SpeedButton22", findButton, "ToolBar4", "Nájsť", "edit-find", find),
    BUTTON("SpeedButton23", replaceButton, "ToolBar4", "Nahradiť", "edit-find-replace", replace),

    toolBar("ToolBar5", &C::ToolBar5, 1, 423, "Vkladanie"),
    BUTTON("SpeedButton24", dateButton, "ToolBar5", "Vložiť dátum", "view-calendar-day", insertDate),
    BUTTON("SpeedButton25", timeButton, "ToolBar5", "Vložiť čas", "clock", insertTime),
    separator("ToolButton6", "ToolBar5"),
    BUTTON("SpeedButton26", pictureButton, "ToolBar5", "Vložiť obrázok", "insert-image", insertPicture),
    BUTTON("SpeedButton28", objectButton, "ToolBar5", "", "insert-object", insertObject),

    toolBar("ToolBar6", &C::ToolBar6, 1, 542, "Nápoveda"),
    BUTTON("SpeedButton27", helpButton, "ToolBar6", "Ako pracovať s programom?", "help-contents", showHelp),

    toolBar("ToolBar2", &C::ToolBar2, 2, 11, "Nastavenie písma"),
    box("ComboBox1", &C::fontNameBox, Entry::FontBox, "ToolBar2", "Písmo", &cmd::applyFontName),
    box("ComboBox2", &C::fontSizeBox, Entry::SizeBox, "ToolBar2", "Veľkosť", &cmd::applyFontSize),
    separator("ToolButton7", "ToolBar2"),
    BUTTON("SpeedButton5", boldButton, "ToolBar2", "Tučné", "format-text-bold", bold).toggle(),
    BUTTON("SpeedButton6", italicButton, "ToolBar2", "Šikmé", "format-text-italic", italic).toggle(),
    BUTTON("SpeedButton7", underlineButton, "ToolBar2", "Podčiarknuté", "format-text-underline", underline).toggle(),
    separator("ToolButton8", "ToolBar2"),
    BUTTON("SpeedButton8", alignLeftButton, "ToolBar2", "Zarovnať na ľavo", "format-justify-left", alignLeft)
        .inGroup(AlignButtons, false),
    BUTTON("SpeedButton9", alignCenterButton, "ToolBar2", "Zarovnať na stred", "format-justify-center", alignCenter)
        .inGroup(AlignButtons, false),
    BUTTON("SpeedButton10", alignRightButton, "ToolBar2", "Zarovnať na pravo", "format-justify-right", alignRight)
        .inGroup(AlignButtons, false),
    separator("ToolButton9", "ToolBar2"),
    BUTTON("SpeedButton14", bulletsButton, "ToolBar2", "Odrážky", "format-list-unordered", bullets).toggle(),
    separator("ToolButton10", "ToolBar2"),
    BUTTON("SpeedButton15", textColorButton, "ToolBar2", "Farba písma", "format-text-color", chooseTextColor),
    BUTTON("SpeedButton19", backgroundColorButton, "ToolBar2", "Farba pozadia", "format-fill-color", chooseBackgroundColor),

    toolBar("ToolBar3", &C::ToolBar3, 2, 500, "Indexy"),
    BUTTON("SpeedButton40", superscriptButton, "ToolBar3", "Horný index", "format-text-superscript", superscript).inGroup(IndexButtons, true),
    BUTTON("SpeedButton41", subscriptButton, "ToolBar3", "Dolný index", "format-text-subscript", subscript).inGroup(IndexButtons, true),

    // ---- Events of the controls the window places itself ------------------------------------
    // A click on a colour strip; a double click anywhere on the status bar.
    event("Panel1", "ControlBar1", &cmd::chooseTextColor),
    event("Panel2", "ControlBar1", &cmd::chooseBackgroundColor),
    event("StatusBar1", nullptr, &cmd::openDateTimeSettings),
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
