// The program's windows: created once, in order, each with its caption; a failing one is
// reported and the rest are still created.
#include "FormsTestSupport.h"
#include "forms/Program.h"
#include "forms/dialogs/AboutBox.h"
#include "forms/dialogs/HyperlinkDialog.h"
#include "forms/dialogs/CalculatorWindow.h"
#include "forms/dialogs/PageSetupDialog.h"
#include "forms/dialogs/GoToLineDialog.h"
#include "forms/dialogs/HelpWindow.h"
#include "forms/dialogs/ClipboardViewer.h"
#include "forms/dialogs/ReplaceDialog.h"
#include "forms/dialogs/FindDialog.h"
#include "forms/dialogs/StatisticsDialog.h"

#include <stdexcept>

using namespace zorim;
using namespace zorim::test;

namespace {
class ProgramTest : public MainWindowTest {};
}

TEST_F(ProgramTest, CreatesEveryWindowWithItsCaptionAndShowsOnlyTheMainWindow)
{
    const auto w = createWindows(platform, settings, {});
    ASSERT_TRUE(w->mainWindow);
    EXPECT_TRUE(w->mainWindow->isVisible());
    EXPECT_EQ(w->mainWindow->windowTitle(), QStringLiteral("ZORIM"));
    EXPECT_EQ(w->mainWindow->document().title(), QStringLiteral("ZORIM - Dokument"));

    const std::pair<QWidget*, QString> others[] = {
        {w->aboutBox.get(), QStringLiteral("O programe")},
        {w->pageSetup.get(), QStringLiteral("Nastavenie programu")},
        {w->goToLine.get(), QStringLiteral("Riadok")},
        {w->help.get(), QStringLiteral("Ako pracovať s programom?")},
        {w->clipboardViewer.get(), QStringLiteral("Obsah schránky")},
        {w->replace.get(), QStringLiteral("Nahradiť text")},
        {w->find.get(), QStringLiteral("Hľadať text")},
        {w->statistics.get(), QStringLiteral("Štatistika dokumentu")},
        {w->hyperlink.get(), QStringLiteral("Vložiť hypertextový odkaz")},
        {w->calculator.get(), QStringLiteral("Kalkulačka")},
    };
    for (const auto& [window, caption] : others) {
        ASSERT_NE(window, nullptr) << caption.toStdString();
        EXPECT_EQ(window->windowTitle(), caption);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(platform.shown().size(), 0u);
}

TEST_F(ProgramTest, MainWindowIsShownAlsoAfterAFailedStartupStep)
{
    folder.remove(QStringLiteral("tab.ini"));
    const auto w = createWindows(platform, settings, {});
    EXPECT_EQ(platform.errors(), QStringList{QStringLiteral("File not found")});
    ASSERT_TRUE(w->mainWindow);
    EXPECT_TRUE(w->mainWindow->isVisible());
    EXPECT_TRUE(w->calculator);
}

TEST_F(ProgramTest, FailureWhileCreatingAWindowIsShownAndCreationGoesOn)
{
    QStringList created;
    createInOrder(platform, {
        [&] { created << QStringLiteral("first"); },
        [&] { throw SettingsError(QStringLiteral("File not found")); },
        [&] { throw std::runtime_error("Cannot open file /x/help1.zrm"); },
        [&] { created << QStringLiteral("last"); },
    });
    EXPECT_EQ(created, (QStringList{QStringLiteral("first"), QStringLiteral("last")}));
    EXPECT_EQ(platform.errors(), (QStringList{QStringLiteral("File not found"), QStringLiteral("Cannot open file /x/help1.zrm")}));
}
