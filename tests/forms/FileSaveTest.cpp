// The file commands that write and bring in files: save and save as, the last saved file,
// inserting a text file, and pictures a save would lose; with what a failure leaves behind.
#include "FileCommandsTest.h"
#include "ResourceLimit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QBuffer>
#include <QImage>
#include <QTextEdit>
#include <QToolButton>

#include <csignal>
#include <quazip.h>
#include <quazipfile.h>
#include <sys/stat.h>

using namespace zorim;
using namespace zorim::test;

namespace {

// ---- save and save as --------------------------------------------------------------------

// An existing file is replaced only when the user says so; No goes back to the dialog with
// the name. Saving the document's own file asks nothing.
TEST_F(FileCommandsTest, SaveAsAsksBeforeReplacingAnExistingFile)
{
    const QString existing = folder.writeDocument(QStringLiteral("stary.zrm"), "old");
    const QString question = QStringLiteral("Súbor stary.zrm už existuje. Chcete ho nahradiť?");
    type(QStringLiteral("nový"));
    platform.answerSaveFile(existing);
    platform.answerQuestion(Answer::No);
    platform.answerSaveFile(std::nullopt);
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F4);
    EXPECT_EQ(platform.questions(), QStringList{question});
    ASSERT_EQ(platform.shown().size(), 3u);
    EXPECT_EQ(platform.shown()[2].file.fileName, existing);
    EXPECT_EQ(document(existing), QByteArray("old"));
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));

    platform.clearShown();
    platform.answerSaveFile(existing);
    platform.answerQuestion(Answer::Yes);
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F4);
    EXPECT_EQ(platform.questions(), QStringList{question});
    EXPECT_EQ(platform.informations(), QStringList{kSaved});
    EXPECT_TRUE(document(existing).startsWith("{\\rtf"));

    platform.clearShown();
    type(QStringLiteral("!"));
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F3);
    EXPECT_EQ(platform.shown().size(), 0u);
    EXPECT_TRUE(document(existing).contains("!"));
}

TEST_F(FileCommandsTest, ALongTextFileAnswersBeforeItIsAllInAndIsSavedWhole)
{
    QByteArray bytes;
    QString expected;
    for (int i = 0; bytes.size() < (12 << 20); ++i) {
        const QByteArray line = "Riadok " + QByteArray::number(i) + " dlhého textového súboru.";
        bytes += line + "\r\n";
        expected += QString::fromUtf8(line) + QStringLiteral("\r\n");
    }
    const QString path = folder.writeDocument(QStringLiteral("dlhy.txt"), bytes);
    platform.answerOpenFile(path);
    form->openItem->trigger();

    // The window shows the file's start and its name; the rest is still to come.
    EXPECT_TRUE(form->RichEdit1->Loading()) << "the window's own refresh waited for the whole file";
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - dlhy.txt"));
    EXPECT_FALSE(form->RichEdit1->Modified());

    // A key typed now lands where the caret is, in the whole document, as one undo step.
    type(QStringLiteral("Ž"));
    EXPECT_FALSE(form->RichEdit1->Loading());
    EXPECT_EQ(text(), QStringLiteral("Ž") + expected);
    form->RichEdit1->Undo();
    EXPECT_EQ(text(), expected);
    type(QStringLiteral("Ž"));

    form->saveItem->trigger();
    EXPECT_EQ(decodeTextDocument(document(path)), QStringLiteral("Ž") + expected);

    // Opened again and saved at once: a command takes the rest in before it runs.
    platform.answerOpenFile(path);
    form->openItem->trigger();
    ASSERT_TRUE(form->RichEdit1->Loading());
    form->RichEdit1->setModified(true);
    form->saveItem->trigger();
    EXPECT_FALSE(form->RichEdit1->Loading());
    EXPECT_EQ(decodeTextDocument(document(path)), QStringLiteral("Ž") + expected);
}

