#include "richtext/layout/LaidOutDocument.h"
#include "richtext/document/DocumentFiles.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"
#include "richtext/document/TextSlices.h"
#include "richtext/formats/rtf/Picture.h"
#include "FilePermissions.h"
#include "TestSupport.h"
#include "text/Codepage.h"
#include "text/FileNames.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zorim;

namespace {
struct Streams : ::testing::Test {
    RichEdit edit;
    QTemporaryDir dir;
    void SetUp() override
    {
        edit.resize(400, 300);
        edit.show();
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};
} // namespace

TEST_F(Streams, TextFilesLoadWithEveryKindOfLineBreak)
{
    edit.Lines().LoadFile(write("a.txt", "one\ntwo\r\nthree\rfour\r"));
    EXPECT_EQ(edit.Text(), "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(edit.SelectionStart(), 0);
}

TEST_F(Streams, BreaksAndZeroBytesAcrossChunkBoundaries)
{
    // Chunks are a little under 32 KiB: put a lone CR and a CR LF pair on a boundary.
    for (int boundary = 32760; boundary < 32775; ++boundary) {
        QByteArray bytes(boundary, 'a');
        for (int i = 63; i < boundary; i += 64)
            bytes[i] = '\n';
        const int lineFeeds = int(bytes.count('\n'));
        bytes += "\rb\r\nc";
        bytes.insert(10, '\0');
        edit.Lines().LoadFile(write("b.txt", bytes));
        const QString t = edit.Text();
        ASSERT_TRUE(t.endsWith("\r\nb\r\nc")) << boundary;
        EXPECT_EQ(t.size(), boundary + lineFeeds + 6) << "only the zero byte is dropped";
    }
}

TEST_F(Streams, SavingKeepsEveryCharacterAndNeverDestroysTheOldFile)
{
    const QString slovak = QString::fromUtf8("Ďakujem, ľúbim ťa");
    edit.setText(slovak);
    const QString path = dir.filePath("s.txt");
    edit.Lines().SaveFile(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), encodeCodepage(slovak));
    f.close();
    edit.setText(QString::fromUtf8("Ωμέγα"));
    edit.Lines().SaveFile(path);
    edit.ClearAll();
    edit.Lines().LoadFile(path);
    EXPECT_EQ(edit.Text(), QString::fromUtf8("Ωμέγα"));

    try {
        edit.Lines().SaveFile(dir.filePath("missing/x.txt"));
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const RichEditError& e) {
        EXPECT_EQ(e.message(), "Cannot create file " + dir.filePath("missing/x.txt"));
    }
    try {
        edit.Lines().LoadFile(dir.filePath("nothing.txt"));
        ADD_FAILURE() << "loaded a missing file";
    } catch (const RichEditError& e) {
        EXPECT_EQ(e.message(), "Cannot open file " + dir.filePath("nothing.txt"));
    }
}

TEST_F(Streams, TextUnderAnotherExtensionFallsBackToText)
{
    edit.Lines().LoadFile(write("letter.zrm", "not rich text"));
    EXPECT_EQ(edit.Text(), "not rich text");
    // An RTF file named .TXT shows its source.
    edit.Lines().LoadFile(write("source.TXT", "{\\rtf1 hi}"));
    EXPECT_EQ(edit.Text(), "{\\rtf1 hi}");
    // Web pages show their source.
    edit.Lines().LoadFile(write("page.html", "<html><body><b>Ahoj</b></body></html>\n"));
    EXPECT_EQ(edit.Text(), "<html><body><b>Ahoj</b></body></html>\r\n");
}

namespace {

bool isBold(RichEdit& edit, int pos)
{
    edit.setSelectionStart(pos);
    edit.setSelectionLength(1);
    return edit.SelectionAttributes().Style() & fs::Bold;
}

void makeFormatted(RichEdit& edit)
{
    edit.setText(QString::fromUtf8("Vážený pán\r\nďakujem"));
    edit.setSelectionStart(0);
    edit.setSelectionLength(6);
    edit.SelectionAttributes().setStyle(fs::Bold);
    edit.SelectionAttributes().setColor(0x0000FF);
    edit.setSelectionStart(12);
    edit.ParagraphAttributes().setAlignment(ParaAlignment::Center);
}

} // namespace

TEST_F(Streams, RichDocumentsSaveAndLoadWithTheirFormatting)
{
    makeFormatted(edit);
    const QString path = dir.filePath("list.zrm");
    edit.Lines().SaveFile(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("{\\rtf1\\ansi\\ansicpg1250"));
    f.close();

    RichEdit other;
    other.Lines().LoadFile(path);
    EXPECT_EQ(other.Text(), edit.Text());
    EXPECT_EQ(other.SelectionStart(), 0);
    EXPECT_TRUE(isBold(other, 2));
    EXPECT_EQ(other.SelectionAttributes().Color(), 0x0000FFu);
    EXPECT_FALSE(isBold(other, 8));
    other.setSelectionStart(12);
    EXPECT_EQ(other.ParagraphAttributes().Alignment(), ParaAlignment::Center);
    // A fresh load is no edit to undo.
    EXPECT_FALSE(other.CanUndo());

    // With PlainText on, .zrm files are text: the same file now shows its source.
    other.setPlainText(true);
    other.Lines().LoadFile(path);
    EXPECT_TRUE(other.Text().startsWith("{\\rtf1"));
    // .rtf is rich text whatever PlainText says.
    QFile::copy(path, dir.filePath("list.rtf"));
    other.Lines().LoadFile(dir.filePath("list.rtf"));
    EXPECT_EQ(other.Text(), edit.Text());
}

TEST_F(Streams, DocumentsOfOtherWordProcessorsLoad)
{
    const QString letter = test::sharedTestData("rtf/libreoffice/letter.rtf");
    if (!QFile::exists(letter))
        GTEST_SKIP() << "shared test documents are not beside the checkout";
    edit.Lines().LoadFile(letter);
    EXPECT_GT(edit.TextLength(), 100);
    EXPECT_EQ(edit.SelectionStart(), 0);
    EXPECT_FALSE(edit.Text().contains("\\rtf"));
}

TEST_F(Streams, PlainTextSwitchIsOneChangeThatDroppingFormatsMarks)
{
    makeFormatted(edit);
    const QString text = edit.Text();
    edit.setModified(false);
    QSignalSpy changes(&edit, &RichEdit::OnChange);
    // The one change notice already sees Modified as it stays.
    QList<bool> modifiedAtNotice;
    QObject::connect(&edit, &RichEdit::OnChange, [&] { modifiedAtNotice << edit.Modified(); });
    edit.setPlainText(true);
    // Dropping the formatting is a change to save; the default format given back loses nothing.
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(modifiedAtNotice, QList<bool>({true}));
    edit.setModified(false);
    edit.setPlainText(false);
    EXPECT_EQ(modifiedAtNotice, QList<bool>({true, false}));
    EXPECT_FALSE(edit.Modified());
    edit.setPlainText(true);
    edit.setModified(false);
    EXPECT_EQ(edit.Text(), text);
    EXPECT_FALSE(isBold(edit, 2));
    edit.setPlainText(false);
    EXPECT_EQ(edit.Text(), text);
    EXPECT_FALSE(isBold(edit, 2));
    EXPECT_EQ(edit.SelectionAttributes().Name(), edit.DefaultAttributes().Name());
    EXPECT_EQ(edit.SelectionAttributes().Color(), kClWindowText);
}

TEST_F(Streams, RecreatingTheWindowKeepsTextFormattingAndModified)
{
    makeFormatted(edit);
    edit.setModified(true);
    edit.setSelectionStart(5);
    edit.setVerticalScrollBar(false);
    EXPECT_TRUE(edit.Modified());
    EXPECT_EQ(edit.SelectionStart(), 0);
    EXPECT_TRUE(isBold(edit, 2));
    edit.setModified(false);
    edit.setVerticalScrollBar(true);
    EXPECT_FALSE(edit.Modified());
    EXPECT_EQ(edit.Text(), QString::fromUtf8("Vážený pán\r\nďakujem"));
}

TEST_F(Streams, LighterControlsStreamByTheirPlainTextSetting)
{
    const QString rtf = write("last.rtf", "{\\rtf1\\ansi {\\b bold} text}");
    RichEdit plain(nullptr, RichEdit::Kind::Simple);
    plain.setPlainText(true);
    plain.Lines().LoadFile(rtf);
    EXPECT_EQ(plain.Text(), "{\\rtf1\\ansi {\\b bold} text}");
    RichEdit rich(nullptr, RichEdit::Kind::Simple);
    rich.Lines().LoadFile(write("notes.txt", "just text"));
    EXPECT_EQ(rich.Text(), "just text"); // the rich attempt failed, then text
    rich.Lines().LoadFile(rtf);
    EXPECT_EQ(rich.Text(), "bold text");
}

TEST_F(Streams, ClipboardCarriesRichTextBothWays)
{
    makeFormatted(edit);
    edit.setSelectionStart(0);
    edit.setSelectionLength(10);
    edit.Copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat("text/rtf"));
    EXPECT_EQ(data->text(), QString::fromUtf8("Vážený pán"));

