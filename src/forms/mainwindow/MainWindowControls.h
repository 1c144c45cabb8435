#pragma once
// The named controls of the main window, as the command table and the window's layout name
// them: the menus and their items, the toolbars with their buttons and boxes, the colour
// strips. The command table fills them while it builds the menus and toolbars; a control
// named here is reached as form.boldItem or form.boldButton by any handler.
class QAction;
class QComboBox;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class QWidget;

namespace zorim {

class ColorStrip;

struct MainWindowControls {
    QMenuBar* mainMenu = nullptr;

    // Súbor
    QMenu* fileMenu = nullptr;
    QAction* newItem = nullptr;
    QAction* openItem = nullptr;
    QAction* saveItem = nullptr;
    QAction* saveAsItem = nullptr;
    QAction* printItem = nullptr;
    QAction* sendItem = nullptr;
    QAction* recentFileItem = nullptr;
    QAction* exitItem = nullptr;

    // Úpravy
    QMenu* editMenu = nullptr;
    QAction* undoItem = nullptr;
    QAction* redoItem = nullptr;
    QAction* cutItem = nullptr;
    QAction* copyItem = nullptr;
    QAction* pasteItem = nullptr;
    QAction* pasteSpecialItem = nullptr;
    QAction* clearItem = nullptr;
    QAction* selectAllItem = nullptr;
    QAction* goToLineItem = nullptr;
    QAction* fontSeparator = nullptr; // the separator above "Písmo", hidden by easy mode
    QAction* fontItem = nullptr;
    QMenu* fontEffectMenu = nullptr;
    QAction* boldItem = nullptr;
    QAction* italicItem = nullptr;
    QAction* underlineItem = nullptr;
    QAction* strikeOutItem = nullptr;
    QMenu* indexMenu = nullptr;
    QAction* superscriptItem = nullptr;
    QAction* subscriptItem = nullptr;
    QMenu* alignMenu = nullptr;
    QAction* alignLeftItem = nullptr;
    QAction* alignCenterItem = nullptr;
    QAction* alignRightItem = nullptr;

    // Hľadať
    QMenu* searchMenu = nullptr;
    QAction* findItem = nullptr;
    QAction* findNextItem = nullptr;
    QAction* replaceItem = nullptr;

    // Vložiť
    QMenu* insertMenu = nullptr;
    QAction* dateItem = nullptr;
    QAction* timeItem = nullptr;
    QMenu* phraseMenu = nullptr;
    QAction* greetingItem = nullptr;
    QAction* dearSirItem = nullptr;
    QAction* dearMadamItem = nullptr;
    QAction* regardsItem = nullptr;
    QMenu* specialCharMenu = nullptr;
    QAction* atSignItem = nullptr;
    QAction* hashItem = nullptr;
    QAction* dollarItem = nullptr;
    QAction* sectionSignItem = nullptr;
    QAction* backslashItem = nullptr;
    QAction* lessThanItem = nullptr;
    QAction* greaterThanItem = nullptr;
    QAction* bracesItem = nullptr;
    QAction* textFileItem = nullptr;
    QAction* hyperlinkItem = nullptr;
    QAction* pictureItem = nullptr;
    QAction* objectItem = nullptr;
    QAction* footnoteItem = nullptr;

    // Nástroje
    QMenu* toolsMenu = nullptr;
    QAction* statisticsItem = nullptr;
    QAction* clipboardItem = nullptr;
    QAction* calculatorItem = nullptr;
    QAction* spellCheckItem = nullptr; // marks misspelled words; greyed without a dictionary

    // Nastavenie
    QMenu* settingsMenu = nullptr;
    QMenu* skinMenu = nullptr;
    QAction* redSkinItem = nullptr;
    QAction* blackSkinItem = nullptr;
    QAction* standardSkinItem = nullptr;
    QAction* standardExtraSkinItem = nullptr;
    QAction* blueSkinItem = nullptr;
    QAction* pinkSkinItem = nullptr;
    QAction* greenSkinItem = nullptr;
    QAction* yellowSkinItem = nullptr;
    QAction* plainTextItem = nullptr;
    QAction* htmlModeItem = nullptr;
    QAction* easyModeItem = nullptr;
    QAction* lineWrapItem = nullptr;
    QAction* pageSetupItem = nullptr;

    // Pomoc
    QMenu* helpMenu = nullptr;
    QAction* helpTopicsItem = nullptr;
    QAction* aboutItem = nullptr;

