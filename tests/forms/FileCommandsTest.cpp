// The file commands as a user meets them: new, open and send, by every road, with the document
// state, the status panels, the dialogs and the last-file record after each, and what a failure
// leaves behind. Saving and the rest: FileSaveTest.cpp.
#include "FileCommandsTest.h"

#include <QFontInfo>
#include "text/Codepage.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextEdit>
#include <QToolButton>

using namespace zorim;
using namespace zorim::test;

namespace {

// A ZIP local file header with its entry stored as it is, as office suites start their files.
QByteArray zipEntry(const QByteArray& name, const QByteArray& data)
{
    auto le = [](quint32 v, int n) {
        QByteArray b;
        for (int i = 0; i < n; ++i)
            b += char((v >> (8 * i)) & 0xFF);
        return b;
    };
    return "PK\x03\x04" + le(20, 2) + le(0, 2) + le(0, 2) + le(0, 4) + le(0, 4) + le(quint32(data.size()), 4) +
           le(quint32(data.size()), 4) + le(quint32(name.size()), 2) + le(0, 2) + name + data;
}

// ---- the roads --------------------------------------------------------------------------

TEST_F(FileCommandsTest, MenuToolbarTrayAndKeysRunTheSameCommands)
{
    // New asks its question by all four roads.
    for (int i = 0; i < 4; ++i)
        platform.answerQuestion(Answer::Cancel);
    form->newItem->trigger();
    form->newButton->click();
    form->trayNewItem->trigger();
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F1);
    EXPECT_EQ(platform.questions(), QStringList(4, kQuestion));

