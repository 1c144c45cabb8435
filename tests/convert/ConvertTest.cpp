// zorim-convert as a process: what it writes, its exit status, and that a failure leaves no
// output behind.
#include "TestSupport.h"
#include "text/Codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// input: written to the converter's standard input (a pipe), which is then closed.
Outcome convert(const QStringList& args, const QByteArray& input = {}, const QString& inputFile = {})
{
    QProcess p;
    if (!inputFile.isEmpty())
        p.setStandardInputFile(inputFile);
    p.start(QStringLiteral(ZORIM_CONVERT), args);
    if (inputFile.isEmpty()) {
        p.write(input);
        p.closeWriteChannel();
    }
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
// Word and OpenDocument texts by the output's extension and by --to, read back by their content
// (a text file converts too); a damaged one is named, and neither goes to standard output.
TEST_F(Convert, WordAndOpenDocumentTextsBothWays)
{
    const QString rtf = write("letter.rtf", kLetter);
    for (const char* kind : {"docx", "odt"}) {
        SCOPED_TRACE(kind);
        const QString out = path(QStringLiteral("letter.") + kind);
        Outcome r = convert({rtf, out});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_TRUE(read(out).startsWith("PK\x03\x04"));
        r = convert({"--text", out});
        EXPECT_EQ(QString::fromUtf8(r.out), QString::fromUtf8("Vážený pán\nriaditeľ"));
        r = convert({"--to", kind, "-o", path(QStringLiteral("from-text-") + kind), write("plain.txt", "riadok")});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        r = convert({"--text", path(QStringLiteral("from-text-%1/plain.%1").arg(kind))});
        EXPECT_EQ(QString::fromUtf8(r.out), QStringLiteral("riadok"));
        r = convert({"--to", kind, "-o", "-", rtf});
        EXPECT_EQ(r.exitCode, 1);
        const QByteArray damaged = read(out).left(200);
        r = convert({write(QStringLiteral("damaged.") + kind, damaged), path("damaged.txt")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("je poškodený"))) << r.err.constData();
    }
}

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
    EXPECT_TRUE(r.err.contains("--to")) << "several files need a format";
    r = convert({"--to", "doc", "a.rtf"});
    EXPECT_EQ(r.exitCode, 1);
}

// A letter whose text tells it apart, in RTF or as text.
QByteArray letterNumber(int n, bool rtf)
{
    const QByteArray text = "List " + QByteArray::number(n);
    return rtf ? "{\\rtf1\\ansi {\\b " + text + "}\\par}" : text + "\r\n";
}

// A folder and files given together: each document lands in the output folder under its
// own name; another program's document among them fails by name and the rest go on.
TEST_F(Convert, FolderAndFilesIntoAnOutputFolderWithABadFileAmongThem)
{
    QDir(dir.path()).mkdir("in");
    for (int n = 0; n < 6; ++n)
        write(QStringLiteral("in/list%1.%2").arg(n).arg(n % 2 ? "rtf" : "txt"), letterNumber(n, n % 2));
    write("in/notes.pdf", "%PDF-1.4\n"); // no document by its name: not taken from the folder
    write("in/scan.zrm", "%PDF-1.4\n");
    const QString single = write("single.zrm", letterNumber(9, true));

    const Outcome r = convert({"--to", "txt", "-o", path("out/texts"), path("in"), single});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("scan.zrm")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("7 z 8")) << "the summary: " << r.err.constData();
    EXPECT_FALSE(r.err.contains('\r')) << "no progress line when standard error is no terminal";
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(read(path(QStringLiteral("out/texts/list%1.txt").arg(n))).trimmed(), "List " + QByteArray::number(n));
    EXPECT_EQ(read(path("out/texts/single.txt")), "List 9");
    EXPECT_EQ(QDir(path("out/texts")).entryList(QDir::Files).size(), 7);
}

// One at a time and in parallel workers, the outputs are the same bytes.
TEST_F(Convert, ParallelWorkersWriteWhatOneAtATimeWrites)
{
    QStringList inputs;
    for (int n = 0; n < 12; ++n)
        inputs << write(QStringLiteral("doc%1.rtf").arg(n), letterNumber(n, true));
    Outcome r = convert(QStringList{"--to", "zrm", "-j", "1", "-o", path("one")} + inputs);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    r = convert(QStringList{"--to", "zrm", "-j", "3", "-o", path("three")} + inputs);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.err.contains("12 z 12")) << r.err.constData();
    for (int n = 0; n < 12; ++n) {
        const QString name = QStringLiteral("/doc%1.zrm").arg(n);
        EXPECT_TRUE(read(path("one") + name).contains("List " + QByteArray::number(n)));
        EXPECT_EQ(read(path("three") + name), read(path("one") + name)) << name.toStdString();
    }
}