TEST_F(FileCommandsTest, SaveAsNamesTheDocumentSavesItAndRecordsIt)
{
    type(QStringLiteral("Ahoj"));
    const QString path = folder.filePath(QStringLiteral("Ahoj.zrm"));
    laterClock();
    platform.answerSaveFile(path);
    form->saveAsItem->trigger();

    ASSERT_EQ(platform.shown().size(), 2u);
    const FileDialogSetup& dialog = platform.shown()[0].file;
    EXPECT_EQ(dialog.title, QStringLiteral("Uložiť dokument"));
    EXPECT_EQ(dialog.filter, QStringLiteral("Formát ZORIM|*.zrm|Formát RTF|*.rtf|Textový súbor|*.txt|Dokument Word (*.docx)|*.docx|Dokument OpenDocument (*.odt)|*.odt|Všetky formáty|*.*"));
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.defaultExtension, QStringLiteral("*.rtf"));
    EXPECT_EQ(dialog.folder, QString());
    EXPECT_EQ(dialog.fileName, QStringLiteral("Dokument"));
    EXPECT_EQ(platform.informations(), QStringList{kSaved});

    EXPECT_TRUE(document(path).startsWith("{\\rtf"));
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - Ahoj.zrm"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
    EXPECT_EQ(panel(*form, 2), QString());
    expectLaterDateAndTime();
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());

    // The next Save As proposes the full path; cancelled, it changes nothing but the marker.
    type(QStringLiteral("!"));
    platform.answerSaveFile(std::nullopt);
    form->saveAsItem->trigger();
    EXPECT_EQ(platform.shown().back().file.fileName, path);
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(panel(*form, 2), QString());
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_FALSE(document(path).contains("!"));
}

TEST_F(FileCommandsTest, SaveOfANamedDocumentWritesItsFileWithoutAMessage)
{
    const QString path = saveUnder(QStringLiteral("list.txt"));
    type(QStringLiteral("Nový text"));
    laterClock();
    form->saveButton->click();
    EXPECT_EQ(platform.shown().size(), 0u);
    EXPECT_EQ(document(path), QByteArray("Nov\xFD text"));
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
    EXPECT_EQ(panel(*form, 2), QString());
    expectLaterDateAndTime();
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - list.txt"));
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());
}

// A name with the Word or OpenDocument extension gets that kind of document, on Save As and on
// every Save after, and it opens again as the document it was.
TEST_F(FileCommandsTest, WordAndOpenDocumentTextsAreSavedAsSuchAndOpenAgain)
{
    for (const char* name : {"list.docx", "list.odt"}) {
        SCOPED_TRACE(name);
        type(QStringLiteral("Ahoj"));
        const QString path = saveUnder(QString::fromLatin1(name));
        EXPECT_TRUE(document(path).startsWith("PK\x03\x04"));
        type(QStringLiteral(" svet"));
        form->saveButton->click();
        EXPECT_TRUE(document(path).startsWith("PK\x03\x04"));
        type(QStringLiteral("!"));
        platform.answerQuestion(Answer::No);
        platform.answerOpenFile(path);
        form->openItem->trigger();
        EXPECT_EQ(text(), QStringLiteral("Ahoj svet"));
        EXPECT_EQ(platform.errors(), QStringList());
        form->RichEdit1->Lines().Clear();
    }
}

TEST_F(FileCommandsTest, SaveOfAnUntitledDocumentGoesThroughSaveAs)
{
    type(QStringLiteral("a"));
    const QString path = folder.filePath(QStringLiteral("a.rtf"));
    platform.answerSaveFile(path);
    form->saveItem->trigger();
    EXPECT_EQ(platform.shown()[0].file.fileName, QStringLiteral("Dokument"));
    EXPECT_EQ(platform.informations(), QStringList{kSaved});
    EXPECT_TRUE(document(path).startsWith("{\\rtf"));
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());

    // Cancelled, the panels are refreshed and the recorded last file stays.
    form->commands().file.New();
    laterClock();
    platform.answerSaveFile(std::nullopt);
    form->saveItem->trigger();
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: Dokument"));
    EXPECT_EQ(panel(*form, 2), QString());
    expectLaterDateAndTime();
}