    // The context menu of the document and the window.
    QMenu* contextMenu = nullptr;
    QAction* contextCutItem = nullptr;
    QAction* contextCopyItem = nullptr;
    QAction* contextPasteItem = nullptr;
    QAction* contextDateItem = nullptr;
    QAction* contextTimeItem = nullptr;
    QMenu* contextPhraseMenu = nullptr;
    QAction* contextGreetingItem = nullptr;
    QAction* contextDearSirItem = nullptr;
    QAction* contextDearMadamItem = nullptr;
    QAction* contextRegardsItem = nullptr;
    QMenu* contextSpecialCharMenu = nullptr;
    QAction* contextAtSignItem = nullptr;
    QAction* contextHashItem = nullptr;
    QAction* contextDollarItem = nullptr;
    QAction* contextSectionSignItem = nullptr;
    QAction* contextBackslashItem = nullptr;
    QAction* contextLessThanItem = nullptr;
    QAction* contextGreaterThanItem = nullptr;
    QAction* contextBracesItem = nullptr;
    QAction* contextTextFileItem = nullptr;
    // Shown when the selection is one object: its properties and, in a submenu named after
    // its type, its verbs.
    QAction* objectSeparator = nullptr;
    QAction* objectPropertiesItem = nullptr;
    QMenu* objectMenu = nullptr;
    QAction* objectOpenItem = nullptr;
    QAction* objectSaveCopyItem = nullptr;
    // Shown at the top over a misspelled word: up to five corrections (each holds its word as
    // its data), adding the word to the personal word list, ignoring it, a separator.
    QAction* suggestion1Item = nullptr;
    QAction* suggestion2Item = nullptr;
    QAction* suggestion3Item = nullptr;
    QAction* suggestion4Item = nullptr;
    QAction* suggestion5Item = nullptr;
    QAction* addWordItem = nullptr;
    QAction* ignoreWordItem = nullptr;
    QAction* spellingSeparator = nullptr;

    // The menu of the tool bar area: one entry per toolbar.
    QMenu* toolBarMenu = nullptr;
    QAction* basicToolBarItem = nullptr;
    QAction* searchToolBarItem = nullptr;
    QAction* insertToolBarItem = nullptr;
    QAction* helpToolBarItem = nullptr;
    QAction* fontToolBarItem = nullptr;
    QAction* indexToolBarItem = nullptr;

    // The tray menu, also opened by a right click on the caption bar.
    QMenu* trayMenu = nullptr;
    QAction* trayNewItem = nullptr;
    QAction* trayOpenItem = nullptr;
    QAction* traySaveItem = nullptr;
    QAction* trayExitItem = nullptr;

    // The tool bar area and its toolbars.
    QWidget* ControlBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolBar* ToolBar3 = nullptr;
    QToolBar* ToolBar4 = nullptr;
    QToolBar* ToolBar5 = nullptr;
    QToolBar* ToolBar6 = nullptr;
    QToolButton* newButton = nullptr;  // new
    QToolButton* openButton = nullptr;  // open
    QToolButton* saveButton = nullptr;  // save
    QToolButton* printButton = nullptr;  // print
    QToolButton* boldButton = nullptr;  // bold (toggle)
    QToolButton* italicButton = nullptr;  // italic (toggle)
    QToolButton* underlineButton = nullptr;  // underline (toggle)
    QToolButton* alignLeftButton = nullptr;  // align left (group)
    QToolButton* alignCenterButton = nullptr;  // align centre (group)
    QToolButton* alignRightButton = nullptr; // align right (group)
    QToolButton* cutButton = nullptr; // cut
    QToolButton* pasteButton = nullptr; // paste
    QToolButton* copyButton = nullptr; // copy
    QToolButton* bulletsButton = nullptr; // bullets (toggle)
    QToolButton* textColorButton = nullptr; // text colour
    QToolButton* undoButton = nullptr; // undo
    QToolButton* indentLessButton = nullptr; // indent step left
    QToolButton* indentMoreButton = nullptr; // indent step right
    QToolButton* backgroundColorButton = nullptr; // background colour
    QToolButton* hyperlinkButton = nullptr; // hyperlink
    QToolButton* redoButton = nullptr; // redo
    QToolButton* findButton = nullptr; // find
    QToolButton* replaceButton = nullptr; // replace
    QToolButton* dateButton = nullptr; // date
    QToolButton* timeButton = nullptr; // time
    QToolButton* pictureButton = nullptr; // picture
    QToolButton* helpButton = nullptr; // help
    QToolButton* objectButton = nullptr; // object
    QToolButton* superscriptButton = nullptr; // superscript (group, all may be up)
    QToolButton* subscriptButton = nullptr; // subscript (group, all may be up)
    QComboBox* fontNameBox = nullptr;       // font name
    QComboBox* fontSizeBox = nullptr;       // font size

    // The colour strips under the colour buttons.
    ColorStrip* textColorStrip = nullptr; // text colour, under textColorButton
    ColorStrip* backgroundColorStrip = nullptr; // background colour, under backgroundColorButton

    QAction* printPreviewItem = nullptr; // print preview, in the file menu after print
};

} // namespace zorim
