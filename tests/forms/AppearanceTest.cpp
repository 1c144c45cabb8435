// Colour themes, easy mode, the painted caption bar and the tray icon.
#include "FormsTestSupport.h"
#include "forms/widgets/ColorStrip.h"
#include "forms/commands/CommandUi.h"
#include "richtext/document/DocFormats.h"

#include <QApplication>
#include <cmath>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>
#include <QImage>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

using namespace zorim;
using namespace zorim::test;

namespace {

class AppearanceTest : public MainWindowTest {
protected:
    static QColor window(const QWidget* w) { return w->palette().color(QPalette::Window); }
    static QColor rgb(int r, int g, int b) { return QColor(r, g, b); }
    // Whether a toolbar's button or box is shown by its toolbar.
    static bool onToolBar(const QWidget* w)
    {
        const auto* bar = qobject_cast<const QToolBar*>(w->parentWidget());
        for (QAction* a : bar->actions())
            if (bar->widgetForAction(a) == w)
                return a->isVisible();
        return false;
    }
};

TEST_F(AppearanceTest, EachThemeSetsItsSevenColours)
{
    struct Case {
        QAction* MainWindowControls::*item;
        int number;
        QColor caption, frame, editor;
    };
    const Case cases[] = {
        {&MainWindowControls::redSkinItem, 1, rgb(255, 155, 155), rgb(255, 155, 155), rgb(255, 234, 234)},
        {&MainWindowControls::standardExtraSkinItem, 3, rgb(155, 155, 255), colorFromRef(kClMenu), rgb(244, 244, 244)},
        {&MainWindowControls::blueSkinItem, 4, rgb(155, 155, 255), rgb(155, 155, 255), rgb(234, 234, 255)},
        {&MainWindowControls::blackSkinItem, 5, rgb(85, 85, 85), rgb(85, 85, 85), rgb(196, 196, 196)},
        {&MainWindowControls::pinkSkinItem, 6, rgb(255, 170, 213), rgb(255, 170, 213), rgb(255, 234, 244)},
        {&MainWindowControls::greenSkinItem, 7, rgb(170, 255, 170), rgb(170, 255, 170), rgb(234, 255, 234)},
        {&MainWindowControls::yellowSkinItem, 8, rgb(255, 255, 0), rgb(255, 255, 0), rgb(255, 255, 234)},
    };
    auto form = start();
    for (const Case& c : cases) {
        ((*form).*c.item)->trigger();
        const std::string theme = std::to_string(c.number);
        EXPECT_EQ(folder.read(QStringLiteral("skin.ini")), QByteArray::number(c.number)) << theme;
        EXPECT_EQ(form->appliedSkin(), c.number);
        EXPECT_EQ(form->CaptionBar1->background(), c.caption) << theme;
        EXPECT_EQ(form->CaptionBar1->inactiveText(), c.caption) << theme;
        EXPECT_EQ(window(form->ControlBar1), c.frame) << theme;
        EXPECT_EQ(window(form->centralWidget()), c.frame) << theme;
        EXPECT_EQ(window(form->StatusBar1), c.frame) << theme;
        EXPECT_EQ(colorFromRef(form->RichEdit1->Color()), c.editor) << theme;
        EXPECT_EQ(form->RichEdit1->widget()->viewport()->palette().color(QPalette::Base), c.editor) << theme;
        EXPECT_EQ(colorFromRef(form->horizontalScrollBarColor()), c.editor) << theme;
    }
    // Only the frame parts and the document follow the theme.
    EXPECT_EQ(window(form->mainMenu), QApplication::palette().color(QPalette::Window));
    EXPECT_EQ(form->backgroundColorStrip->color(), colorFromRef(kClWindow));
}

TEST_F(AppearanceTest, StandardThemeFollowsTheDesktopsColours)
{
    auto form = start();
    form->standardSkinItem->trigger();
    EXPECT_EQ(form->frameColor(), kClMenu);
    EXPECT_EQ(form->editorColor(), kClWindow);
    const QPalette before = QApplication::palette();
    QPalette changed = before;
    changed.setColor(QPalette::Window, rgb(10, 20, 30));
    changed.setColor(QPalette::Base, rgb(40, 50, 60));
    QApplication::setPalette(changed);
    // A running application tells every window; the test's application is not running.
    QEvent notice(QEvent::ApplicationPaletteChange);
    QApplication::sendEvent(form.get(), &notice);
    EXPECT_EQ(window(form->ControlBar1), rgb(10, 20, 30));
    EXPECT_EQ(window(form->StatusBar1), rgb(10, 20, 30));
    EXPECT_EQ(form->RichEdit1->widget()->viewport()->palette().color(QPalette::Base), rgb(40, 50, 60));
    QApplication::setPalette(before);
}

// On a dark desktop scheme the document's automatic text is drawn dark on every theme's light
// page, and each theme's title and status bar read on their bars: seen in the pixels.
TEST_F(AppearanceTest, DarkDesktopKeepsTheDocumentAndTheTitleReadable)
{
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, rgb(40, 40, 40));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        dark.setColor(role, rgb(238, 238, 238));
    QApplication::setPalette(dark);
    auto form = start();
    form->show();
    typeText(form->RichEdit1->widget(), QStringLiteral("MMMMMMMM"));
    form->RichEdit1->SelectAll();
    form->RichEdit1->SelectionAttributes().setColor(kClWindowText); // the automatic colour
    form->RichEdit1->setSelectionStart(0);
    // The contrast between a colour and the pixel of the picture that differs most from it.
    const auto luminance = [](QColor c) {
        const auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const auto contrast = [&](QWidget* w, QColor background, QRect part = {}) {
        const QImage image = w->grab(part.isValid() ? part : w->rect()).toImage();
        double best = 1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double a = luminance(image.pixelColor(x, y)), b = luminance(background);
                best = std::max(best, (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05));
            }
        return best;
    };
    CaptionBar& bar = *form->CaptionBar1;
    const QRect title(30, 0, 120, bar.height()); // past the icon, before the buttons
    for (QAction* theme : {form->redSkinItem, form->blackSkinItem, form->standardSkinItem, form->standardExtraSkinItem,
                           form->blueSkinItem, form->pinkSkinItem, form->greenSkinItem, form->yellowSkinItem}) {
        theme->trigger();
        const std::string name = theme->text().toStdString();
        EXPECT_GE(contrast(form->RichEdit1->widget()->viewport(), colorFromRef(form->editorColor())), 7) << name;
        bar.setActive(true);
        EXPECT_GE(contrast(&bar, bar.background(), title), 7) << name;
        bar.setActive(false);
        EXPECT_GE(contrast(&bar, bar.background(), title), 2) << name;
        // The status bar's file panel, inside its bevel.
        const QRect file = form->StatusBar1->panel(1)->geometry().adjusted(3, 3, -3, -3);
        EXPECT_GE(contrast(form->StatusBar1, window(form->StatusBar1), file), 4.5) << name;
    }
    QApplication::setPalette(before);
}

