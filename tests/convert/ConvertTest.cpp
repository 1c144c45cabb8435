// zorim-convert as a process: what it writes, its exit status, and that a failure leaves no
// output behind.
#include "TestSupport.h"
#include "text/Codepage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome convert(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(ZORIM_CONVERT), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    Outcome r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

struct Convert : ::testing::Test {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

const QByteArray kLetter = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset238 Verdana;}}"
                           "\\f0\\fs24 V\\'e1\\'9een\\'fd {\\b p\\'e1n}\\par riadite\\'be\\par}";

} // namespace

TEST_F(Convert, RtfToTextToRtfKeepsTheText)
{
    const QString rtf = write("letter.rtf", kLetter);
    Outcome r = convert({rtf, path("letter.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    // Text the code page holds is written in it, paragraphs ended by CR LF.
    EXPECT_EQ(zorim::decodeTextDocument(read(path("letter.txt"))), QString::fromUtf8("Vážený pán\r\nriaditeľ"));

    r = convert({path("letter.txt"), path("again.zrm")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(read(path("again.zrm")).startsWith("{\\rtf")) << ".zrm is RTF";
    r = convert({"--text", path("again.zrm")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(r.out), QString::fromUtf8("Vážený pán\nriaditeľ"));
}

TEST_F(Convert, PlainTextUnderTheProgramsOwnExtensionLoadsAsText)
{
    const QString zrm = write("plain.zrm", "first\nsecond");
    const Outcome r = convert({"--text", zrm});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, "first\nsecond");
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(Convert, FailuresNameTheFileExitOneAndLeaveNoOutput)
{
    // A missing input: nothing is written, and an output already there stays as it was.
    Outcome r = convert({path("missing.rtf"), path("out.txt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing.rtf")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(path("out.txt")));
    write("kept.rtf", "old");
    r = convert({path("missing.rtf"), path("kept.rtf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(read(path("kept.rtf")), "old");

    // An output that cannot be created, and one of a kind the converter does not write.
    const QString in = write("in.txt", "text");
    r = convert({in, path("no/such/folder/out.rtf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("out.rtf")) << r.err.constData();
    r = convert({in, path("out.doc")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("out.doc")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(path("out.doc")));

    // A folder is no document.
    r = convert({"--text", dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());

    // Only the temporary files of the failed saves could be left: there are none.
    const QStringList left = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(left, (QStringList{"in.txt", "kept.rtf"}));
}

// Another program's document is refused, never written out as junk; RTF after white space
// any reader of the program skips is RTF.
TEST_F(Convert, OtherProgramsDocumentsFailAndRtfAfterAFormFeedConverts)
{
    const QString pdf = write("report.pdf", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n");
    Outcome r = convert({pdf, path("report.txt")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("report.pdf") && r.err.contains("(PDF)")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(path("report.txt")));

    r = convert({"--text", write("letter.zrm", "\f" + kLetter)});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(QString::fromUtf8(r.out), QString::fromUtf8("Vážený pán\nriaditeľ"));
}

TEST_F(Convert, HelpInSlovakAndEnglishAndUsageErrors)
{
    Outcome r = convert({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.out).contains(QString::fromUtf8("Použitie")));
    EXPECT_TRUE(r.out.contains("Usage"));
    r = convert({});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    r = convert({"a.rtf", "b.txt", "c.txt"});
    EXPECT_EQ(r.exitCode, 1);
}

TEST_F(Convert, AnOfficeSuitesLetterGivesItsText)
{
    const QString letter = zorim::test::sharedTestData("rtf/libreoffice/letter.rtf");
    if (!QFile::exists(letter))
        GTEST_SKIP() << "shared test documents are not beside the checkout";
    const Outcome r = convert({"--text", letter});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QString text = QString::fromUtf8(r.out);
    EXPECT_FALSE(text.contains("\\rtf"));
    EXPECT_FALSE(text.contains(u'\r'));
    EXPECT_GT(text.count(u'\n'), 5);
}

TEST_F(Convert, HostileFilesConvertAndSayWhatTheyLack)
{
    // Zero bytes over the length a long text is sliced at.
    Outcome r = convert({write("zeros.txt", QByteArray((8 << 20) + 1, '\0')), path("zeros-out.txt")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(read(path("zeros-out.txt")), QByteArray());

    // More pictures than the document takes for the file's size: said, and the text has none.
    QByteArray rtf = "{\\rtf1 a";
    for (int i = 0; i < 2000; ++i)
        rtf += "{\\pict\\pngblip 89}";
    rtf += "b}";
    r = convert({"--text", write("pictures.rtf", rtf)});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "ab");
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("sa vynechalo"))) << r.err.constData();

    // A name that is no UTF-8, given as its bytes.
    write("plain.txt", "obsah");
    QProcess sh;
    sh.setWorkingDirectory(dir.path());
    sh.start("/bin/sh", {"-c", "cp plain.txt \"$(printf 'caf\\351.txt')\" && exec \"$0\" --text \"$(printf 'caf\\351.txt')\"",
                         QStringLiteral(ZORIM_CONVERT)});
    ASSERT_TRUE(sh.waitForFinished(60000));
    EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().constData();
    EXPECT_EQ(sh.readAllStandardOutput(), "obsah");
}
