// The print command: the print dialog, one job named with the window's own text, the whole
// document; a cancelled dialog prints nothing and a refused job is reported.
#include "FormsTestSupport.h"
#include "TestSupport.h"
#include "forms/commands/FileCommands.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest/QTest>

using namespace zorim;
using namespace zorim::test;

namespace {

class PrintCommandsTest : public MainWindowTest {
protected:
    QTemporaryDir out;
    QString pdf = out.filePath(QStringLiteral("tlač.pdf"));
};

} // namespace

TEST_F(PrintCommandsTest, F5PrintsTheWholeDocumentAsOneJobNamedZorim)
{
    const QString letter = sharedTestData(QStringLiteral("rtf/libreoffice/letter.rtf"));
    const auto form = start({letter});
    ASSERT_GT(form->RichEdit1->TextLength(), 100);
    platform.printToFile = pdf;
    platform.answerPrint(true);
    form->RichEdit1->widget()->setFocus();
    QTest::keyClick(form->RichEdit1->widget(), Qt::Key_F5);
    ASSERT_NE(form->commands().file.PrintDialog1(), nullptr);
    EXPECT_EQ(form->commands().file.PrintDialog1()->docName(), QStringLiteral("ZORIM"));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
    EXPECT_TRUE(platform.errors().isEmpty());
}

TEST_F(PrintCommandsTest, CancelledDialogPrintsNothingAndAFailedJobIsReported)
{
    const auto form = start();
    form->RichEdit1->setText(QStringLiteral("text"));
    platform.printToFile = pdf;
    platform.answerPrint(false);
    form->printButton->click();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(platform.errors().isEmpty());

    platform.printToFile = out.filePath(QStringLiteral("chýba/tlač.pdf"));
    platform.answerPrint(true);
    form->printItem->trigger();
    EXPECT_EQ(platform.errors().size(), 1u);
}

// "Ukážka pred tlačou" follows "Vytlačiť" and shows the pages printing gives: drawn by the
// same code, on the print dialog's printer.
TEST_F(PrintCommandsTest, PrintPreviewShowsThePagesPrintingGives)
{
    const auto form = start();
    EXPECT_EQ(form->printPreviewItem->objectName(), QStringLiteral("Ukkapredtlaou1"));

    form->RichEdit1->setText(QStringLiteral("riadok\n").repeated(200));
    platform.printToFile = pdf;
    form->printPreviewItem->trigger();
    ASSERT_EQ(platform.shown().size(), 1u);
    EXPECT_EQ(platform.shown()[0].kind, ScriptedPlatform::Kind::PrintPreview);
    const auto pages = [this] {
        QFile file(pdf);
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).count(page) : 0;
    };
    const qsizetype previewed = pages();
    QFile::remove(pdf);
    platform.answerPrint(true);
    form->printItem->trigger();
    EXPECT_GT(previewed, 1);
    EXPECT_EQ(pages(), previewed);
    EXPECT_TRUE(platform.errors().isEmpty());
}
