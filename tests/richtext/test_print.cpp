// Printing: one job, every page of the document within its margins, pages following until
// the text ends, read back from the PDF the printer wrote.
#include "QStringPrinter.h"
#include "TableTest.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/layout/RichPrint.h"
#include "richtext/editor/RichView.h"

#include <QBuffer>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace zorim;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Pages of a PDF as its page objects count them.
int pdfPages(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return int(QString::fromLatin1(pdf).count(page));
}

// The text of a PDF by the system's PDF text tool; empty when there is none.
QString pdfText(const QString& path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Output of a poppler tool on the PDF; fails the test when the tool is missing.
QString popplerOutput(const QString& tool, const QStringList& args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty()) {
        ADD_FAILURE() << tool.toStdString() << " is missing: install the Debian package poppler-utils";
        return {};
    }
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The words of a PDF's first page with their boxes, in points.
std::vector<std::pair<QString, QRectF>> pdfWords(const QString& path)
{
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<std::pair<QString, QRectF>> out;
    const QString html = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                                     QStringLiteral("1"), path, QStringLiteral("-")});
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out.emplace_back(m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                               QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return out;
}

// The width in points each picture of the PDF is placed at.
std::vector<double> pdfPictureWidths(const QString& path)
{
    std::vector<double> out;
    const QStringList lines = popplerOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path}).split(u'\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() > 12 && f[12].toDouble() > 0)
            out.push_back(f[3].toDouble() * 72 / f[12].toDouble()); // pixels at the placed resolution
    }
    return out;
}

class PrintTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RichEdit edit;
    QString pdf = dir.filePath(QStringLiteral("out.pdf"));

    int print(QPrinter& printer) { return edit.Print(QStringLiteral("ZORIM"), printer); }
    std::unique_ptr<QPrinter> pdfPrinter()
    {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        printer->setPageSize(QPageSize(QPageSize::A4));
        return printer;
    }
};

} // namespace

TEST(PrintRenderRect, TwipsFromThePrintableAreaWithWholeArithmetic)
{
    EXPECT_EQ(printRenderRect({4800, 6600}, 600, 600), (TwipsRect{0, 0, 11520, 15840}));
    // Each division drops its remainder: 1000 px at 300 dpi is 4800 twips, 1001 px 4804.8 → 4804.
    EXPECT_EQ(printRenderRect({1001, 1000}, 300, 300), (TwipsRect{0, 0, 4804, 4800}));
    // A page rectangle, when given, decides every side.
    EXPECT_EQ(printRenderRect({4800, 6600}, 600, 300, QRect(60, 30, 600, 300)), (TwipsRect{144, 144, 1584, 1584}));
    // A resolution of nothing gives an empty rectangle rather than a division by zero.
    EXPECT_EQ(printRenderRect({4800, 6600}, 0, 0), (TwipsRect{}));
}

TEST_F(PrintTest, EmptyDocumentPrintsExactlyOneEmptyPage)
{
    auto printer = pdfPrinter();
    EXPECT_EQ(print(*printer), 1);
    EXPECT_EQ(pdfPages(readAll(pdf)), 1);
    EXPECT_EQ(printer->docName(), QStringLiteral("ZORIM"));
}

TEST_F(PrintTest, DocumentThatFitsPrintsOnePageWithItsText)
{
    edit.setText(QStringLiteral("Vážený pán Novák,\r\nďakujem za list.\r\nS pozdravom"));
    auto printer = pdfPrinter();
    EXPECT_EQ(print(*printer), 1);
    EXPECT_EQ(pdfPages(readAll(pdf)), 1);
    const QString text = pdfText(pdf);
    if (text.isEmpty())
        GTEST_SKIP() << "no PDF text tool";
    EXPECT_TRUE(text.contains(QStringLiteral("Vážený pán Novák,"))) << text.toStdString();
    EXPECT_LT(text.indexOf(QStringLiteral("ďakujem za list.")), text.indexOf(QStringLiteral("S pozdravom")));
}

