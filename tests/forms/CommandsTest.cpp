// The command table and what is built from it: menus with their captions, keys, marks and
// hidden items, context menus, toolbars with hints and button behaviour, and the key rule.
#include "FormsTestSupport.h"
#include "forms/commands/CommandTable.h"
#include "forms/commands/CommandUi.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QComboBox>
#include <QFontInfo>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <cstring>

using namespace zorim;
using namespace zorim::test;

namespace {

class CommandsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        form = start();
        QObject::connect(&form->commandUi(), &CommandUi::running, [this](const char* name) { ran << QString::fromLatin1(name); });
    }
    // What runs when the key is pressed with the focus in the document.
    QStringList press(QKeyCombination key)
    {
        ran.clear();
        QTest::keyClick(form->RichEdit1->widget(), key.key(), key.keyboardModifiers());
        return ran;
    }
    // The menu's entries as shown: caption, a tab and the key; "-" for a separator.
    static QStringList entries(const QMenu* menu)
    {
        QStringList list;
        for (const QAction* a : menu->actions())
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return list;
    }

    std::unique_ptr<MainWindow> form;
    QStringList ran;
};

TEST_F(CommandsTest, TableNamesEachEntryOnceAndPlacesItInAnEntryDeclaredBeforeIt)
{
    QSet<QByteArray> seen;
    for (const CommandRow& row : commandTable()) {
        EXPECT_FALSE(seen.contains(row.name)) << row.name;
        if (row.in && std::strcmp(row.in, "MainMenu1") != 0 && std::strcmp(row.in, "ControlBar1") != 0) {
            EXPECT_TRUE(seen.contains(row.in)) << row.name << " in " << row.in;
        }
        seen.insert(row.name);
        const bool runs = row.entry == Entry::Item || row.entry == Entry::Button || row.entry == Entry::Toggle
                          || row.entry == Entry::Group || row.entry == Entry::FontBox || row.entry == Entry::SizeBox
                          || row.entry == Entry::Event;
        EXPECT_EQ(row.command != nullptr, runs) << row.name;
    }
}

