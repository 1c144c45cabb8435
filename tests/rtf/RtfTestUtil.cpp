#include "RtfTestUtil.h"

#include "richtext/document/DocFormats.h"
#include "richtext/formats/rtf/Rtf.h"
#include "richtext/formats/rtf/RtfNotes.h"
#include "text/Codepage.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <gtest/gtest.h>

#include <algorithm>

namespace zorim::test {

std::unique_ptr<QTextDocument> loadRtf(const QByteArray& rtf, bool* accepted)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    const bool ok = readRtf(rtf, cursor);
    if (accepted)
        *accepted = ok;
    return doc;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

CharFormat formatAt(const QTextDocument& doc, int pos)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(pos + 1);
    return readCharFormat(c.charFormat(), doc.defaultFont());
}

int find(const QTextDocument& doc, const QString& text)
{
    const QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << "missing: " << text.toStdString();
    return c.isNull() ? 0 : c.selectionStart();
}

std::vector<CharRecord> charRecords(const QTextDocument& doc)
{
    std::vector<CharRecord> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const CharFormat cf = readCharFormat(f.charFormat(), doc.defaultFont());
            const auto pic = pictureFromFormat(f.charFormat());
            for (const QChar ch : f.text())
                out.push_back({ch, cf, pic});
        }
        if (b.next().isValid())
            out.push_back({QChar(u'\n'), {}, std::nullopt});
    }
    return out;
}

std::vector<QString> notesOf(const QTextDocument& doc)
{
    std::vector<QString> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const std::optional<Note> note = noteOf(it.fragment().charFormat());
            for (int i = 0; note && i < it.fragment().length(); ++i) {
                QTextDocument content;
                readNoteContent(*note, content);
                out.push_back(QString(note->endnote ? "(e) " : "") + (note->customMark ? "(*) " : "")
                              + content.toPlainText().replace(u'\n', u'|'));
            }
        }
    }
    return out;
}

std::vector<Grid> tablesOf(const QTextDocument& doc, bool inCells)
{
    std::vector<Grid> out;
    QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    if (inCells) {
        QList<QTextFrame*> inner;
        for (QTextFrame* frame : frames) {
            const QList<QTextFrame*> children = frame->childFrames();
            inner += children;
        }
        frames = inner;
    }
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        Grid grid;
        for (int r = 0; r < table->rows(); ++r) {
            std::vector<QString> row;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                QTextCursor cursor(table->document());
                cursor.setPosition(cell.firstPosition());
                cursor.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
                row.push_back(cursor.selectedText()
                                  .replace(QChar::ParagraphSeparator, u'|')
                                  .replace(QChar(0xFDD0), u'[')
                                  .replace(QChar(0xFDD1), u']'));
            }
            grid.push_back(row);
        }
        out.push_back(grid);
    }
    return out;
}

std::vector<ParaFormat> paraRecords(const QTextDocument& doc)
{
    std::vector<ParaFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out.push_back(readParaFormat(b));
    return out;
}

QString everyKindOfText()
{
    QByteArray upper;
    for (int b = 0x80; b < 0x100; ++b)
        if (encodeCodepageChar(decodeCodepage(QByteArray(1, char(b)), kCp1250)[0].unicode(), kCp1250) == b
            && decodeCodepage(QByteArray(1, char(b)), kCp1250)[0].unicode() >= 0xA0)
            upper.append(char(b));
    QString text = decodeCodepage(upper, kCp1250);
    text += QString::fromUtf8(" café Łódź “quoted” € ‚„‰ Ελληνικά Кириллица 漢字とかな 测试 한국어 😀 end");
    return text;
}

std::unique_ptr<QTextDocument> typedDocument(const QString& text, const QString& face, uint8_t charset)
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    CharFormat cf;
    cf.mask = cfm::All;
    cf.faceName = face;
    cf.charset = charset;
    cf.height = 200;
    cf.effects = cfe::AutoColor | cfe::AutoBackColor;
    QTextCharFormat format;
    applyCharFormat(format, cf);
    cursor.insertText(text, format);
    return doc;
}

std::unique_ptr<QTextDocument> structuredLetter()
{
    auto doc = typedDocument(QString::fromUtf8("Vážený pán Novák,\nďakujem za Váš list zo dňa 3. mája.\n"
                                               "Posielame Vám cenovú ponuku.\nS pozdravom\nJán Kováč"),
                             "Arial", kDefaultCharset);
    struct Spacing {
        int before, after, line;
        bool multiple;
        bool newPage;
    };
    const Spacing spacing[] = {{0, 240, 0, false, false}, {120, 120, 360, true, false}, {0, 0, 400, false, false},
                               {480, 0, -300, false, true}, {0, 0, 0, false, false}};
    QTextCursor cursor(doc.get());
    for (const Spacing& s : spacing) {
        ParaFormat pf;
        pf.mask = pfm::SpaceBefore | pfm::SpaceAfter | pfm::LineSpacing | pfm::PageBreakBefore;
        pf.pageBreakBefore = s.newPage;
        pf.spaceBefore = s.before;
        pf.spaceAfter = s.after;
        pf.lineSpacing = s.line;
        pf.lineMultiple = s.multiple;
        applyParaFormat(cursor, pf);
        cursor.movePosition(QTextCursor::NextBlock);
    }
    // A hidden remark in the greeting.
    cursor.setPosition(5);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                      hiddenTextFormat(cursor.charFormat(), QString::fromUtf8("skrytá poznámka")));
    // Landscape A5 with margins of 2 and 2.5 cm.
    applyPageSetup(*doc, {.paperWidth = 11906, .paperHeight = 8391, .landscape = true, .marginLeft = 1134,
                          .marginRight = 1134, .marginTop = 1417, .marginBottom = 1417});
    return doc;
}