    RichEdit other;
    other.Paste();
    EXPECT_EQ(other.Text(), QString::fromUtf8("Vážený pán"));
    EXPECT_TRUE(isBold(other, 1));

    // Another program's formatted copy keeps its formatting, also after white space the
    // reader skips.
    for (const QByteArray lead : {"", "\f\r\n"}) {
        auto* foreign = new QMimeData;
        foreign->setData("text/rtf", lead + "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\i slanted}}");
        QApplication::clipboard()->setMimeData(foreign);
        other.ClearAll();
        other.Paste();
        EXPECT_EQ(other.Text(), "plain slanted");
        other.setSelectionStart(7);
        other.setSelectionLength(1);
        EXPECT_EQ(other.SelectionAttributes().Style(), fs::Italic);
    }

    // A picture becomes one picture character.
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QApplication::clipboard()->setImage(red);
    other.ClearAll();
    other.Paste();
    EXPECT_EQ(other.TextLength(), 1);

    // In plain-text mode a paste takes the text alone.
    other.setPlainText(true);
    QApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_FALSE(other.CanPaste());
}

TEST_F(Streams, AFailedSaveLeavesTheOldFileAndPipesAreNoDocuments)
{
    const QString path = write("old.txt", "the old letter");
    edit.setText("the new letter");
    {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        test::AsOrdinaryUser user;
        if (!user.effective())
            GTEST_SKIP() << "cannot test permissions here";
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
        EXPECT_THROW(edit.Lines().SaveFile(path), RichEditError);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "the old letter");
    EXPECT_THROW(edit.Lines().LoadFile("/dev/zero"), RichEditError);
    EXPECT_THROW(edit.Lines().LoadFile(dir.path()), RichEditError);
}