// The file may be written by anyone, its folder only by its owner: the save writes the file in
// place. Once the file is read-only too, the save cannot complete: the file stays as it was,
// and the document changed.
TEST_F(FileCommandsTest, AWritableFileInALockedFolderIsSavedAndAFailedSaveKeepsEverything)
{
    folder.openToOthers();
    const QString docs = folder.filePath(QStringLiteral("docs"));
    QDir().mkdir(docs);
    type(QStringLiteral("stará kniha"));
    const QString path = saveUnder(QStringLiteral("docs/kniha.txt"));
    QFile::setPermissions(path, QFile::Permissions(0x6666));
    type(QStringLiteral(" a nová"));
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        form->saveItem->trigger();
    }
    // The document is saved; only the record of the last file, in a state folder this user
    // may not write, fails after it.
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("File access denied")});
    EXPECT_EQ(document(path), QByteArray("star\xE1 kniha a nov\xE1"));
    EXPECT_FALSE(form->RichEdit1->Modified());
    platform.clearShown();

    QFile::setPermissions(path, QFile::Permissions(0x4444));
    type(QStringLiteral("!"));
    laterClock();
    {
        AsOrdinaryUser user;
        form->saveItem->trigger();
    }
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot create file %1: na zápis sem nemáte oprávnenie").arg(path)});
    EXPECT_EQ(document(path), QByteArray("star\xE1 kniha a nov\xE1"));
    EXPECT_EQ(QDir(docs).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kniha.txt")});
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    expectEarlierDateAndTime();
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), path.toUtf8());
}

// A pipe where the document is to be saved is no document: refused with a message that says
// so, never replaced, and the document stays changed.
TEST_F(FileCommandsTest, SavingOverAPipeIsRefused)
{
    type(QStringLiteral("text"));
    const QString path = folder.filePath(QStringLiteral("rúra.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
    form->document().setFileName(path);
    form->saveItem->trigger();
    ASSERT_EQ(platform.errors().size(), 1);
    EXPECT_TRUE(platform.errors()[0].startsWith(QStringLiteral("Cannot create file %1: nie je obyčajný súbor").arg(path)))
        << platform.errors()[0].toStdString();
    EXPECT_TRUE(QFileInfo(path).isFile() == false && QFileInfo::exists(path));
    EXPECT_TRUE(form->RichEdit1->Modified());
}

// A disk that fills up while the new file is written (here: the file grows past the size the
// process may write) fails the save, says why, and leaves the old file as it was.
TEST_F(FileCommandsTest, DiskFullDuringSaveKeepsTheOldFile)
{
    type(QStringLiteral("stará kniha"));
    const QString path = saveUnder(QStringLiteral("kniha.txt"));
    form->RichEdit1->setSelectedText(QString(4096, QLatin1Char('x')));
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    {
        ResourceLimit full(RLIMIT_FSIZE, 100);
        form->saveItem->trigger();
    }
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Failed to Save Stream: súbor by bol väčší, ako disk dovoľuje")});
    EXPECT_EQ(document(path), QByteArray("star\xE1 kniha"));
    EXPECT_TRUE(form->RichEdit1->Modified());
}

TEST_F(FileCommandsTest, FailedSaveAsShowsNoMessageAndTheNextSaveTriesThatPathAgain)
{
    type(QStringLiteral("x"));
    const QString bad = folder.filePath(QStringLiteral("chýba/a.txt"));
    platform.answerSaveFile(bad);
    form->saveAsItem->trigger();
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot create file ") + bad});
    EXPECT_EQ(platform.informations(), QStringList());
    EXPECT_EQ(form->document().fileName(), bad);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - a.txt"));
    EXPECT_TRUE(form->RichEdit1->Modified());

    QDir(folder.filePath(QString())).mkdir(QStringLiteral("chýba"));
    form->saveItem->trigger();
    EXPECT_EQ(document(bad), QByteArray("x"));
    EXPECT_FALSE(form->RichEdit1->Modified());
}

TEST_F(FileCommandsTest, FailedRecordOfTheLastFileComesAfterTheDocumentIsSaved)
{
    folder.openToOthers();
    const QString path = folder.filePath(QStringLiteral("a.txt"));
    type(QStringLiteral("uložené"));
    platform.answerSaveFile(path);
    QFile::setPermissions(folder.dataPath(QStringLiteral("data.ini")), QFile::ReadOwner | QFile::ReadOther);
    QFile::setPermissions(folder.filePath(QString()), QFile::Permissions(0x7777));
    {
        AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot act as an ordinary user";
        form->saveAsItem->trigger();
    }
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("File access denied")});
    EXPECT_EQ(document(path), QByteArray("ulo\x9E" "en\xE9"));
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_EQ(platform.informations(), QStringList());
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), QByteArray("Dokument"));
}

// ---- the last saved file -----------------------------------------------------------------