TEST_F(CommandsTest, MainMenuHoldsEveryItemWithItsCaptionKeyAndPlace)
{
    QStringList titles;
    for (const QAction* a : form->mainMenu->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&Súbor", "Úp&ravy", "&Hľadať", "&Vložiť", "Nás&troje", "&Nastavenie", "&Pomoc"}));

    EXPECT_EQ(entries(form->fileMenu), QStringList({"&Nový\tF1", "&Otvoriť\tF2", "&Uložiť\tF3", "Uložiť &ako...\tF4", "-",
                                                 "&Vytlačiť\tF5", "Ukážka pred tlačou", "O&doslať\tF6", "-", "Dokument", "-", "&KONIEC\tF12", "-"}));
    EXPECT_EQ(entries(form->editMenu),
              QStringList({"&Naspäť\tCtrl+Z", "&Vpred\tCtrl+Y", "-", "&Vybrať\tCtrl+X", "&Kopírovať\tCtrl+C",
                           "V&ložiť\tCtrl+V", "Vložiť inak...", "-", "Vy&mazať\tShift+Del", "&Označiť všetko\tCtrl+A",
                           "Prejsť na riadok\tF7", "-", "&Písmo\tCtrl+F", "Efekt písma", "Index", "&Zarovnať", "-"}));
    EXPECT_EQ(entries(form->fontEffectMenu),
              QStringList({"Tučné\tCtrl+B", "Šikmé\tCtrl+I", "Podčiarknuté\tCtrl+U", "Preškrtnuté"}));
    EXPECT_EQ(entries(form->indexMenu), QStringList({"Horný index\tCtrl+Shift+F1", "Dolný index\tCtrl+Shift+F2"}));
    EXPECT_EQ(entries(form->alignMenu), QStringList({"Na ľavo\tShift+F1", "Na stred\tShift+F2", "Na pravo\tShift+F3"}));
    EXPECT_EQ(entries(form->searchMenu), QStringList({"&Nájsť\tF9", "Nájsť &ďalší\tF10", "Na&hradiť\tF11", "-"}));
    EXPECT_EQ(entries(form->insertMenu), QStringList({"&Dátum\tCtrl+D", "&Čas\tCtrl+Q", "&Text", "Špeciálne znaky",
                                                 "Te&xtový súbor\tCtrl+E", "Hypertextový odkaz\tCtrl+H", "-",
                                                 "Obrázok\tCtrl+P", "Objekt\tCtrl+O", "Poznámka pod čiarou", "-"}));
    EXPECT_EQ(entries(form->specialCharMenu),
              QStringList({"@\tShift+F5", "#\tShift+F6", "$\tShift+F7", "§\tShift+F8", "\\\tShift+F9", "<\tCtrl+F10",
                           ">\tShift+F11", "{}\tShift+F12"}));
    EXPECT_EQ(entries(form->toolsMenu), QStringList({"Parametre dokumentu\tCtrl+F3", "Obsah schránky\tCtrl+F4",
                                                    "Kaľkulačka\tCtrl+F5", "-", "Kontrola pravopisu"}));
    EXPECT_EQ(entries(form->settingsMenu), QStringList({"Skin programu", "Plain Text", "HTML mód", "Easy mód",
                                                       "Zalamovanie riadkov", "Nastavenie\tCtrl+F5", "-"}));
    EXPECT_EQ(entries(form->skinMenu), QStringList({"Červená", "Čierna", "Štandard", "Štandard extra", "Modrá", "Ružová",
                                                 "Zelená", "Žltá"}));
    EXPECT_EQ(entries(form->helpMenu), QStringList({"Ako pracovať s programom&?\tCtrl+F1", "&O programe\tCtrl+F2", "-"}));
}

TEST_F(CommandsTest, MarksRadioGroupsAndHiddenItemsAreAsLaidOut)
{
    EXPECT_FALSE(form->easyModeItem->isVisible());
    EXPECT_TRUE(form->lineWrapItem->isChecked());
    for (QAction* a : {form->boldItem, form->italicItem, form->underlineItem}) {
        ASSERT_NE(a->actionGroup(), nullptr);
        EXPECT_EQ(a->actionGroup()->actions().size(), 1); // a radio mark alone in its group
    }
    EXPECT_FALSE(form->strikeOutItem->isCheckable());
    ASSERT_NE(form->superscriptItem->actionGroup(), nullptr);
    EXPECT_EQ(form->superscriptItem->actionGroup(), form->subscriptItem->actionGroup());
    form->superscriptItem->setChecked(true);
    form->subscriptItem->setChecked(true);
    EXPECT_FALSE(form->superscriptItem->isChecked());
    form->subscriptItem->setChecked(false); // both may be clear
    EXPECT_FALSE(form->subscriptItem->isChecked());
    // The alignment marks are independent.
    form->alignLeftItem->setChecked(true);
    form->alignCenterItem->setChecked(true);
    EXPECT_TRUE(form->alignLeftItem->isChecked());
}

TEST_F(CommandsTest, ChoosingAMenuItemRunsItsHandlerOnTheMarkAsItWas)
{
    ASSERT_FALSE(form->boldItem->isChecked());
    form->boldItem->trigger();
    EXPECT_EQ(ran, QStringList({"Tun1"}));
    EXPECT_FALSE(form->boldItem->isChecked()); // the handler decides the mark
    form->lineWrapItem->trigger();
    EXPECT_FALSE(form->lineWrapItem->isChecked()); // switched off once, by its handler
}

TEST_F(CommandsTest, ContextMenusHoldTheirEntries)
{
    // The corrections of a misspelled word come first, hidden until the menu opens over one.
    EXPECT_EQ(entries(form->contextMenu), QStringList({"", "", "", "", "", "Pridať do slovníka", "Ignorovať", "-",
                                                      "Vybrať\tCtrl+X", "Kopírovať\tCtrl+C", "Vložiť\tCtrl+V", "-",
                                                      "Dátum\tCtrl+W", "Čas\tCtrl+Q", "Text", "Špeciálne znaky",
                                                      "Textový súbor\tCtrl+E", "-", "-", "%s Properties", "%s"}));
    EXPECT_EQ(entries(form->contextPhraseMenu), QStringList({"Dobrý deň\tShift+F5", "Vážený pán\tShift+F6", "Vážená pani\tShift+F7",
                                                 "S pozdravom\tShift+F8"}));
    EXPECT_EQ(entries(form->contextSpecialCharMenu), entries(form->specialCharMenu));
    EXPECT_EQ(entries(form->toolBarMenu), QStringList({"Základné funkcie", "Hladanie", "Vkladanie", "Nápoveda",
                                                      "Nastavenie písma", "Indexy"}));
    for (const QAction* a : form->toolBarMenu->actions())
        EXPECT_TRUE(a->isChecked()) << a->text().toStdString();
    EXPECT_EQ(entries(form->trayMenu), QStringList({"Nový\tF1", "Otvoriť\tF2", "Uložiť\tF3", "-", "Koniec\tF12"}));
}

TEST_F(CommandsTest, ToolbarsHoldTheirButtonsWithHintsInOrder)
{
    const auto hints = [](const QToolBar* bar) {
        QStringList list;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator())
                list << QStringLiteral("/");
            else if (QWidget* w = bar->widgetForAction(a))
                list << w->toolTip();
        }
        return list;
    };
    EXPECT_EQ(hints(form->ToolBar1),
              QStringList({"Nový", "Otvoriť", "Uložiť", "/", "Vytlačiť", "/", "Vybrať", "Kopírovať", "Vložiť", "/",
                           "Naspäť", "Vpred", "/", "Posunúť doľava", "Posunúť doprava", "/", "Hypertextový odkaz"}));
    EXPECT_EQ(hints(form->ToolBar4), QStringList({"Nájsť", "Nahradiť"}));
    EXPECT_EQ(hints(form->ToolBar5), QStringList({"Vložiť dátum", "Vložiť čas", "/", "Vložiť obrázok", ""}));
    EXPECT_EQ(hints(form->ToolBar6), QStringList({"Ako pracovať s programom?"}));
    EXPECT_EQ(hints(form->ToolBar2), QStringList({"Písmo", "Veľkosť", "/", "Tučné", "Šikmé", "Podčiarknuté", "/",
                                                  "Zarovnať na ľavo", "Zarovnať na stred", "Zarovnať na pravo", "/",
                                                  "Odrážky", "/", "Farba písma", "Farba pozadia"}));
    EXPECT_EQ(hints(form->ToolBar3), QStringList({"Horný index", "Dolný index"}));

    // Rows of 30 pixels: the first four toolbars in row 1, the last two in row 2, left to right.
    EXPECT_EQ(form->ToolBar1->pos(), QPoint(11, 0));
    EXPECT_EQ(form->ToolBar4->pos(), QPoint(362, 0));
    EXPECT_EQ(form->ToolBar5->pos(), QPoint(423, 0));
    EXPECT_EQ(form->ToolBar6->pos(), QPoint(542, 0));
    EXPECT_EQ(form->ToolBar2->pos(), QPoint(11, 30));
    EXPECT_EQ(form->ToolBar3->pos(), QPoint(500, 30));
    for (QToolBar* bar : {form->ToolBar1, form->ToolBar4, form->ToolBar5, form->ToolBar2})
        EXPECT_LE(bar->geometry().right(), 792) << bar->objectName().toStdString();
    EXPECT_LT(form->ToolBar1->geometry().right(), form->ToolBar4->x());
    EXPECT_LT(form->ToolBar4->geometry().right(), form->ToolBar5->x());
    EXPECT_LT(form->ToolBar5->geometry().right(), form->ToolBar6->x());
    EXPECT_LT(form->ToolBar2->geometry().right(), form->ToolBar3->x());

    // Every entry with a picture draws it (which needs the SVG icon engine), at any size.
    for (const CommandRow& row : commandTable()) {
        if (row.icon) {
            const QIcon icon = CommandUi::icon(row.icon);
            for (int size : {16, 32})
                EXPECT_FALSE(icon.pixmap(size).isNull()) << row.name << " " << row.icon << " " << size;
        }
    }
}