TEST_F(AppearanceTest, BlueFromTheLayoutsColoursChangesOnlyStatusBarAndScrollBar)
{
    folder.write(QStringLiteral("skin.ini"), "9");
    auto form = start();
    ASSERT_EQ(form->appliedSkin(), 0);
    EXPECT_EQ(form->statusBarColor(), kClBtnFace);
    EXPECT_EQ(form->horizontalScrollBarColor(), 0x00FF9B9Bu);
    const ColorRef caption = form->captionColor(), frame = form->frameColor(), editor = form->editorColor();
    form->blueSkinItem->trigger();
    EXPECT_EQ(form->captionColor(), caption);
    EXPECT_EQ(form->frameColor(), frame);
    EXPECT_EQ(form->editorColor(), editor);
    EXPECT_EQ(form->statusBarColor(), 0x00FF9B9Bu);
    EXPECT_EQ(form->horizontalScrollBarColor(), 0x00FFEAEAu);
}

TEST_F(AppearanceTest, FailedThemeWriteKeepsTheColoursAndShowsTheMessage)
{
    auto form = start();
    QFile::remove(folder.path() + QStringLiteral("/data/skin.ini"));
    QDir(folder.path() + QStringLiteral("/data")).mkdir(QStringLiteral("skin.ini")); // a folder in its place
    form->blackSkinItem->trigger();
    EXPECT_EQ(form->appliedSkin(), 5);
    EXPECT_EQ(platform.errors(), QStringList({"File access denied"}));
}

