// The print command: the print dialog, one job named with the window's own text, the whole
// document; a cancelled dialog prints nothing and a refused job is reported.
#include "FormsTestSupport.h"
#include "TestSupport.h"
#include "forms/commands/FileCommands.h"

#include <QFile>
#include <QPrinter>
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