QByteArray letterWithHeader()
{
    QImage logo(6, 4, QImage::Format_RGB32);
    logo.fill(QColor(200, 30, 40));
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    logo.save(&png, "PNG");
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\froman\\fcharset238 Times New Roman;}"
           "{\\f1\\fswiss\\fcharset238 Arial;}{\\f2\\fmodern\\fprq1\\fcharset238 Courier New;}}\r\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue40;\\red10\\green120\\blue200;}\r\n"
           "{\\info{\\title Ponuka}{\\author Jana Nov\\'e1}}\\paperw11906\\paperh16838\\titlepg\\headery600\r\n"
           "{\\header\\pard\\plain\\s15\\f2\\fs20\\cf2\\highlight3 Hlavi\\'e8kov\\'fd papier\\b\\f9 firmy"
           "\\cf7\\chcbpat3 {\\pict\\pngblip\\picw6\\pich4 "
        + png.data().toHex() + "}\\par}\r\n"
           "{\\footer\\pard\\plain\\qc\\f0 Strana {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}\r\n"
           "\\pard\\plain\\f0\\fs24 Text listu.\\par}";
}

QByteArray reviewedContract(bool comments)
{
    const auto c = [comments](const char* rtf) { return comments ? QByteArray(rtf) : QByteArray(); };
    return "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\froman\\fcharset238 Times New Roman;}"
           "{\\f1\\fswiss\\fcharset238 Arial;}{\\f2\\fmodern\\fprq1\\fcharset238 Courier New;}}\r\n"
           "{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue40;}\r\n"
           "\\pard\\plain\\f0\\fs24 Zmluva o "
        + c("{\\*\\atrfstart 1}") + "dielo" + c("{\\*\\atrfend 1}{\\*\\atnid JN}{\\*\\atnauthor Jana Nov\\'e1}\\chatn"
            "{\\*\\annotation{\\*\\atnref 1}{\\*\\atndate 1234}\\pard\\plain\\f1\\fs20 Skontrolova\\'9d term\\'edn.}")
        + " a cena.\\par\r\n\\trowd\\cellx3000\\cellx6000\\pard\\plain\\intbl\\f0 Cena\\cell 100 EUR"
        + c("{\\cs15\\f1 {\\*\\atnid PK}{\\*\\atnauthor Peter Kov\\'e1\\'e8}\\chatn }"
            "{\\*\\annotation{\\*\\atnref 2}\\pard\\plain\\f2\\cf2 Bez DPH?\\par\\trowd\\cellx900\\cellx1800\\pard\\intbl 19\\cell 20\\cell\\row}")
        + "\\cell\\row\r\n\\pard\\plain\\f0 Koniec.\\par}";
}

std::vector<QByteArray> convertByOtherProgram(const QString& program, const std::vector<QByteArray>& rtfs,
                                              const QString& format)
{
    std::vector<QByteArray> out(rtfs.size());
    const bool office = program == "soffice";
    const QString exe = QStandardPaths::findExecutable(program);
    if (exe.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is missing: install the Debian package "
                      << (office ? "libreoffice-writer-nogui" : "abiword");
        return out;
    }
    // The inputs are named so that no output can overwrite one.
    QTemporaryDir dir;
    QStringList inputs;
    for (size_t i = 0; i < rtfs.size(); ++i) {
        QFile file(dir.filePath(QString("doc%1.input").arg(i)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(rtfs[i]) == rtfs[i].size());
        inputs << file.fileName();
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (office) {
        // A profile of its own, so that a LibreOffice the user is running does not take the job.
        const QString filter = format == "txt" ? "txt:Text (encoded):UTF8"
                               : format == "rtf" ? "rtf:Rich Text Format"
                                                 : format;
        // Its own flat files (documents made by it for a test) it recognises by their content.
        const bool rtf = std::all_of(rtfs.begin(), rtfs.end(), [](const QByteArray& b) { return b.startsWith("{\\rtf"); });
        p.start(exe, QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                                 "--headless", "--norestore"}
                         + (rtf ? QStringList{"--infilter=Rich Text Format"} : QStringList{})
                         + QStringList{"--convert-to", filter, "--outdir", dir.path()} + inputs);
    } else {
        // Word and OpenDocument texts (ours, for the other program to read) are told by their
        // ZIP start and an OpenDocument's first part.
        const QByteArray first = rtfs.empty() ? QByteArray() : rtfs[0];
        const QString kind = !first.startsWith("PK") ? "rtf" : first.mid(30, 8) == "mimetype" ? "odt" : "docx";
        p.start(exe, QStringList{"--import-extension=" + kind, "--to=" + format} + inputs);
    }
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << program.toStdString() << " did not finish: " << p.readAll().toStdString();
        p.kill();
        return out;
    }
    for (size_t i = 0; i < rtfs.size(); ++i) {
        QFile file(dir.filePath(QString("doc%1.%2").arg(i).arg(format)));
        if (file.open(QIODevice::ReadOnly))
            out[i] = file.readAll();
        else
            ADD_FAILURE() << program.toStdString() << " wrote no " << file.fileName().toStdString() << ": "
                          << p.readAll().toStdString();
    }
    return out;
}

std::vector<QString> readByOtherProgram(const QString& program, const std::vector<QByteArray>& rtfs)
{
    std::vector<QString> out;
    for (const QByteArray& bytes : convertByOtherProgram(program, rtfs, "txt"))
        out.push_back(QString::fromUtf8(bytes).remove(QChar(0xFEFF)).trimmed());
    return out;
}

} // namespace zorim::test