TEST_F(FileCommandsTest, LastFileOpensThePathRecordedAtStartUp)
{
    const QString recorded = folder.writeDocument(QStringLiteral("posledny.zrm"), kRtf);
    folder.write(QStringLiteral("data.ini"), recorded.toUtf8());
    form = start();
    form->show();
    EXPECT_EQ(form->recentFileItem->text(), recorded);

    // Another save in this run changes the record, not the item.
    type(QStringLiteral("iný"));
    const QString other = saveUnder(QStringLiteral("iny.txt"));
    EXPECT_EQ(folder.read(QStringLiteral("data.ini")), other.toUtf8());
    laterClock();
    form->recentFileItem->trigger();

    EXPECT_EQ(platform.shown().size(), 0u);
    EXPECT_EQ(text(), kRtfText);
    EXPECT_EQ(form->document().fileName(), recorded);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - ") + recorded);
    // The file panel is left as it was; the load's change notice clears the marker and
    // stamps the moment.
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + other);
    EXPECT_EQ(panel(*form, 2), QString());
    expectLaterDateAndTime();
    EXPECT_EQ(form->recentFileItem->text(), recorded);
}

TEST_F(FileCommandsTest, LastFileWithoutARecordedFileFailsAndChangesNothing)
{
    for (const QByteArray& record : {QByteArray(), QByteArray("Dokument")}) {
        folder.write(QStringLiteral("data.ini"), record);
        form = start();
        form->show();
        type(QStringLiteral("text"));
        platform.clearShown();
        platform.answerQuestion(Answer::No);
        form->recentFileItem->trigger();
        EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot open file ") + QString::fromUtf8(record)});
        EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
        EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - Dokument"));
        EXPECT_EQ(text(), QStringLiteral("text"));
    }
}

TEST_F(FileCommandsTest, LastFileOffersAChangedDocumentForSavingFirst)
{
    const QString recorded = folder.writeDocument(QStringLiteral("posledny.txt"), "ulo\x9E" "en\xFD");
    folder.write(QStringLiteral("data.ini"), recorded.toUtf8());
    form = start();
    form->show();
    type(QStringLiteral("rozpísané"));
    platform.answerQuestion(Answer::Cancel);
    form->recentFileItem->trigger();
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(std::nullopt);
    form->recentFileItem->trigger();
    EXPECT_EQ(text(), QStringLiteral("rozpísané"));
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));

    const QString path = folder.filePath(QStringLiteral("rozpis.txt"));
    platform.answerQuestion(Answer::Yes);
    platform.answerSaveFile(path);
    form->recentFileItem->trigger();
    EXPECT_EQ(document(path), QByteArray("rozp\xEDsan\xE9"));
    EXPECT_EQ(text(), QStringLiteral("uložený"));
    EXPECT_EQ(form->document().fileName(), recorded);
    EXPECT_EQ(platform.questions(), QStringList(3, kQuestion));
}

// ---- insert text file --------------------------------------------------------------------

TEST_F(FileCommandsTest, InsertTextFileReplacesTheSelectionWithThePlainTextAsOneUndoStep)
{
    const QString path = saveUnder(QStringLiteral("moj.zrm"));
    RichEdit& edit = *form->RichEdit1;
    edit.setSelectedText(QStringLiteral("Ahoj svet"));
    edit.setSelectionStart(0);
    edit.setSelectionLength(4);
    edit.SelectionAttributes().setStyle(fs::Italic);
    edit.setSelectionStart(5);
    edit.setSelectionLength(4);
    const QString inserted = folder.writeDocument(QStringLiteral("vlozit.rtf"), kRtf);
    platform.answerOpenFile(inserted);
    form->textFileItem->trigger();

    EXPECT_EQ(text(), QStringLiteral("Ahoj ") + kRtfText);
    EXPECT_EQ(edit.SelectionStart(), 5);
    EXPECT_EQ(edit.SelectedText(), QStringLiteral("Dobrý deň\rDruhý riadok"));
    // The file's bold is dropped: the text takes the attributes of the insertion point.
    for (int at : {6, 12, 20}) {
        edit.setSelectionStart(at);
        edit.setSelectionLength(1);
        EXPECT_EQ(edit.SelectionAttributes().Style(), 0) << at;
    }
    // The document still belongs to its own file.
    EXPECT_EQ(form->document().fileName(), path);
    EXPECT_EQ(form->document().title(), QStringLiteral("ZORIM - moj.zrm"));
    EXPECT_EQ(panel(*form, 1), QStringLiteral(" Súbor: ") + path);
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));

    edit.Undo();
    EXPECT_EQ(text(), QStringLiteral("Ahoj svet"));

    // The open dialog remembers the inserted file for Open as well.
    platform.answerQuestion(Answer::Cancel);
    form->openItem->trigger();
    platform.answerOpenFile(std::nullopt);
    form->contextTextFileItem->trigger();
    EXPECT_EQ(platform.shown().back().file.folder, QDir::cleanPath(folder.filePath(QString())));
    EXPECT_EQ(platform.shown().back().file.fileName, QStringLiteral("vlozit.rtf"));
    EXPECT_EQ(text(), QStringLiteral("Ahoj svet"));
}

