#pragma once
// The named controls of the main window, as the command table and the window's layout name
// them: the menus and their items, the toolbars with their buttons and boxes, the colour
// strips. The command table fills them while it builds the menus and toolbars; a control
// named here is reached as form.Tun1 or form.SpeedButton5 by any handler.
class QAction;
class QComboBox;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class QWidget;

namespace zorim {

class ColorStrip;

struct TForm1Controls {
    QMenuBar* MainMenu1 = nullptr;

    // Súbor
    QMenu* Sbor1 = nullptr;
    QAction* Nov1 = nullptr;
    QAction* Otvor1 = nullptr;
    QAction* Ulo1 = nullptr;
    QAction* Uloako1 = nullptr;
    QAction* Vytlai1 = nullptr;
    QAction* Odosla1 = nullptr;
    QAction* PoslednySubor = nullptr;
    QAction* Koniefc1 = nullptr;

    // Úpravy
    QMenu* Edit1 = nullptr;
    QAction* Nasp1 = nullptr;
    QAction* Vpred1 = nullptr;
    QAction* Vybra1 = nullptr;
    QAction* Koprova1 = nullptr;
    QAction* Vloi1 = nullptr;
    QAction* Vloiinak1 = nullptr;
    QAction* Vymaza1 = nullptr;
    QAction* Vybravetko1 = nullptr;
    QAction* Prejsnariadok1 = nullptr;
    QAction* N5 = nullptr; // the separator above "Písmo", hidden by easy mode
    QAction* Psmo1 = nullptr;
    QMenu* Efektpsma1 = nullptr;
    QAction* Tun1 = nullptr;
    QAction* ikm1 = nullptr;
    QAction* Podiarknut1 = nullptr;
    QAction* Prekrtnut1 = nullptr;
    QMenu* Index = nullptr;
    QAction* Hornindex1 = nullptr;
    QAction* Dolnindex1 = nullptr;
    QMenu* Zarovnanie1 = nullptr;
    QAction* Naavo1 = nullptr;
    QAction* Nastred1 = nullptr;
    QAction* Napravo1 = nullptr;

    // Hľadať
    QMenu* Hada1 = nullptr;
    QAction* Njs1 = nullptr;
    QAction* Njsal1 = nullptr;
    QAction* Nahradi1 = nullptr;

    // Vložiť
    QMenu* Vloi2 = nullptr;
    QAction* Dtum1 = nullptr;
    QAction* as1 = nullptr;
    QMenu* Text1 = nullptr;
    QAction* Dobrde1 = nullptr;
    QAction* Venpn1 = nullptr;
    QAction* Venpani1 = nullptr;
    QAction* Spozdravom1 = nullptr;
    QMenu* pecilneznaky1 = nullptr;
    QAction* N17 = nullptr;
    QAction* N18 = nullptr;
    QAction* N19 = nullptr;
    QAction* N20 = nullptr;
    QAction* N21 = nullptr;
    QAction* N22 = nullptr;
    QAction* N23 = nullptr;
    QAction* N24 = nullptr;
    QAction* Objekt1 = nullptr;
    QAction* Hypertextovodkaz1 = nullptr;
    QAction* Obrzok1 = nullptr;
    QAction* Objekt2 = nullptr;

    // Nástroje
    QMenu* Nstroje1 = nullptr;
    QAction* Parametredokumentu1 = nullptr;
    QAction* Obsahschrnky1 = nullptr;
    QAction* Kakulaka1 = nullptr;

    // Nastavenie
    QMenu* Nastavenie1 = nullptr;
    QMenu* Skin1 = nullptr;
    QAction* erven2 = nullptr;
    QAction* ierna1 = nullptr;
    QAction* Klasik1 = nullptr;
    QAction* Klasikextra1 = nullptr;
    QAction* Modr1 = nullptr;
    QAction* erven1 = nullptr;
    QAction* Zelen1 = nullptr;
    QAction* lt1 = nullptr;
    QAction* PlainText1 = nullptr;
    QAction* HTML1 = nullptr;
    QAction* Easymd1 = nullptr;
    QAction* Zalamovanieriadkov1 = nullptr;
    QAction* Vzhadstrnky1 = nullptr;

    // Pomoc
    QMenu* Pomoc1 = nullptr;
    QAction* Akopracovasprogramom1 = nullptr;
    QAction* Oautorovi1 = nullptr;