TEST_F(PrintTest, PagesFollowUntilTheTextEndsAndHoldEveryParagraphInOrder)
{
    QString text;
    for (int i = 1; i <= 300; ++i)
        text += QStringLiteral("Odsek číslo %1 so slovami, ktoré sa tlačia.\r\n").arg(i);
    text += QStringLiteral("Koniec dokumentu");
    edit.setText(text);
    auto printer = pdfPrinter();
    const int pages = print(*printer);
    EXPECT_GT(pages, 3);
    EXPECT_EQ(pdfPages(readAll(pdf)), pages);
    const QString printed = pdfText(pdf);
    if (printed.isEmpty())
        GTEST_SKIP() << "no PDF text tool";
    int at = 0;
    for (int i = 1; i <= 300; ++i) {
        const int next = printed.indexOf(QStringLiteral("Odsek číslo %1 ").arg(i), at);
        ASSERT_GE(next, at) << "paragraph " << i << " missing or out of order";
        at = next;
    }
    EXPECT_GT(printed.indexOf(QStringLiteral("Koniec dokumentu")), at);
}

TEST_F(PrintTest, ALandscapePageHoldsFewerLinesAndTheSameText)
{
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("riadok %1\r\n").arg(i);
    edit.setText(text);
    auto portrait = pdfPrinter();
    const int portraitPages = print(*portrait);
    pdf = dir.filePath(QStringLiteral("landscape.pdf"));
    auto landscape = pdfPrinter();
    landscape->setPageOrientation(QPageLayout::Landscape);
    EXPECT_GT(print(*landscape), portraitPages);
}