TEST_F(CommandsTest, ToggleButtonsFlipBeforeTheirHandlerAndGroupsReleaseTheOthers)
{
    bool downWhenRun = false;
    QObject::connect(&form->commandUi(), &CommandUi::running, [&](const char* name) {
        if (std::strcmp(name, "SpeedButton5") == 0)
            downWhenRun = form->boldButton->isChecked();
    });
    form->boldButton->click();
    EXPECT_TRUE(downWhenRun);
    EXPECT_EQ(ran, QStringList({"SpeedButton5"}));

    form->alignLeftButton->click();
    form->alignCenterButton->click();
    EXPECT_FALSE(form->alignLeftButton->isChecked());
    EXPECT_TRUE(form->alignCenterButton->isChecked());
    form->alignCenterButton->click(); // one of the alignment buttons stays down
    EXPECT_TRUE(form->alignCenterButton->isChecked());

    form->superscriptButton->click();
    form->subscriptButton->click();
    EXPECT_FALSE(form->superscriptButton->isChecked());
    EXPECT_TRUE(form->subscriptButton->isChecked());
    form->subscriptButton->click(); // both index buttons may be up
    EXPECT_FALSE(form->subscriptButton->isChecked());
}

// The font box lists each family once, under the name a face is asked for, and shows the
// family the text is drawn in when the document's face is not installed (Verdana on most
// Linux desktops); the document keeps the face it names.
TEST_F(CommandsTest, FontBoxListsFamiliesOnceAndShowsTheFamilyActuallyUsed)
{
    EXPECT_EQ(fontFamilyList({QStringLiteral("Nimbus Sans [URW ]"), QStringLiteral("C059 [UKWN]"),
                              QStringLiteral("arial"), QStringLiteral("C059 [URW ]"), QStringLiteral("Nimbus Sans [UKWN]")}),
              QStringList({QStringLiteral("arial"), QStringLiteral("C059"), QStringLiteral("Nimbus Sans")}));

    ASSERT_EQ(form->RichEdit1->SelectionAttributes().Name(), QStringLiteral("Verdana"));
    EXPECT_EQ(form->fontNameBox->currentText(), QFontInfo(QFont(QStringLiteral("Verdana"))).family());
    EXPECT_GE(form->fontNameBox->currentIndex(), 0);
    EXPECT_EQ(form->RichEdit1->SelectionAttributes().Name(), QStringLiteral("Verdana"));
}