TEST_F(FileCommandsTest, InsertTextFileTakesTextFilesAndTheTextOfOtherWordProcessors)
{
    const QString txt = folder.writeDocument(QStringLiteral("riadky.txt"), "prv\xFD\r\ndruh\xFD\r\n");
    platform.answerOpenFile(txt);
    form->textFileItem->trigger();
    EXPECT_EQ(text(), QStringLiteral("prvý\r\ndruhý\r\n"));

    form->RichEdit1->SelectAll();
    platform.answerOpenFile(sharedTestData(QStringLiteral("rtf/libreoffice/letter.rtf")));
    form->textFileItem->trigger();
    EXPECT_EQ(platform.errors(), QStringList());
    EXPECT_TRUE(text().startsWith(QStringLiteral("Vážený pán Novák,\r\n"))) << text().left(40).toStdString();
    EXPECT_TRUE(text().contains(QStringLiteral("S pozdravom")));
    EXPECT_FALSE(text().contains(QStringLiteral("\\rtf")));
}

TEST_F(FileCommandsTest, InsertTextFileCancelledOrUnreadableInsertsNothing)
{
    type(QStringLiteral("zostane"));
    platform.answerOpenFile(std::nullopt);
    form->textFileItem->trigger();
    const QString missing = folder.filePath(QStringLiteral("nie.txt"));
    platform.answerOpenFile(missing);
    form->textFileItem->trigger();
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("Cannot open file ") + missing});
    EXPECT_EQ(text(), QStringLiteral("zostane"));
    EXPECT_EQ(form->document().fileName(), QStringLiteral("Dokument"));
}

TEST_F(FileCommandsTest, InsertTextFileOfZeroBytesInsertsNothing)
{
    // Longer than a text put in by slices until its zero bytes are dropped.
    type(QStringLiteral("zostane"));
    platform.answerOpenFile(folder.writeDocument(QStringLiteral("nuly.txt"), QByteArray((8 << 20) + 1, '\0')));
    form->contextTextFileItem->trigger();
    EXPECT_EQ(platform.errors(), QStringList());
    EXPECT_EQ(text(), QStringLiteral("zostane"));
}

TEST_F(FileCommandsTest, PicturesLeftOutAtOpenAreSaidAndSavingAsksBeforeLosingThem)
{
    QByteArray rtf = "{\\rtf1 a";
    for (int i = 0; i < 2000; ++i)
        rtf += "{\\pict\\pngblip 89}";
    rtf += "b}";
    const QString path = folder.writeDocument(QStringLiteral("obrazky.rtf"), rtf);
    platform.answerOpenFile(path);
    form->openItem->trigger();
    const QStringList said = platform.texts(ScriptedPlatform::Kind::Message);
    ASSERT_EQ(said.size(), 1);
    const int left = form->RichEdit1->document().leftOut().pictures;
    ASSERT_GT(left, 0);
    EXPECT_EQ(said[0], QStringLiteral("Dokument obsahuje viac obrázkov, ako ZORIM dokáže zobraziť; %1 sa vynechalo.").arg(left));

    // No keeps the file as it was, and Save As does not claim a save; Yes saves, asked once.
    type(QStringLiteral("X"));
    platform.clearShown();
    platform.answerQuestion(Answer::No);
    form->saveItem->trigger();
    EXPECT_EQ(platform.questions().size(), 1);
    EXPECT_EQ(document(path), rtf);
    platform.answerSaveFile(folder.filePath(QStringLiteral("kopia.rtf")));
    platform.answerQuestion(Answer::No);
    form->saveAsItem->trigger();
    EXPECT_EQ(platform.informations(), QStringList());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("kopia.rtf"))));
    EXPECT_EQ(form->document().fileName(), path);
    platform.answerQuestion(Answer::Yes);
    form->saveItem->trigger();
    EXPECT_TRUE(document(path).contains("X"));
    form->saveItem->trigger();
    EXPECT_EQ(platform.questions().size(), 3);
}