namespace {

// A text file of about `megabytes` MB in UTF-8: Slovak lines ending in LF, CR LF or CR by
// turns, with the document's expected text (CR LF per break) beside it.
struct LongText {
    QByteArray bytes;
    QString text;
};

LongText longText(int megabytes)
{
    static const char* const ends[] = {"\n", "\r\n", "\r"};
    LongText t;
    const QByteArray line = QByteArray("Vážený pán riaditeľ, dovoľujem si Vás požiadať o stretnutie č. ");
    for (int i = 0; t.bytes.size() < (qsizetype(megabytes) << 20); ++i) {
        const QByteArray l = line + QByteArray::number(i);
        t.bytes += l + ends[i % 3];
        t.text += QString::fromUtf8(l) + QStringLiteral("\r\n");
    }
    return t;
}

QByteArray savedText(RichEdit& edit)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    edit.SaveStream(buffer);
    return out;
}

} // namespace

TEST_F(Streams, ALongTextShowsItsStartAtOnceAndTheRestFollowsOnTheEventLoop)
{
    const LongText t = longText(12);
    QSignalSpy changes(&edit, &RichEdit::OnChange);
    edit.Lines().LoadFile(write("long.txt", t.bytes));
    ASSERT_TRUE(edit.Loading());
    EXPECT_EQ(changes.count(), 1) << "the arrival is one change";
    EXPECT_FALSE(edit.CanUndo());
    // What is in so far is the file's start.
    const QString start = edit.TextRange(0, 1000);
    EXPECT_EQ(start, QString(t.text).replace(QStringLiteral("\r\n"), QStringLiteral("\r")).left(1000));
    EXPECT_TRUE(edit.Loading()) << "reading what is in does not wait for the rest";

    QSignalSpy completed(&edit, &RichEdit::LoadCompleted);
    ASSERT_TRUE(completed.wait(30000));
    EXPECT_FALSE(edit.Loading());
    EXPECT_EQ(changes.count(), 1) << "the rest of the file is no change";
    EXPECT_FALSE(edit.Modified());
    EXPECT_FALSE(edit.CanUndo()) << "the rest of the file cannot be undone";
    EXPECT_EQ(edit.Text(), t.text);

    // Edits undo as they always do.
    edit.setSelectionStart(5);
    edit.setSelectedText(QStringLiteral("xyz"));
    ASSERT_TRUE(edit.CanUndo());
    edit.Undo();
    EXPECT_EQ(edit.Text(), t.text);
}

