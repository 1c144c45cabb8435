#include "richtext/RichEdit.h"
#include "text/Codepage.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorim;

namespace {
struct Streams : ::testing::Test {
    RichEdit edit;
    QTemporaryDir dir;
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
        bytes += "\rb\r\nc";
        bytes.insert(10, '\0');
        edit.Lines().LoadFile(write("b.txt", bytes));
        const QString t = edit.Text();
        ASSERT_TRUE(t.endsWith("\r\nb\r\nc")) << boundary;
        EXPECT_EQ(t.size(), boundary - 1 + 7) << "only the zero byte is dropped";
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
}
