#include "richtext/RichEdit.h"
#include "FilePermissions.h"
#include "TestSupport.h"
#include "text/Codepage.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

TEST_F(Streams, PlainTextSwitchDropsFormattingQuietly)
{
    makeFormatted(edit);
    const QString text = edit.Text();
    edit.setModified(false);
    QSignalSpy changes(&edit, &RichEdit::OnChange);
    // The one change notice already sees Modified as it stays.
    QList<bool> modifiedAtNotice;
    QObject::connect(&edit, &RichEdit::OnChange, [&] { modifiedAtNotice << edit.Modified(); });
    edit.setPlainText(true);
    // Emptying the control is no change of its own; the content coming back is one.
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(modifiedAtNotice, QList<bool>({false}));
    EXPECT_FALSE(edit.Modified());
    edit.setModified(true);
    edit.setPlainText(false);
    EXPECT_EQ(modifiedAtNotice, QList<bool>({false, true}));
    EXPECT_TRUE(edit.Modified());
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

    // Another program's formatted copy keeps its formatting.
    auto* foreign = new QMimeData;
    foreign->setData("text/rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\i slanted}}");
    foreign->setText("plain slanted");
    QApplication::clipboard()->setMimeData(foreign);
    other.ClearAll();
    other.Paste();
    EXPECT_EQ(other.Text(), "plain slanted");
    other.setSelectionStart(7);
    other.setSelectionLength(1);
    EXPECT_EQ(other.SelectionAttributes().Style(), fs::Italic);

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
