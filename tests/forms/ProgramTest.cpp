// The program's windows: created once, in order, each with its caption; a failing one is
// reported and the rest are still created.
#include "FormsTestSupport.h"
#include "forms/Project2.h"
#include "forms/TAboutBox.h"
#include "forms/TForm10.h"
#include "forms/TForm11.h"
#include "forms/TForm3.h"
#include "forms/TForm4.h"
#include "forms/TForm5.h"
#include "forms/TForm6.h"
#include "forms/TForm7.h"
#include "forms/TForm8.h"
#include "forms/TForm9.h"

#include <stdexcept>

using namespace zorim;
using namespace zorim::test;

namespace {
class ProgramTest : public MainWindowTest {};
}

TEST_F(ProgramTest, CreatesEveryWindowWithItsCaptionAndShowsOnlyTheMainWindow)
{
    const auto w = createWindows(platform, settings, {});
    ASSERT_TRUE(w->Form1);
    EXPECT_TRUE(w->Form1->isVisible());
    EXPECT_EQ(w->Form1->windowTitle(), QStringLiteral("ZORIM"));
    EXPECT_EQ(w->Form1->document().title(), QStringLiteral("ZORIM - Dokument"));

    const std::pair<QWidget*, QString> others[] = {
        {w->AboutBox.get(), QStringLiteral("O programe")},
        {w->Form3.get(), QStringLiteral("Nastavenie programu")},
        {w->Form4.get(), QStringLiteral("Riadok")},
        {w->Form5.get(), QStringLiteral("Ako pracovať s programom?")},
        {w->Form6.get(), QStringLiteral("Obsah schránky")},
        {w->Form7.get(), QStringLiteral("Nahradiť text")},
        {w->Form8.get(), QStringLiteral("Hľadať text")},
        {w->Form9.get(), QStringLiteral("Štatistika dokumentu")},
        {w->Form10.get(), QStringLiteral("Vložiť hypertextový odkaz")},
        {w->Form11.get(), QStringLiteral("Kalkulačka")},
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
    ASSERT_TRUE(w->Form1);
    EXPECT_TRUE(w->Form1->isVisible());
    EXPECT_TRUE(w->Form11);
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