TEST_F(Streams, ALongRtfFileShowsItsStartAtOnceAndEndsAsFarAsItCanBeRead)
{
    // Megabytes of paragraphs, then more pictures than a file of this size may have, the file
    // cut off far in, inside a table's cell.
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset238 Arial;}}\\f0\\fs20 ";
    for (int p = 0; rtf.size() < (5 << 20); ++p)
        rtf += "{\\b Odsek} " + QByteArray::number(p) + " \\'9ea\\'e8ka.\\par\n";
    rtf += QByteArray("{\\pict\\pngblip\\picw4\\pich3 00}").repeated(6000);
    rtf += "\\par\\trowd\\cellx2000\\cellx4000 {\\i bunka";
    QSignalSpy changes(&edit, &RichEdit::OnChange);
    QSignalSpy leftOut(&edit, &RichEdit::LeftOutOnLoad);
    edit.Lines().LoadFile(write("long.rtf", rtf));
    ASSERT_TRUE(edit.Loading());
    EXPECT_EQ(edit.TextRange(0, 16), QString::fromUtf8("Odsek 0 žačka.\rO"));
    // A load that fails leaves the document and what is still to come as they were.
    EXPECT_FALSE(edit.document().load("no rtf", TextFormat::Rtf));
    ASSERT_TRUE(edit.Loading());

    QSignalSpy completed(&edit, &RichEdit::LoadCompleted);
    ASSERT_TRUE(completed.wait(30000));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(edit.Modified());
    EXPECT_FALSE(edit.CanUndo());
    const QString text = edit.Text();
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Odsek 0 žačka.\r\nOdsek 1 ")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\nbunka"))) << "what the cut file holds is read";
    // What the file left out is told once it is all read.
    EXPECT_EQ(leftOut.count(), 0);
    ASSERT_TRUE(leftOut.wait(1000));
    EXPECT_GT(leftOut.takeFirst().at(0).value<LeftOut>().pictures, 0);
}