TEST_F(AppearanceTest, EasyModeCommandSwitchesTheWholeSetUpBothWays)
{
    auto form = start();
    form->show();
    form->easyModeItem->trigger();
    EXPECT_TRUE(form->easyModeItem->isChecked());
    EXPECT_TRUE(form->RichEdit1->PlainText());
    EXPECT_TRUE(form->borderResizable());
    EXPECT_EQ(form->RichEdit1->width(), form->centralWidget()->width());
    EXPECT_EQ(folder.read(QStringLiteral("easy.ini")), QByteArray("0"));
    for (QWidget* w : std::initializer_list<QWidget*>{form->boldButton, form->alignRightButton, form->bulletsButton,
                                                      form->textColorButton, form->indentLessButton, form->hyperlinkButton,
                                                      form->fontNameBox, form->fontSizeBox})
        EXPECT_FALSE(onToolBar(w)) << w->objectName().toStdString();
    EXPECT_TRUE(onToolBar(form->backgroundColorButton));
    EXPECT_FALSE(form->textColorStrip->isVisible());
    EXPECT_TRUE(form->backgroundColorStrip->isVisible());
    for (QAction* a : {form->fontItem, form->alignMenu->menuAction(), form->fontSeparator, form->pageSetupItem, form->plainTextItem})
        EXPECT_FALSE(a->isVisible());
    EXPECT_FALSE(form->easyModeItem->isVisible()); // the item itself stays hidden

    form->easyModeItem->trigger();
    EXPECT_FALSE(form->easyModeItem->isChecked());
    EXPECT_FALSE(form->RichEdit1->PlainText());
    EXPECT_FALSE(form->borderResizable());
    EXPECT_EQ(form->RichEdit1->geometry(), QRect(8, 61, 638, 500));
    EXPECT_EQ(folder.read(QStringLiteral("easy.ini")), QByteArray("1"));
    EXPECT_TRUE(onToolBar(form->boldButton));
    EXPECT_TRUE(form->textColorStrip->isVisible());
    EXPECT_TRUE(form->plainTextItem->isVisible());
}

TEST_F(AppearanceTest, CaptionBarShowsTheTitleInItsColoursAndOffersTheTrayMenu)
{
    auto form = start();
    form->show();
    CaptionBar& bar = *form->CaptionBar1;
    EXPECT_EQ(bar.title(), QStringLiteral("ZORIM - Dokument"));
    EXPECT_EQ(bar.font().family(), QStringLiteral("Verdana"));
    EXPECT_TRUE(bar.font().bold());
    EXPECT_EQ(bar.font().pixelSize(), 13);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("ZORIM"));

    bar.setActive(true);
    EXPECT_EQ(bar.titleColor(), QColor(Qt::black));
    bar.setActive(false);
    EXPECT_EQ(bar.titleColor(), rgb(77, 77, 127)); // dimmed halfway toward the bar

    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(100, 8));
    EXPECT_TRUE(form->trayMenu->isVisible());
    form->trayMenu->close();
}

TEST_F(AppearanceTest, DraggingTheCaptionBarMovesTheWindow)
{
    auto form = start();
    form->show();
    form->move(100, 100);
    const QPoint before = form->pos();
    CaptionBar& bar = *form->CaptionBar1;
    const QPoint start(60, 8);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, bar.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&bar, &e);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(40, 30), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + QPoint(40, 30), Qt::NoButton);
    // Where the window system moves the window itself, it does so after the press.
    if (form->pos() != before) {
        EXPECT_EQ(form->pos(), before + QPoint(40, 30));
    }
}

TEST_F(AppearanceTest, TrayIconCarriesTheNameAndTheTrayMenu)
{
    auto form = start();
    EXPECT_TRUE(platform.trayShown());
    EXPECT_EQ(platform.trayToolTip(), QStringLiteral("ZORIM"));
    EXPECT_EQ(platform.trayMenu(), form->trayMenu);
    // The tray menu's items run the toolbar's and the exit item's commands.
    QStringList ran;
    QObject::connect(&form->commandUi(), &CommandUi::running, [&](const char* name) { ran << QString::fromLatin1(name); });
    // New and the exit both ask first; each is cancelled.
    platform.answerQuestion(Answer::Cancel);
    form->trayNewItem->trigger();
    platform.answerQuestion(Answer::Cancel);
    form->trayExitItem->trigger();
    EXPECT_EQ(ran, QStringList({"Nov3", "Koniec1"}));
    EXPECT_EQ(platform.questions(), QStringList({"Chcete uložiť rozpísaný dokument?", "Chcete uložiť rozpísaný dokument?"}));
    form.reset();
    EXPECT_FALSE(platform.trayShown());
}

} // namespace