    // The context menu of the document and the window.
    QMenu* PopupMenu1 = nullptr;
    QAction* Vybra2 = nullptr;
    QAction* Koprova2 = nullptr;
    QAction* Vloi3 = nullptr;
    QAction* Dtum2 = nullptr;
    QAction* as2 = nullptr;
    QMenu* Text2 = nullptr;
    QAction* Dobrde2 = nullptr;
    QAction* Venpn2 = nullptr;
    QAction* Venpani2 = nullptr;
    QAction* Spozdravom2 = nullptr;
    QMenu* pecilneznaky2 = nullptr;
    QAction* N25 = nullptr;
    QAction* N26 = nullptr;
    QAction* N27 = nullptr;
    QAction* N28 = nullptr;
    QAction* N29 = nullptr;
    QAction* N30 = nullptr;
    QAction* N31 = nullptr;
    QAction* N32 = nullptr;
    QAction* Textovsbor1 = nullptr;
    // Shown when the selection is one object: its properties and, in a submenu named after
    // its type, its verbs.
    QAction* N34 = nullptr;
    QAction* Vlastnosti1 = nullptr;
    QMenu* Objekt3 = nullptr;
    QAction* Otvori3 = nullptr;
    QAction* Uloikpiu1 = nullptr;

    // The menu of the tool bar area: one entry per toolbar.
    QMenu* PopupMenu2 = nullptr;
    QAction* Zkladnfunkcie1 = nullptr;
    QAction* Hladanie1 = nullptr;
    QAction* Vkladanie1 = nullptr;
    QAction* Npoveda1 = nullptr;
    QAction* Nastaveniepsma1 = nullptr;
    QAction* Indexy1 = nullptr;

    // The tray menu, also opened by a right click on the caption bar.
    QMenu* PopupMenu3 = nullptr;
    QAction* Nov3 = nullptr;
    QAction* Otvori2 = nullptr;
    QAction* Uloi2 = nullptr;
    QAction* Koniec1 = nullptr;

    // The tool bar area and its toolbars.
    QWidget* ControlBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolBar* ToolBar3 = nullptr;
    QToolBar* ToolBar4 = nullptr;
    QToolBar* ToolBar5 = nullptr;
    QToolBar* ToolBar6 = nullptr;
    QToolButton* SpeedButton1 = nullptr;  // new
    QToolButton* SpeedButton2 = nullptr;  // open
    QToolButton* SpeedButton3 = nullptr;  // save
    QToolButton* SpeedButton4 = nullptr;  // print
    QToolButton* SpeedButton5 = nullptr;  // bold (toggle)
    QToolButton* SpeedButton6 = nullptr;  // italic (toggle)
    QToolButton* SpeedButton7 = nullptr;  // underline (toggle)
    QToolButton* SpeedButton8 = nullptr;  // align left (group)
    QToolButton* SpeedButton9 = nullptr;  // align centre (group)
    QToolButton* SpeedButton10 = nullptr; // align right (group)
    QToolButton* SpeedButton11 = nullptr; // cut
    QToolButton* SpeedButton12 = nullptr; // paste
    QToolButton* SpeedButton13 = nullptr; // copy
    QToolButton* SpeedButton14 = nullptr; // bullets (toggle)
    QToolButton* SpeedButton15 = nullptr; // text colour
    QToolButton* SpeedButton16 = nullptr; // undo
    QToolButton* SpeedButton17 = nullptr; // indent step left
    QToolButton* SpeedButton18 = nullptr; // indent step right
    QToolButton* SpeedButton19 = nullptr; // background colour
    QToolButton* SpeedButton20 = nullptr; // hyperlink
    QToolButton* SpeedButton21 = nullptr; // redo
    QToolButton* SpeedButton22 = nullptr; // find
    QToolButton* SpeedButton23 = nullptr; // replace
    QToolButton* SpeedButton24 = nullptr; // date
    QToolButton* SpeedButton25 = nullptr; // time
    QToolButton* SpeedButton26 = nullptr; // picture
    QToolButton* SpeedButton27 = nullptr; // help
    QToolButton* SpeedButton28 = nullptr; // object
    QToolButton* SpeedButton40 = nullptr; // superscript (group, all may be up)
    QToolButton* SpeedButton41 = nullptr; // subscript (group, all may be up)
    QComboBox* ComboBox1 = nullptr;       // font name
    QComboBox* ComboBox2 = nullptr;       // font size

    // The colour strips under the colour buttons.
    ColorStrip* Panel1 = nullptr; // text colour, under SpeedButton15
    ColorStrip* Panel2 = nullptr; // background colour, under SpeedButton19
};

} // namespace zorim