TEST_F(CommandsTest, BoxesListTheInstalledFontsInOrderAndTheSizes)
{
    QStringList fonts;
    for (int i = 0; i < form->fontNameBox->count(); ++i)
        fonts << form->fontNameBox->itemText(i);
    ASSERT_FALSE(fonts.isEmpty());
    QStringList sorted = fonts;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(fonts, sorted);
    EXPECT_FALSE(form->fontNameBox->isEditable());
    EXPECT_EQ(form->fontNameBox->width(), 185);

    QStringList sizes;
    for (int i = 0; i < form->fontSizeBox->count(); ++i)
        sizes << form->fontSizeBox->itemText(i);
    EXPECT_EQ(sizes, QStringList({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "32",
                                  "36", "48", "72"}));
    EXPECT_TRUE(form->fontSizeBox->isEditable());
    EXPECT_GE(form->fontSizeBox->width(), 43); // wider where four digits need it

    // Typing into the size box is a change; so is choosing from the list.
    QTest::keyClick(form->fontSizeBox->lineEdit(), Qt::Key_1);
    EXPECT_EQ(ran, QStringList({"ComboBox2"}));
    ran.clear();
    form->fontSizeBox->textActivated(QStringLiteral("14"));
    EXPECT_EQ(ran, QStringList({"ComboBox2"}));
}