    // Open, and insert text file from both menus and by key, show the open dialog.
    for (int i = 0; i < 7; ++i)
        platform.answerOpenFile(std::nullopt);
    form->openItem->trigger();
    form->openButton->click();
    form->trayOpenItem->trigger();
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F2);
    form->textFileItem->trigger();
    form->contextTextFileItem->trigger();
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_E, Qt::ControlModifier);

    // Save of an untitled document and Save As show the save dialog.
    for (int i = 0; i < 6; ++i)
        platform.answerSaveFile(std::nullopt);
    form->saveItem->trigger();
    form->saveButton->click();
    form->traySaveItem->trigger();
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F3);
    form->saveAsItem->trigger();
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F4);

    QStringList dialogs;
    for (const auto& shown : platform.shown())
        if (shown.kind == ScriptedPlatform::Kind::OpenFile || shown.kind == ScriptedPlatform::Kind::SaveFile)
            dialogs << shown.text;
    EXPECT_EQ(dialogs, QStringList(7, QStringLiteral("Otvoriť dokument")) + QStringList(6, QStringLiteral("Uložiť dokument")));
    EXPECT_TRUE(platform.scriptDone());
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(FileCommandsTest, SendShowsItsMessageAndChangesNothing)
{
    type(QStringLiteral("list"));
    form->sendItem->trigger();
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F6);
    EXPECT_EQ(platform.texts(ScriptedPlatform::Kind::Message),
              QStringList(2, QStringLiteral("Posielanie dokumentu e-mailom zatiaľ nefunkčné...")));
    EXPECT_EQ(text(), QStringLiteral("list"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    EXPECT_TRUE(form->RichEdit1->Modified());
}

// ---- new ---------------------------------------------------------------------------------

TEST_F(FileCommandsTest, NewNoEmptiesTheDocumentIntoTheStartingStateMarkedNew)
{
    const QString path = saveUnder(QStringLiteral("a.zrm"));
    form->RichEdit1->SelectionAttributes().setSize(20);
    type(QStringLiteral("text"));
    laterClock();
    platform.answerQuestion(Answer::No);
    form->newItem->trigger();

    EXPECT_EQ(platform.questions(), QStringList{kQuestion});
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(form->RichEdit1->SelectionStart(), 0);
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - Dokument"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: Dokument"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Nový"));
    expectLaterDateAndTime();
    EXPECT_EQ(form->fontSizeBox->currentText(), QStringLiteral("12"));
    const QString verdana = QFontInfo(QFont(QStringLiteral("Verdana"))).family(); // or what stands in for it
    EXPECT_EQ(form->fontNameBox->currentText(), verdana);
    const FontDesc font = form->RichEdit1->Font();
    EXPECT_EQ(font.name, QStringLiteral("Verdana"));
    EXPECT_EQ(font.size, 12);
    EXPECT_EQ(font.color, 0u);
    EXPECT_EQ(form->RichEdit1->SelectionAttributes().Size(), 12);
    // The file is untouched and the last saved file stays recorded.
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());
    EXPECT_TRUE(document(path).startsWith("{\\rtf"));

    // The marker changes again with the next change.
    type(QStringLiteral("x"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
}

TEST_F(FileCommandsTest, NewAsksAlsoForAnUnchangedDocumentAndCancelOnlyClearsTheMarker)
{
    type(QStringLiteral("koncept"));
    platform.answerQuestion(Answer::Cancel);
    form->newButton->click();
    EXPECT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(text(), QStringLiteral("koncept"));
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(panel(*form, 2), QString());

    platform.answerQuestion(Answer::No);
    form->newButton->click();
    platform.answerQuestion(Answer::Cancel);
    form->newButton->click();
    EXPECT_EQ(platform.questions(), QStringList(3, kQuestion));
}

TEST_F(FileCommandsTest, NewYesSavesUnderANameThenEmpties)
{
    type(QStringLiteral("Dobrý deň"));
    const QString path = folder.filePath(QStringLiteral("list.txt"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(path);
    form->newItem->trigger();

    EXPECT_EQ(document(path), QByteArray("Dobr\xFD de\xF2"));
    EXPECT_EQ(platform.informations(), QStringList{kSaved});
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - Dokument"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Nový"));

    // Save As is asked for also when the document has a name, preset with its path.
    type(QStringLiteral("x"));
    const QString second = saveUnder(QStringLiteral("second.txt"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(second);
    platform.answerQuestion(Answer::Yes); // replace the file it is saved in
    form->newItem->trigger();
    ASSERT_EQ(platform.shown().size(), 4u);
    EXPECT_EQ(platform.shown()[1].file.fileName, second);
}

TEST_F(FileCommandsTest, NewYesKeepsTheDocumentWhenTheSaveIsCancelledOrFails)
{
    type(QStringLiteral("nestratiť"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(std::nullopt);
    form->newItem->trigger();
    EXPECT_EQ(text(), QStringLiteral("nestratiť"));
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
    EXPECT_EQ(panel(*form, 2), QString());
    EXPECT_EQ(platform.informations(), QStringList());

    const QString bad = folder.filePath(QStringLiteral("no/such/folder/a.zrm"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(bad);
    form->newItem->trigger();
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot create file ") + bad});
    EXPECT_EQ(text(), QStringLiteral("nestratiť"));
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), QByteArray("Dokument"));
}

// ---- open --------------------------------------------------------------------------------

TEST_F(FileCommandsTest, OpenLoadsTheChosenFileAndTheDialogRemembersItsFolderAndName)
{
    QDir(folder.filePath(QString())).mkdir(QStringLiteral("dopisy"));
    const QString path = folder.writeDocument(QStringLiteral("dopisy/a.zrm"), kRtf);
    laterClock();
    platform.answerOpenFile(path);
    form->openItem->trigger();

    ASSERT_EQ(platform.shown().size(), 1u);
    const FileDialogSetup& first = platform.shown()[0].file;
    EXPECT_EQ(first.title, QStringLiteral("Otvoriť dokument"));
    EXPECT_EQ(first.filter, QStringLiteral("Všetky súbory|*.*|ZORIM dokumenty (*.zrm)|*.zrm|RTF dokumenty (*.rtf)|*.rtf|"
                                           "Textové súbori (*.txt)|*.txt|HTML stránky (*.htm, *.html)|*.htm;*.html|"
                                           "MOLA Editor (*.mola)|*.mola|Dokumenty Word (*.docx)|*.docx|"
                                           "Dokumenty OpenDocument (*.odt, *.fodt)|*.odt;*.fodt"));
    EXPECT_EQ(first.filterIndex, 1);
    EXPECT_EQ(first.defaultExtension, QStringLiteral("*.rtf"));
    EXPECT_EQ(first.folder, QString());
    EXPECT_EQ(first.fileName, QString());

    EXPECT_EQ(text(), kRtfText);
    form->RichEdit1->setSelectionStart(7);
    EXPECT_EQ(form->RichEdit1->SelectionAttributes().Style(), fs::Bold);
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - a.zrm"));
    EXPECT_EQ(form->CaptionBar1->title(), QStringLiteral("ZORIM - a.zrm"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
    EXPECT_EQ(panel(*form, 2), QString());
    expectLaterDateAndTime();
    EXPECT_FALSE(form->RichEdit1->Modified());

    // The next open dialog starts in that folder with that name.
    platform.answerOpenFile(std::nullopt);
    form->openItem->trigger();
    const FileDialogSetup& second = platform.shown().back().file;
    EXPECT_EQ(second.folder, folder.filePath(QStringLiteral("dopisy")));
    EXPECT_EQ(second.fileName, QStringLiteral("a.zrm"));
    // A following Save writes the opened file.
    type(QStringLiteral("X"));
    form->saveItem->trigger();
    EXPECT_TRUE(document(path).startsWith("{\\rtf"));
    EXPECT_TRUE(document(path).contains("X"));
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());
}

TEST_F(FileCommandsTest, OpenCancelledClearsTheMarkerAndRefreshesThePanelsOnly)
{
    const QString path = saveUnder(QStringLiteral("a.zrm"));
    type(QStringLiteral("x"));
    // With the changes let go, the dialog is cancelled.
    platform.answerQuestion(Answer::No);
    platform.answerOpenFile(std::nullopt);
    laterClock();
    form->openButton->click();
    EXPECT_EQ(text(), QStringLiteral("x"));
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - a.zrm"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
    EXPECT_EQ(panel(*form, 2), QString());
    expectLaterDateAndTime();
}

TEST_F(FileCommandsTest, OpenOfAChangedDocumentOffersToSaveItFirst)
{
    const QString other = folder.writeDocument(QStringLiteral("other.txt"), "iný");

    // Cancel: nothing happens at all.
    type(QStringLiteral("rozpísané"));
    platform.answerQuestion(Answer::Cancel);
    form->openItem->trigger();
    EXPECT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(text(), QStringLiteral("rozpísané"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));

    // Yes for an untitled document: Save As; cancelled there, nothing is opened.
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(std::nullopt);
    form->openItem->trigger();
    EXPECT_EQ(text(), QStringLiteral("rozpísané"));
    EXPECT_TRUE(form->RichEdit1->Modified());

    // Yes, saved under a name, then the open dialog.
    const QString path = folder.filePath(QStringLiteral("rozpis.txt"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(path);
    platform.answerOpenFile(other);
    form->openItem->trigger();
    EXPECT_EQ(document(path), QByteArray("rozp\xEDsan\xE9"));
    EXPECT_EQ(text(), QStringLiteral("iný"));
    EXPECT_EQ(form->document().fileName(), other);

    // Yes for a named document saves it to its own file without a dialog.
    type(QStringLiteral("!"));
    platform.clearShown();
    platform.answerQuestion(Answer::Yes);
    platform.answerOpenFile(path);
    form->openItem->trigger();
    EXPECT_EQ(document(other), QByteArray("!in\xC3\xBD")) << "a UTF-8 file stays UTF-8";
    EXPECT_EQ(platform.shown().size(), 2u);
    EXPECT_EQ(text(), QStringLiteral("rozpísané"));

    // No lets the changes go.
    type(QStringLiteral("zahodiť "));
    platform.answerQuestion(Answer::No);
    platform.answerOpenFile(other);
    form->openItem->trigger();
    EXPECT_EQ(text(), QStringLiteral("!iný"));
    EXPECT_EQ(document(path), QByteArray("rozp\xEDsan\xE9"));

    // An unchanged document is replaced without a question.
    platform.clearShown();
    platform.answerOpenFile(path);
    form->openItem->trigger();
    EXPECT_EQ(platform.questions(), QStringList());
    EXPECT_EQ(text(), QStringLiteral("rozpísané"));
}

TEST_F(FileCommandsTest, FailedOpenShowsTheMessageAndKeepsTheDocumentWithItsName)
{
    const QString path = saveUnder(QStringLiteral("a.txt"));
    type(QStringLiteral("b"));
    const QString missing = folder.filePath(QStringLiteral("missing.zrm"));
    platform.answerQuestion(Answer::No);
    platform.answerOpenFile(missing);
    laterClock();
    form->openItem->trigger();

    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot open file ") + missing});
    EXPECT_EQ(text(), QStringLiteral("b"));
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - a.txt"));
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    expectEarlierDateAndTime();
    // The next Save writes the document's own file, never the one that failed to open.
    form->saveItem->trigger();
    EXPECT_EQ(document(path), QByteArray("b"));
    EXPECT_FALSE(QFile::exists(missing));
}

// A failed open leaves everything as it was: the text, its undo, the name, the title, the
// panels. Other programs' documents are told by their first bytes and refused; other files
// that merely begin like one still open as text.
TEST_F(FileCommandsTest, OtherProgramsDocumentsAreRefusedAndTheDocumentStaysAsItWas)
{
    type(QStringLiteral("Ahoj"));
    const QString path = saveUnder(QStringLiteral("a.zrm"));
    RichEdit& edit = *form->RichEdit1;
    auto bold = [&] {
        edit.setSelectionStart(1);
        return edit.SelectionAttributes().Style() == fs::Bold;
    };
    QTest::keyClick(edit.widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit.widget(), Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(bold());
    laterClock();

    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&png, "PNG");
    QByteArray exe = "MZ" + QByteArray(0x3A, '\0') + QByteArray("\x80\0\0\0", 4) + QByteArray(0x40, '\0') +
                     QByteArray("PE\0\0", 4) + QByteArray(64, '\0');
    const std::pair<const char*, QByteArray> foreign[] = {
        {"DOCX", zipEntry("[Content_Types].xml", "<Types/>") + zipEntry("word/document.xml", "<w:document/>")},
        {"ODT", zipEntry("mimetype", "application/vnd.oasis.opendocument.text") + zipEntry("content.xml", "<x/>")},
        {"PDF", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n"},
        {"DOC", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(504, '\0')},
        {"PNG", png.data()},
        {"ELF", QByteArray("\x7F" "ELF\x02\x01\x01") + QByteArray(57, '\0')},
        {"EXE", exe},
    };
    for (const auto& [kind, bytes] : foreign) {
        const QString file = folder.writeDocument(QStringLiteral("cudzi.") + QString::fromLatin1(kind).toLower(), bytes);
        platform.answerQuestion(Answer::No);
        platform.answerOpenFile(file);
        QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F2);
        // Word and OpenDocument texts ZORIM reads; these containers have no directory: damaged.
        EXPECT_EQ(platform.errors().value(0),
                  QString(kind) == "DOCX" || QString(kind) == "ODT"
                      ? QStringLiteral("Súbor %1 je poškodený a ZORIM ho nevie otvoriť.").arg(file)
                      : QStringLiteral("Súbor %1 je dokument iného formátu (%2) a ZORIM ho nevie otvoriť.").arg(file, kind));
        EXPECT_EQ(text(), QStringLiteral("Ahoj")) << kind;
        EXPECT_TRUE(bold());
        EXPECT_EQ(form->document().fileName(), path);
        EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - a.zrm"));
        EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
        EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
        expectEarlierDateAndTime();
        EXPECT_TRUE(form->RichEdit1->Modified());
        platform.clearShown();
    }
    // The undo history is the document's own still, and Save writes its own file.
    QTest::keyClick(edit.widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), QStringLiteral("Ahoj"));
    EXPECT_FALSE(bold());
    QTest::keyClick(edit.widget(), Qt::Key_F3);
    EXPECT_TRUE(document(path).startsWith("{\\rtf"));

    // Text that happens to begin like one of them is text.
    for (const QByteArray& bytes : {QByteArray("MZ SR oznamuje"), QByteArray("BM 12"), QByteArray("PK a spol.")}) {
        platform.answerOpenFile(folder.writeDocument(QStringLiteral("text.txt"), bytes));
        QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F2);
        EXPECT_EQ(text(), QString::fromLatin1(bytes));
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

// White space before "{\rtf" is what every reader of the program skips alike, so such a file
// opens as the rich text it is (it used to fail and leave an empty document under the old name).
TEST_F(FileCommandsTest, RichTextAfterAFormFeedOrVerticalTabOpensAsRichText)
{
    for (const char* lead : {"\f", "\v", " \r\n\t\f"}) {
        platform.answerOpenFile(folder.writeDocument(QStringLiteral("list.zrm"), lead + kRtf));
        QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F2);
        EXPECT_EQ(platform.errors(), QStringList());
        EXPECT_EQ(text(), kRtfText);
    }
}

// A text file is written back as it was read; a new one follows the rule.
TEST_F(FileCommandsTest, TextFilesKeepTheirEncodingMarkAndLineEnds)
{
    const QString lines = QStringLiteral("Dobrý deň\nДобрый день\n");
    auto crlf = [](QString t) { return t.replace(QStringLiteral("\n"), QStringLiteral("\r\n")); };
    const QByteArray bom = "\xEF\xBB\xBF";
    const QString czech = QStringLiteral("Dobrý deň\nDruhý riadok");
    const std::pair<QByteArray, QByteArray> cases[] = {
        // as read, and as saved after typing "š" at the start
        {lines.toUtf8(), QStringLiteral("š").toUtf8() + lines.toUtf8()},
        {bom + crlf(lines).toUtf8(), bom + QStringLiteral("š").toUtf8() + crlf(lines).toUtf8()},
        {encodeCodepage(crlf(czech)), encodeCodepage(QStringLiteral("š") + crlf(czech))},
        {"plain ASCII\nfrom a Linux tool\n", QStringLiteral("šplain ASCII\nfrom a Linux tool\n").toUtf8()},
    };
    for (const auto& [read, saved] : cases) {
        const QString path = folder.writeDocument(QStringLiteral("subor.txt"), read);
        if (form->RichEdit1->Modified())
            platform.answerQuestion(Answer::No);
        platform.answerOpenFile(path);
        QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F2);
        type(QStringLiteral("š"));
        QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F3);
        EXPECT_EQ(document(path), saved) << read.constData();
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

} // namespace

namespace {

TEST(PathParts, StripAndPathStripSplitAtTheLastSeparator)
{
    EXPECT_EQ(MainWindow::strip(QStringLiteral("/home/jan/dopisy/a.zrm")), QStringLiteral("a.zrm"));
    EXPECT_EQ(MainWindow::path_strip(QStringLiteral("/home/jan/dopisy/a.zrm")), QStringLiteral("/home/jan/dopisy"));
    EXPECT_EQ(MainWindow::strip(QStringLiteral("a.zrm")), QStringLiteral("a.zrm"));
    EXPECT_EQ(MainWindow::path_strip(QStringLiteral("a.zrm")), QString());
    // A file in the root: no folder part, so the next dialog starts where it chooses.
    EXPECT_EQ(MainWindow::strip(QStringLiteral("/a.zrm")), QStringLiteral("a.zrm"));
    EXPECT_EQ(MainWindow::path_strip(QStringLiteral("/a.zrm")), QString());
    // A backslash is part of a name here.
    EXPECT_EQ(MainWindow::strip(QStringLiteral("/tmp/C:\\list.zrm")), QStringLiteral("C:\\list.zrm"));
}

} // namespace
