// Printing: one job, every page of the document over the printable area, pages following
// until the text ends, read back from the PDF the printer wrote.
#include "QStringPrinter.h"
#include "richtext/RichEdit.h"
#include "richtext/RichPrint.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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