// The conflicts of the key rule: the context menu first, then the main menu, depth first.
TEST_F(CommandsTest, KeysInTheDocumentRunTheFirstItemCarryingThem)
{
    form->RichEdit1->setSelectedText(QStringLiteral("text"));
    const std::pair<QKeyCombination, const char*> cases[] = {
        {Qt::SHIFT | Qt::Key_F1, "Naavo1"},       {Qt::SHIFT | Qt::Key_F2, "Nastred1"},
        {Qt::SHIFT | Qt::Key_F3, "Napravo1"},     {Qt::SHIFT | Qt::Key_F4, "Spozdravom1"},
        {Qt::SHIFT | Qt::Key_F5, "Dobrde2"},      {Qt::SHIFT | Qt::Key_F6, "Venpn2"},
        {Qt::SHIFT | Qt::Key_F7, "Venpani2"},     {Qt::SHIFT | Qt::Key_F8, "Spozdravom2"},
        {Qt::SHIFT | Qt::Key_F9, "N29"},          {Qt::CTRL | Qt::Key_F10, "N30"},
        {Qt::SHIFT | Qt::Key_F11, "N31"},         {Qt::SHIFT | Qt::Key_F12, "N32"},
        {Qt::CTRL | Qt::Key_X, "Vybra2"},         {Qt::CTRL | Qt::Key_C, "Koprova2"},
        {Qt::CTRL | Qt::Key_V, "Vloi3"},          {Qt::CTRL | Qt::Key_Q, "as2"},
        {Qt::CTRL | Qt::Key_E, "Textovsbor1"},    {Qt::CTRL | Qt::Key_W, "Dtum2"},
        {Qt::CTRL | Qt::Key_D, "Dtum1"},          {Qt::CTRL | Qt::Key_F5, "Kakulaka1"},
        {Qt::CTRL | Qt::Key_F3, "Parametredokumentu1"}, {Qt::SHIFT | Qt::Key_Delete, "Vymaza1"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_F1, "Hornindex1"}, {Qt::CTRL | Qt::Key_B, "Tun1"},
        {Qt::CTRL | Qt::Key_A, "Vybravetko1"},    {Qt::Key_F1, "Nov1"},
        {Qt::Key_F2, "Otvor1"},                   {Qt::Key_F7, "Prejsnariadok1"},
        {Qt::Key_F9, "Njs1"},                     {Qt::CTRL | Qt::Key_F1, "Akopracovasprogramom1"},
    };
    // The insert-file dialog, the new-document question and the question of open for the
    // changed document, each cancelled.
    platform.answerOpenFile(std::nullopt);
    platform.answerQuestion(Answer::Cancel);
    platform.answerQuestion(Answer::Cancel);
    for (const auto& [key, name] : cases) {
        // The commands act: each key finds a selected text again.
        form->RichEdit1->setText(QStringLiteral("text"));
        form->RichEdit1->SelectAll();
        EXPECT_EQ(press(key), QStringList({QString::fromLatin1(name)})) << name;
    }
}

TEST_F(CommandsTest, KeyOfACommandNeverReachesTheEditorAndOtherKeysDo)
{
    press(Qt::SHIFT | Qt::Key_F5);
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("Dobrý deň"));
    // The phrase is selected: a typed character replaces it.
    EXPECT_EQ(press(Qt::Key_A), QStringList());
    EXPECT_EQ(form->RichEdit1->Text(), QStringLiteral("a"));
}

TEST_F(CommandsTest, HiddenItemsKeepTheirKeys)
{
    form->alignMenu->menuAction()->setVisible(false);
    EXPECT_EQ(press(Qt::SHIFT | Qt::Key_F1), QStringList({"Naavo1"}));
}

TEST_F(CommandsTest, UndoRedoAndCutFollowTheDocument)
{
    EXPECT_FALSE(form->undoItem->isEnabled());
    EXPECT_FALSE(form->undoButton->isEnabled());
    EXPECT_FALSE(form->cutItem->isEnabled());
    EXPECT_FALSE(form->cutButton->isEnabled());
    QTest::keyClicks(form->RichEdit1->widget(), QStringLiteral("abc"));
    EXPECT_TRUE(form->undoItem->isEnabled());
    EXPECT_TRUE(form->undoButton->isEnabled());
    form->RichEdit1->SelectAll();
    EXPECT_TRUE(form->cutItem->isEnabled());
    EXPECT_TRUE(form->contextCopyItem->isEnabled());
    EXPECT_TRUE(form->clearItem->isEnabled());
    form->RichEdit1->setSelectionLength(0);
    EXPECT_FALSE(form->copyItem->isEnabled());
    // A disabled item keeps its key, which then does nothing.
    EXPECT_EQ(press(Qt::CTRL | Qt::Key_C), QStringList());
}

} // namespace