TEST_F(Streams, WhatNeedsTheWholeOfALongTextTakesTheRestInFirst)
{
    const LongText t = longText(10);
    const QString path = write("long.txt", t.bytes);
    // Saving, reading the text and its length, search and editing right after the load.
    edit.setStreamFormat(StreamFormat::PlainText);
    edit.Lines().LoadFile(path);
    ASSERT_TRUE(edit.Loading());
    EXPECT_EQ(savedText(edit), encodeTextDocument(t.text, textDocumentForm(t.bytes)));
    EXPECT_FALSE(edit.Loading());

    edit.Lines().LoadFile(path);
    EXPECT_EQ(edit.TextLength(), t.text.size() - t.text.count(QStringLiteral("\r\n")));
    edit.Lines().LoadFile(path);
    const QString last = QString::fromUtf8("č. ") + QString::number(t.text.count(QStringLiteral("\r\n")) - 1);
    EXPECT_GT(edit.SearchText(last, 0, 1 << 30, 0), 0);
    EXPECT_FALSE(edit.Loading());

    // An edit at the start goes in once the rest is in, and is one undo step of its own.
    edit.Lines().LoadFile(path);
    edit.setSelectionStart(0);
    edit.setSelectedText(QStringLiteral("Nadpis\r\n"));
    EXPECT_FALSE(edit.Loading());
    EXPECT_EQ(edit.Text(), QStringLiteral("Nadpis\r\n") + t.text);
    edit.Undo();
    EXPECT_EQ(edit.Text(), t.text);
    EXPECT_FALSE(edit.CanUndo());

    // So does a deletion through the control's own call, and it undoes.
    edit.Lines().LoadFile(path);
    edit.setSelectionStart(0);
    edit.setSelectionLength(6);
    edit.DeleteSelection();
    EXPECT_FALSE(edit.Loading());
    EXPECT_EQ(edit.Text(), t.text.mid(6));
    edit.Undo();
    EXPECT_EQ(edit.Text(), t.text);

    // A key typed into the view does the same; moving through what is in does not wait.
    edit.Lines().LoadFile(path);
    edit.setFocus();
    QTest::keyClick(edit.widget(), Qt::Key_PageDown);
    QTest::keyClick(edit.widget(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(edit.Loading());
    EXPECT_GT(edit.SelectionStart(), 0);
    QTest::keyClick(edit.widget(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_FALSE(edit.Loading());
    QTest::keyClick(edit.widget(), Qt::Key_X);
    EXPECT_EQ(edit.Text(), t.text + QStringLiteral("x"));

    // A new document drops what was still to come.
    edit.Lines().LoadFile(path);
    edit.setText(QStringLiteral("nové"));
    EXPECT_FALSE(edit.Loading());
    QApplication::processEvents();
    EXPECT_EQ(edit.Text(), QStringLiteral("nové"));
}

TEST_F(Streams, ALongTextIsCutOnlyWhereNothingFallsApart)
{
    // A CR LF pair across the first slice's end, a line longer than a slice made of
    // two-byte characters, a zero byte, and a CR that ends the file.
    // (The long line stays out of the first screen: laying out a line of a megabyte is slow
    // on its own.)
    auto lines = [](char c, qsizetype megabytes) {
        QByteArray out;
        const QByteArray line = QByteArray(99, c) + '\n';
        while (out.size() < (megabytes << 20))
            out += line;
        return out;
    };
    const QByteArray head = lines('a', 1).left((1 << 20) - 1000) + QByteArray(999, 'a');
    QByteArray bytes = head + "\r\nb"; // the CR is the first megabyte's last byte
    const QString longLine = QString(QStringLiteral("ž")).repeated(700 << 10);
    bytes += longLine.toUtf8();
    bytes += "\r\n";
    const QByteArray rest = lines('c', 8);
    bytes += rest;
    bytes.insert(100, '\0');
    bytes += "\r";
    edit.Lines().LoadFile(write("cut.txt", bytes));
    ASSERT_TRUE(edit.Loading());
    edit.CompleteLoad();
    QString expected = QString::fromLatin1(head).replace(u'\n', QStringLiteral("\r\n"))
                       + QStringLiteral("\r\nb") + longLine + QStringLiteral("\r\n")
                       + QString::fromLatin1(rest).replace(u'\n', QStringLiteral("\r\n"));
    EXPECT_TRUE(edit.Text() == expected);

    // Not UTF-8: Windows-1250 all through, also in the slices decoded last.
    QByteArray cp = lines('x', 9);
    cp += "\x9ex"; // žx
    edit.Lines().LoadFile(write("cp.txt", cp));
    EXPECT_TRUE(edit.Text().endsWith(QStringLiteral("\r\nžx")));
    // A byte order mark marks UTF-8 and is no character.
    edit.Lines().LoadFile(write("bom.txt", "\xEF\xBB\xBF" + lines('y', 9) + "\xC5\xBE"));
    const QString bom = edit.Text();
    EXPECT_TRUE(bom.startsWith(u'y') && bom.endsWith(QStringLiteral("\r\nž")));
}

TEST_F(Streams, BytesThatAreNoUtf8AreCutInWholeSlices)
{
    // Bytes UTF-8 would take for a character's continuation (Windows-1250's "€", "‚", "„", …)
    // end a slice where it ends, not a byte after its start: a long run of them was cut a
    // byte at a time, each cut looking through a slice for a line break.
    const QByteArray bytes(3 * kTextSlice, '\x80');
    EXPECT_GE(textSliceEnd(bytes, 0), kTextSlice - 3);
}

TEST_F(Streams, ZeroBytesDoNotCountTowardsALongText)
{
    // Over the length a long text is put in by slices, but nothing left once the zero bytes
    // go; and a few characters among them.
    const QByteArray zeros((8 << 20) + 1, '\0');
    edit.Lines().LoadFile(write("zeros.txt", zeros));
    EXPECT_FALSE(edit.Loading());
    EXPECT_EQ(edit.Text(), QString());
    edit.Lines().LoadFile(write("some.txt", "ab" + zeros + "c"));
    EXPECT_EQ(edit.Text(), QStringLiteral("abc"));
}

TEST_F(Streams, PicturesHaveNoTextInATextFile)
{
    // Text Windows-1250 holds, with a picture in it, is saved in Windows-1250 without it.
    const QString text = QStringLiteral("Čaj s ďatľom");
    edit.setText(text);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QTextCursor c(edit.view().document());
    c.setPosition(4);
    insertPicture(c, pictureFromImage(image));
    const QString path = dir.filePath("picture.txt");
    edit.Lines().SaveFile(path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), encodeCodepage(text, kCp1250));
}

TEST_F(Streams, ANameThatIsNoUtf8OpensByItsBytes)
{
    // A Latin-1 name, as the command line gives it and as the open dialog shows it.
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/caf\xe9.rtf";
    const int fd = ::open(bytes.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    const QByteArray rtf = "{\\rtf1 k\\'e1va}";
    ASSERT_EQ(::write(fd, rtf.constData(), size_t(rtf.size())), rtf.size());
    ::close(fd);

    const QString byBytes = fileNameFromBytes(bytes);
    EXPECT_TRUE(isPlainFile(byBytes));
    edit.Lines().LoadFile(byBytes);
    EXPECT_EQ(edit.Text(), QStringLiteral("káva"));

    edit.Lines().Clear();
    const QString shown = dir.filePath(QStringLiteral("caf\uFFFD.rtf"));
    EXPECT_EQ(existingFileName(shown), byBytes);
    edit.Lines().LoadFile(existingFileName(shown));
    EXPECT_EQ(edit.Text(), QStringLiteral("káva"));
    ::unlink(bytes.constData()); // the temporary folder's removal cannot name it
}

// zorim-convert opens and saves on a document with no widget; what it writes must be what the
// editor's control writes for the same file.
TEST_F(Streams, ADocumentWithoutAWidgetOpensAndSavesAsTheEditorDoes)
{
    QFile word(test::sharedTestData(QStringLiteral("rtf/word/formatting.rtf")));
    ASSERT_TRUE(word.open(QIODevice::ReadOnly));
    const QString inputs[] = {
        write("letter.txt", encodeTextDocument(QStringLiteral("Vážený pán,\r\nwww.zorim.sk\tďakujem\r\n"))),
        write("word.rtf", word.readAll()),
        write("other.zrm", "not rich text"),
    };
    for (const QString& input : inputs) {
        for (const char* output : {"out.rtf", "out.txt"}) {
            edit.Lines().LoadFile(input);
            edit.Lines().SaveFile(dir.filePath(QString::fromLatin1(output)));
            QFile saved(dir.filePath(QString::fromLatin1(output)));
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));

            LaidOutDocument doc;
            setUpAsMainDocument(doc);
            QByteArray bytes;
            ASSERT_FALSE(readDocumentFile(input, bytes));
            ASSERT_TRUE(loadDocumentBytes(doc, bytes, formatOfFileName(input).value_or(TextFormat::Rtf), {}));
            EXPECT_EQ(doc.save(*formatOfFileName(QString::fromLatin1(output))), saved.readAll()) << input.toStdString() << output;
        }
    }
}

TEST_F(Streams, TextThatIsNoRichTextGoesIntoTheSelectionNotOverTheDocument)
{
    edit.setText(QStringLiteral("before after"));
    edit.setSelectionStart(7);
    edit.setSelectionLength(0);
    edit.setStreamFormat(StreamFormat::RichText);
    edit.setStreamMode(sm::Selection);
    QBuffer stream;
    stream.setData("plain ");
    stream.open(QIODevice::ReadOnly);
    edit.LoadStream(stream);
    EXPECT_EQ(edit.Text(), "before plain after");
}

TEST(LongTextSave, ALongDocumentSavesAsTextThePiecesItIsReadIn)
{
    // Long enough to be read a piece at a time, with pieces ending on paragraph ends.
    QString text;
    for (int i = 0; text.size() < 4'300'000; ++i)
        text += QStringLiteral("Riadok %1 s ďatľom a čajom.\r\n").arg(i);
    text += QStringLiteral("koniec");
    // Windows-1250 with CR LF, and UTF-8 with its mark and LF, come back as they were read.
    for (const QByteArray& bytes : {encodeCodepage(text, kCp1250),
                                    "\xEF\xBB\xBF" + QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8()}) {
        LaidOutDocument doc;
        ASSERT_TRUE(doc.load(bytes, TextFormat::Text));
        EXPECT_TRUE(doc.save(TextFormat::Text) == bytes);
    }
    // Rich text with a line break, a picture (no text) and, at its very end, a letter
    // Windows-1250 lacks: all of it as UTF-8 with a mark.
    LaidOutDocument doc;
    ASSERT_TRUE(doc.load(encodeCodepage(text, kCp1250), TextFormat::Text));
    QTextCursor c(doc.textDocument());
    c.insertText(QStringLiteral("a\x2028" "b"));
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    insertPicture(c, pictureFromImage(image));
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("α"));
    EXPECT_TRUE(doc.save(TextFormat::Text) == "\xEF\xBB\xBF" + (QStringLiteral("a\vb") + text + QStringLiteral("α")).toUtf8());
}