TEST_F(PrintTest, APrinterThatRefusesTheJobIsReported)
{
    edit.setText(QStringLiteral("text"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
    try {
        print(printer);
        ADD_FAILURE() << "no failure";
    } catch (const RichEditError& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
}

TEST_F(PrintTest, ListLabelsAndPicturesPrintAtTheTextsScale)
{
    // A numbered list and a picture one inch wide, in a 12-point font.
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    image.save(&pngBuffer, "PNG");
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (const char* item : {"Prvy", "Druhy", "Treti"})
        rtf += QByteArray("{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnindent360}\\fi-360\\li720 ") + item + "\\par ";
    rtf += "\\pard Obrazok {\\pict\\pngblip\\picw64\\pich32\\picwgoal1440\\pichgoal720 " + png.toHex() + "}\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.setStreamFormat(StreamFormat::RichText);
    edit.LoadStream(buffer);
    for (const int dpi : {96, 300, 600}) {
        SCOPED_TRACE(dpi);
        auto printer = pdfPrinter();
        printer->setResolution(dpi);
        print(*printer);
        const auto words = pdfWords(pdf);
        auto box = [&](const QString& text) {
            for (const auto& [w, r] : words)
                if (w == text)
                    return r;
            ADD_FAILURE() << "no " << text.toStdString() << " on the page";
            return QRectF();
        };
        const QRectF item = box(QStringLiteral("Prvy"));
        for (const QString& label : {QStringLiteral("1."), QStringLiteral("2."), QStringLiteral("3.")}) {
            const QRectF r = box(label);
            EXPECT_NEAR(r.height(), item.height(), 1) << label.toStdString();
            EXPECT_LT(r.right(), item.left()) << label.toStdString();
            EXPECT_GT(r.left(), item.left() - 36) << label.toStdString(); // within the half inch before
        }
        EXPECT_NEAR(box(QStringLiteral("2.")).top(), box(QStringLiteral("Druhy")).top(), 1);
        const auto pictures = pdfPictureWidths(pdf);
        ASSERT_EQ(pictures.size(), 1u);
        EXPECT_NEAR(pictures[0], 72, 2);
    }
}

TEST_F(PrintTest, APageBreakStartsANewPage)
{
    QByteArray rtf = "{\\rtf1\\ansi jeden\\par\\page dva\\par tri\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.setStreamFormat(StreamFormat::RichText);
    edit.LoadStream(buffer);
    auto printer = pdfPrinter();
    EXPECT_EQ(print(*printer), 2);
    const QStringList pages = popplerOutput(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).split(u'\f');
    ASSERT_GE(pages.size(), 2);
    EXPECT_EQ(pages[0].simplified(), QStringLiteral("jeden"));
    EXPECT_EQ(pages[1].simplified(), QStringLiteral("dva tri"));
}

TEST_F(PrintTest, ADocumentPrintsOnItsPaperWithinItsMargins)
{
    // Landscape A5 with margins of an inch; the printer is set to portrait A4.
    QByteArray rtf = "{\\rtf1\\ansi\\paperw11906\\paperh8391\\landscape\\margl1440\\margr1440\\margt1440\\margb1440 "
                     "Prvé slovo\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.setStreamFormat(StreamFormat::RichText);
    edit.LoadStream(buffer);
    auto printer = pdfPrinter();
    printer->setResolution(300);
    print(*printer);
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Page size:\s+595[\d.]* x 4(19|20)[\d.]* )")))) << info.toStdString();
    const auto words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    EXPECT_NEAR(words[0].second.left(), 72, 1);
    EXPECT_GT(words[0].second.top(), 71);
    EXPECT_LT(words[0].second.top(), 80);
    // The printer's own paper comes back for the next job.
    EXPECT_EQ(printer->pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(printer->pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(PrintTest, ADocumentThatStatesNoMarginsPrintsWithinRtfsDefaultOnes)
{
    // 1.25 inches at the sides and an inch above, as other word processors print such a file,
    // not at the printer's edge.
    edit.setText(QStringLiteral("Prvé slovo ") + QStringLiteral("dlhého riadku ").repeated(40));
    auto printer = pdfPrinter();
    printer->setResolution(300);
    print(*printer);
    const auto words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    EXPECT_NEAR(words[0].second.left(), 90, 1);
    EXPECT_GT(words[0].second.top(), 71);
    EXPECT_LT(words[0].second.top(), 80);
    double right = 0;
    for (const auto& [text, box] : words)
        right = std::max(right, box.right());
    EXPECT_LE(right, 595.3 - 90 + 1);
    EXPECT_GT(right, 595.3 - 90 - 60); // the lines fill the width between the margins
}

TEST_F(PrintTest, TableCellsPrintSideBySideARowStaysOnOnePageAndTheHeaderRowRepeats)
{
    // 40 rows four lines tall, then one row taller than a page.
    QTextCursor c(edit.view().document());
    QTextTable* table = test::insertTable(c, 41, {2400, 2400, 2400});
    for (int r = 0; r < 40; ++r)
        table->cellAt(r, 1).lastCursorPosition().insertText(QStringLiteral("\nr%1p1\nr%1p2\nr%1p3").arg(r));
    QStringList tall;
    for (int k = 0; k < 90; ++k)
        tall << QStringLiteral("t%1").arg(k);
    table->cellAt(40, 2).lastCursorPosition().insertText(u'\n' + tall.join(u'\n'));
    QTextCharFormat header = table->cellAt(0, 0).format();
    header.setProperty(tableprop::RowHeader, true);
    table->cellAt(0, 0).setFormat(header);
    auto printer = pdfPrinter();
    const int pages = print(*printer);
    EXPECT_GE(pages, 4);
    const QStringList pageTexts = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                      .split(u'\f');
    auto pageOf = [&](const QString& word) {
        for (int p = 0; p < pageTexts.size(); ++p) {
            if (pageTexts[p].contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(word))))
                return p;
        }
        return -1;
    };
    // Side by side: a row's cells on one printed line, in order.
    static const QRegularExpression sideBySide(QStringLiteral("r7c0\\s+r7c1\\s+r7c2"));
    EXPECT_TRUE(pageTexts.join(QString()).contains(sideBySide)) << pageTexts.join(QString()).left(2000).toStdString();
    for (int r = 0; r < 40; ++r) {
        ASSERT_GE(pageOf(test::cellText(r, 0)), 0) << r;
        EXPECT_EQ(pageOf(QStringLiteral("r%1p3").arg(r)), pageOf(test::cellText(r, 0))) << "row " << r << " split";
    }
    // The header row starts every page the table goes on to.
    for (int p = 1; p < pages; ++p)
        EXPECT_TRUE(pageTexts[p].trimmed().startsWith(test::cellText(0, 0))) << "page " << p;
    // The row taller than a page goes on over pages, every line once.
    EXPECT_GT(pageOf(QStringLiteral("t89")), pageOf(QStringLiteral("t0")));
    for (const QString& t : tall)
        EXPECT_EQ(pageTexts.join(QString()).count(QRegularExpression(QStringLiteral("\\b%1\\b").arg(t))), 1) << t.toStdString();
}

// A date and a page-number field print their value now, not the result the file held (which
// is still in the PDF's text, clipped away); the document keeps the held result.
TEST_F(PrintTest, DateAndPageFieldsPrintTheirValueNow)
{
    QByteArray rtf = "{\\rtf1\\ansi Dnes {\\field{\\*\\fldinst DATE \\\\@ \"d.M.yyyy\"}{\\fldrslt 1.1.2000}}, "
                     "strana {\\field{\\*\\fldinst PAGE}{\\fldrslt 9}}.\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    auto printer = pdfPrinter();
    EXPECT_EQ(print(*printer), 1);
    const QString text = pdfText(pdf);
    if (text.isEmpty())
        GTEST_SKIP() << "no PDF text tool";
    const QString today = QDate::currentDate().toString(QStringLiteral("d.M.yyyy"));
    EXPECT_TRUE(text.contains(today)) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("strana\\s+1\\b"))) << text.toStdString();
    EXPECT_TRUE(edit.document().text().contains(QStringLiteral("1.1.2000")));
}

TEST_F(PrintTest, FootnotesPrintAtTheFootOfTheirPageAndEndnotesAfterTheText)
{
    QByteArray rtf = "{\\rtf1\\ansi Telo{\\super\\chftn}{\\footnote\\pard\\plain Prv\\'e1 pozn\\'e1mka.} vety.\\par ";
    for (int i = 1; i <= 5; ++i)
        rtf += "Odsek " + QByteArray::number(i) + ".\\par ";
    rtf += "Koniec{\\super\\chftn}{\\footnote\\ftnalt Vysvetlivka na konci.}.\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    auto printer = pdfPrinter();
    EXPECT_EQ(print(*printer), 2);
    const QStringList pages = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                  .split(u'\f');
    ASSERT_GE(pages.size(), 2);
    const QStringList first = pages[0].split(u'\n', Qt::SkipEmptyParts);
    // The reference shows its number; the note is the page's last line, after it.
    EXPECT_TRUE(pages[0].contains(QRegularExpression("Telo\\s*1\\s+vety\\."))) << pages[0].toStdString();
    EXPECT_EQ(first.last().trimmed(), QStringLiteral("Prvá poznámka.")) << pages[0].toStdString();
    EXPECT_TRUE(pages[0].contains(QRegularExpression("Odsek 5\\.[\\s\\S]*Koniec[\\s\\S]*\\n\\s*1\\s*Prvá poznámka"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(QRegularExpression("^\\s*i\\s*Vysvetlivka na konci\\."))) << pages[1].toStdString();
    EXPECT_FALSE(pages[0].contains("Vysvetlivka"));
}

TEST_F(PrintTest, SectionsPrintOnTheirPaperWithTheirHeadersAndPageNumbers)
{
    // A portrait section with a header naming the file and a footer of page fields, then a
    // landscape one with its own header (its footer the first section's).
    QByteArray rtf = "{\\rtf1\\ansi\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1417\\margb1417"
                     "{\\header Prva hlavicka {\\field{\\*\\fldinst FILENAME}{\\fldrslt #}}\\par}{\\footer Strana {\\field{\\*\\fldinst PAGE}{\\fldrslt #}} z "
                     "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt #}}\\par}Na vysku\\par\\sect\\sectd\\lndscpsxn"
                     "\\pgwsxn16838\\pghsxn11906{\\header Druha hlavicka\\par}Na sirku\\par}";
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    edit.LoadStream(buffer);
    auto printer = pdfPrinter();
    EXPECT_EQ(edit.Print(QStringLiteral("ZORIM"), *printer, QStringLiteral("list.rtf")), 2);
    const QStringList pages = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                  .split(u'\f');
    ASSERT_GE(pages.size(), 2);
    // The fields' results stay in the file under their values (clipped away), and a value takes
    // its result's width: both left out here, with the spaces.
    const auto shown = [](QString page) { return page.remove(u'#').remove(QRegularExpression("\\s")); };
    EXPECT_EQ(shown(pages[0]), QStringLiteral("Prvahlavickalist.rtfNavyskuStrana1z2")) << pages[0].toStdString();
    EXPECT_EQ(shown(pages[1]), QStringLiteral("DruhahlavickaNasirkuStrana2z2")) << pages[1].toStdString();
    const QString info = popplerOutput(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                                   QStringLiteral("-l"), QStringLiteral("2"), pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Page\s+1 size:\s+595[\d.]* x 84[12])")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Page\s+2 size:\s+84[12][\d.]* x 595)")))) << info.toStdString();
}