TEST_F(Convert, StandardInputAndOutputInEveryFormat)
{
    // Text through a pipe into RTF on standard output.
    Outcome r = convert({"--to", "rtf", "-", "-"}, QByteArray("Dobr\xFD de\xF2\r\nriadok"));
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.startsWith("{\\rtf1"));
    // That RTF from a file on standard input back to text on standard output.
    const QString rtf = write("piped.rtf", r.out);
    r = convert({"--to", "txt", "-", "-"}, {}, rtf);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(zorim::decodeTextDocument(r.out), QString::fromUtf8("Dobrý deň\r\nriadok"));
    // A named file onto standard output, and standard input into a named file.
    r = convert({"--to", "txt", rtf, "-"});
    EXPECT_EQ(zorim::decodeTextDocument(r.out), QString::fromUtf8("Dobrý deň\r\nriadok"));
    r = convert({"-", path("from-pipe.zrm")}, kLetter);
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(read(path("from-pipe.zrm")).contains("riadite"));
    // Another program's document on standard input is refused and writes nothing.
    r = convert({"--to", "rtf", "-", "-"}, "%PDF-1.4\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
}

// Standard input that never ends, and a file larger than a document may be (sparse: it takes
// no room), fail with a message rather than take all memory.
TEST_F(Convert, InputBeyondTheLargestDocumentFailsWithAMessage)
{
    Outcome r = convert({"--to", "txt", "-"}, {}, QStringLiteral("/dev/zero"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8("štandardný vstup: dokument je väčší"))) << r.err.constData();

    QFile big(path("big.txt"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(1) << 31));
    big.close();
    r = convert({big.fileName(), path("big.rtf")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("big.txt")) << r.err.constData();
    EXPECT_FALSE(QFile::exists(path("big.rtf")));
}

// Outputs that would destroy a file are refused before anything is written: one over its
// own input, and the second of two inputs with one output name.
TEST_F(Convert, AnOutputOverItsInputOrAnotherInputsOutputIsRefused)
{
    const QString text = write("note.txt", "kept as it was");
    const QString rtf = write("note.rtf", letterNumber(1, true));
    const QString zrm = write("note.zrm", letterNumber(2, true));
    const Outcome r = convert({"--to", "txt", text, rtf, zrm});
    // note.txt is an input itself: neither it nor the others may be written over it.
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(read(text), "kept as it was");
    EXPECT_TRUE(r.err.contains("note.zrm")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("0 z 3")) << r.err.constData();
}

// Another name of an input is that input: a hard link among the inputs, a symbolic link as the
// output of the one-file form, the input spelled otherwise.
TEST_F(Convert, AnOutputThatIsAnInputUnderAnotherNameIsRefused)
{
    const QString a = write("a.rtf", kLetter);
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(path("b.rtf")).constData()), 0);
    ASSERT_EQ(::symlink("a.rtf", QFile::encodeName(path("x.txt")).constData()), 0);
    const QString b = write("b.txt", "text b");
    Outcome r = convert({"--to", "rtf", b, a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("b.rtf")) << r.err.constData();
    for (const QStringList& args : {QStringList{a, path("x.txt")}, QStringList{a, dir.path() + "/./a.rtf"}}) {
        r = convert(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains("prep")) << r.err.constData();
    }
    EXPECT_EQ(read(a), kLetter);
    EXPECT_TRUE(QFileInfo(path("x.txt")).isSymLink());
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

    // Such a name in a folder converts as it does alone.
    QDir(dir.path()).mkdir("latin1");
    const QByteArray latin1 = QFile::encodeName(path("latin1")) + "/caf\xE9.txt";
    std::FILE* file = std::fopen(latin1.constData(), "wb");
    ASSERT_TRUE(file);
    std::fputs("obsah", file);
    std::fclose(file);
    write("latin1/plain.txt", "iný");
    r = convert({"--to", "rtf", path("latin1")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.err.contains("2 z 2")) << r.err.constData();
    file = std::fopen((QFile::encodeName(path("latin1")) + "/caf\xE9.rtf").constData(), "rb");
    ASSERT_TRUE(file);
    char head[6] = {};
    EXPECT_EQ(std::fread(head, 1, 5, file), 5u);
    std::fclose(file);
    EXPECT_STREQ(head, "{\\rtf");
    // Names the temporary folder's removal cannot spell.
    for (const QByteArray& name : {QFile::encodeName(path("caf")) + "\xE9.txt", latin1, latin1.chopped(3) + "rtf"})
        std::remove(name.constData());
}