TEST_F(FileCommandsTest, CommentsLeftOutAtOpenAreSaidWithThePicturesAndSavingAsksOnce)
{
    QByteArray rtf = "{\\rtf1 a";
    for (int i = 0; i < 2000; ++i)
        rtf += "{\\pict\\pngblip 89}";
    for (int i = 0; i < 16384 + 3; ++i) // comment pieces past the bound of a file
        rtf += "{\\*\\atrfstart " + QByteArray::number(i) + "}";
    rtf += "b}";
    const QString path = folder.writeDocument(QStringLiteral("komentare.rtf"), rtf);
    platform.answerOpenFile(path);
    form->openItem->trigger();
    const int pictures = form->RichEdit1->document().leftOut().pictures;
    EXPECT_EQ(platform.texts(ScriptedPlatform::Kind::Message),
              QStringList{QStringLiteral("Dokument obsahuje viac obrázkov, ako ZORIM dokáže zobraziť; %1 sa vynechalo.\n"
                                         "Dokument obsahuje viac komentárov, skrytého textu a hlavičiek, ako ZORIM "
                                         "dokáže uchovať; 3 sa vynechalo.")
                              .arg(pictures)});
    type(QStringLiteral("X"));
    platform.answerQuestion(Answer::Yes);
    form->saveItem->trigger();
    ASSERT_EQ(platform.questions().size(), 1);
    EXPECT_TRUE(platform.questions()[0].contains(QStringLiteral("Pri načítaní sa vynechalo 3 komentárov")));
    EXPECT_TRUE(platform.questions()[0].endsWith(QStringLiteral(" Uložiť aj tak?")));
    EXPECT_TRUE(document(path).contains("X"));
    form->saveItem->trigger();
    EXPECT_EQ(platform.questions().size(), 1);
}

// A Word document's header is nothing the document keeps: the open says so, and the first
// save asks, naming it; no keeps the file as it was.
TEST_F(FileCommandsTest, WhatAWordDocumentCannotKeepIsNamedAndTheFirstSaveAsks)
{
    QByteArray docx;
    {
        QBuffer buffer(&docx);
        QuaZip zip(&buffer);
        zip.open(QuaZip::mdCreate);
        const std::pair<const char*, QByteArray> parts[] = {
            {"_rels/.rels", "<Relationships><Relationship Id=\"d\" Type=\"x/officeDocument\" Target=\"word/document.xml\"/>"
                            "</Relationships>"},
            {"word/document.xml", "<w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>a</w:t></w:r></w:p></w:body></w:document>"},
            {"word/_rels/document.xml.rels", "<Relationships><Relationship Id=\"h\" Type=\"x/header\" Target=\"h.xml\"/>"
                                             "</Relationships>"},
            {"word/h.xml", "<w:hdr/>"}};
        for (const auto& [name, data] : parts) {
            QuaZipFile file(&zip);
            file.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(name)));
            file.write(data);
            file.close();
        }
        zip.close();
    }
    const QString path = folder.writeDocument(QStringLiteral("hlavicka.docx"), docx);
    platform.answerOpenFile(path);
    form->openItem->trigger();
    EXPECT_EQ(platform.texts(ScriptedPlatform::Kind::Message),
              QStringList{QStringLiteral("Dokument obsahuje hlavičky a päty, čo ZORIM nedokáže uchovať; vynechalo sa to.")});
    type(QStringLiteral("X"));
    platform.answerQuestion(Answer::No);
    form->saveItem->trigger();
    ASSERT_EQ(platform.questions().size(), 1);
    EXPECT_TRUE(platform.questions()[0].contains(QStringLiteral("Pôvodný súbor obsahoval hlavičky a päty")));
    EXPECT_EQ(document(path), docx);
    platform.answerQuestion(Answer::Yes);
    form->saveItem->trigger();
    EXPECT_EQ(platform.questions().size(), 2);
    EXPECT_NE(document(path), docx);
    EXPECT_TRUE(document(path).startsWith("PK\x03\x04"));
}

} // namespace
