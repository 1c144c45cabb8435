// The main window as a user sees it: the client area and its parts in place, nothing
// overlapping or cut, and a picture of the shown window that is neither empty nor blank. Run
// once at the normal scale and once more at twice the scale (QT_SCALE_FACTOR=2).
#include "FormsTestSupport.h"
#include "forms/widgets/ColorStrip.h"
#include "forms/widgets/ToolBarHandle.h"
#include "richtext/document/DocFormats.h"
#include "forms/dialogs/HelpWindow.h"

#include <QApplication>
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextDocument>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QSet>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

using namespace zorim;
using namespace zorim::test;

namespace {

class WindowLookTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        form = start();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    // The rectangle of a child in the client area's coordinates.
    QRect inClient(const QWidget* w) const
    {
        return QRect(w->mapTo(form->centralWidget(), QPoint(0, 0)), w->size());
    }
    std::unique_ptr<MainWindow> form;
};

TEST_F(WindowLookTest, ClientAreaHoldsItsPartsWhereTheLayoutPutsThem)
{
    QWidget* client = form->centralWidget();
    EXPECT_EQ(client->size(), QSize(792, 554));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()); // a fixed border
    EXPECT_EQ(inClient(form->ControlBar1), QRect(0, 0, 792, 60));
    EXPECT_EQ(inClient(form->RichEdit1), QRect(8, 61, 777, 470));
    EXPECT_EQ(inClient(form->StatusBar1), QRect(0, 535, 792, 19));
    // The window's focus widget: it has the keyboard once the window is active, which without
    // a window manager it never becomes.
    EXPECT_EQ(form->focusWidget(), form->RichEdit1->widget());
    // Centred on the screen.
    const QRect screen = form->screen()->availableGeometry();
    EXPECT_LE(std::abs(form->frameGeometry().center().x() - screen.center().x()), 2);
}

TEST_F(WindowLookTest, ToolbarsSitInTwoRowsWithoutOverlapAndStripsLieAcrossTheirButtons)
{
    QToolBar* const bars[] = {form->ToolBar1, form->ToolBar4, form->ToolBar5, form->ToolBar6, form->ToolBar2, form->ToolBar3};
    for (QToolBar* a : bars) {
        const QRect r = inClient(a);
        EXPECT_TRUE(QRect(0, 0, 792, 60).contains(r)) << a->objectName().toStdString();
        for (QToolBar* b : bars) {
            if (a != b) {
                // Handles included.
                EXPECT_FALSE(r.adjusted(-ToolBarHandle::kWidth, 0, 0, 0).intersects(inClient(b))) << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
        }
        // Every button and box is inside its toolbar, whole.
        for (QWidget* w : a->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisible() && (qobject_cast<QToolButton*>(w) || qobject_cast<QComboBox*>(w))) {
                EXPECT_TRUE(a->rect().contains(w->geometry())) << w->objectName().toStdString();
            }
        }
    }
    for (auto [strip, button] : {std::pair{form->textColorStrip, form->textColorButton}, std::pair{form->backgroundColorStrip, form->backgroundColorButton}}) {
        const QRect s = inClient(strip), b = inClient(button);
        EXPECT_EQ(s.size(), QSize(18, 4));
        EXPECT_TRUE(s.left() >= b.left() && s.right() <= b.right()) << strip->objectName().toStdString();
        EXPECT_TRUE(s.top() <= b.bottom() && s.bottom() >= b.bottom() - 3) << strip->objectName().toStdString();
        EXPECT_TRUE(strip->isVisible());
    }
    EXPECT_EQ(form->textColorStrip->color(), QColor(Qt::black));
}

TEST_F(WindowLookTest, ToolbarsMoveByTheirHandlesWithinTheAreaAndTheStripsGoAlong)
{
    const auto handleOf = [](QToolBar* bar) {
        for (auto* h : bar->parentWidget()->findChildren<ToolBarHandle*>())
            if (h->geometry().right() + 1 == bar->x() && h->y() == bar->y())
                return h;
        return static_cast<ToolBarHandle*>(nullptr);
    };
    ToolBarHandle* indexes = handleOf(form->ToolBar3);
    ASSERT_NE(indexes, nullptr);
    EXPECT_TRUE(indexes->moveBarTo(QPoint(600, 40))); // along its row
    EXPECT_EQ(form->ToolBar3->pos(), QPoint(600, 30));
    EXPECT_FALSE(indexes->moveBarTo(QPoint(100, 30))); // onto the font toolbar: stays
    EXPECT_EQ(form->ToolBar3->pos(), QPoint(600, 30));
    EXPECT_TRUE(indexes->moveBarTo(QPoint(5000, 5000))); // never out of the area
    EXPECT_EQ(form->ToolBar3->geometry().right(), 791);
    EXPECT_EQ(form->ToolBar3->y(), 30);
    EXPECT_EQ(indexes->x() + ToolBarHandle::kWidth, form->ToolBar3->x()); // the handle goes along

    // The tool bar area's menu hides and shows a toolbar.
    form->indexToolBarItem->trigger();
    EXPECT_FALSE(form->ToolBar3->isVisible());
    EXPECT_FALSE(form->indexToolBarItem->isChecked());
    form->indexToolBarItem->trigger();
    EXPECT_TRUE(form->ToolBar3->isVisible());

    ToolBarHandle* fonts = handleOf(form->ToolBar2);
    ASSERT_NE(fonts, nullptr);
    ASSERT_TRUE(fonts->moveBarTo(QPoint(60, 30)));
    const QRect strip = inClient(form->textColorStrip), button = inClient(form->textColorButton);
    EXPECT_TRUE(strip.left() >= button.left() && strip.right() <= button.right());
}

TEST_F(WindowLookTest, StatusPanelsAndMenuTitlesAreReadableWhole)
{
    StatusBar& bar = *form->StatusBar1;
    const QString texts[] = {QStringLiteral(" 1234 /  56"), QString(), QStringLiteral("Zmenený"), QString(),
                             QStringLiteral("Dátum: 24.12.2026"), QStringLiteral("Čas: 23:59:59")};
    for (int i : {0, 2, 4, 5}) {
        const QLabel* p = bar.panel(i);
        const int needed = p->fontMetrics().horizontalAdvance(texts[i]) + 2 * p->frameWidth();
        EXPECT_LE(needed, p->width()) << i;
        EXPECT_LE(p->fontMetrics().height(), p->height()) << i;
        EXPECT_LE(inClient(p).right(), 791) << i;
    }
    // The size box shows four digits whole.
    const QLineEdit* size = form->fontSizeBox->lineEdit();
    EXPECT_LE(size->fontMetrics().horizontalAdvance(QStringLiteral("1638")) + 5, size->contentsRect().width());
    int right = 0;
    for (QAction* a : form->mainMenu->actions())
        right = std::max(right, form->mainMenu->actionGeometry(a).right());
    EXPECT_LT(right, form->mainMenu->width());
}

TEST_F(WindowLookTest, PictureOfTheWindowShowsItsParts)
{
    QApplication::processEvents();
    const QImage image = form->grab().toImage();
    ASSERT_FALSE(image.isNull());
    const qreal scale = image.devicePixelRatio();
    EXPECT_EQ(image.size(), form->size() * scale);

    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20); // not blank: text, icons, frames

    // The caption bar in its colour, the tool bar area and the document in theirs.
    const auto at = [&](const QWidget* w, QPoint p) {
        const QPoint inWindow = w->mapTo(form.get(), p);
        return image.pixelColor(int(inWindow.x() * scale), int(inWindow.y() * scale));
    };
    EXPECT_EQ(at(form->CaptionBar1, QPoint(form->CaptionBar1->width() / 2 + 150, 2)), form->CaptionBar1->background());
    EXPECT_EQ(at(form->ControlBar1, QPoint(780, 58)), colorFromRef(form->frameColor()));
    EXPECT_EQ(at(form->RichEdit1, QPoint(400, 300)), colorFromRef(form->editorColor()));
    EXPECT_EQ(at(form->textColorStrip, QPoint(9, 2)), QColor(Qt::black));
    // Icons drawn: the bold button's picture is not its background alone.
    QSet<QRgb> bold;
    const QImage button = form->boldButton->grab().toImage();
    for (int y = 0; y < button.height(); ++y)
        for (int x = 0; x < button.width(); ++x)
            bold.insert(button.pixel(x, y));
    EXPECT_GT(bold.size(), 2);
}


// What the screen shows below a document's end after the document got shorter: only the
// editor's background, nothing left of the longer text (the window's own picture on the
// screen, not a fresh rendering).
TEST_F(WindowLookTest, BelowTheEndOfADocumentThatGotShorterIsOnlyBackground)
{
    const auto blankBelowEnd = [](QTextEdit* edit) {
        QWidget* view = edit->viewport();
        QApplication::processEvents();
        QTest::qWait(20);
        const QImage screen = view->screen()->grabWindow(view->window()->winId()).toImage();
        const qreal scale = screen.devicePixelRatio();
        const int end = int(edit->document()->documentLayout()->documentSize().height()) - edit->verticalScrollBar()->value();
        const QColor background = view->palette().color(QPalette::Base);
        int stale = 0;
        for (int y = std::max(0, end + 2); y < view->height(); y += 2)
            for (int x = 0; x < view->width(); x += 2) {
                const QPoint p = view->mapTo(view->window(), QPoint(x, y)) * scale;
                // (The headless screen gives the scaled window's first pixels only.)
                stale += screen.rect().contains(p) && screen.pixelColor(p) != background;
            }
        return stale;
    };

    HelpWindow help(platform, settings);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    help.Button5Click(); // "Ukladanie dokumentu."
    QApplication::processEvents();
    help.Button6Click(); // "Vytlačenie dokumentu.", shorter
    EXPECT_EQ(blankBelowEnd(help.RichEdit1->widget()), 0);
    help.hide();

    QStringList lines;
    for (int i = 0; i < 15; ++i)
        lines << QStringLiteral("odsek %1 ").arg(i).repeated(i % 7 + 1);
    RichEdit& doc = *form->RichEdit1;
    doc.setText(lines.join(QStringLiteral("\r\n")));
    QApplication::processEvents();
    doc.setSelectionStart(doc.LineStart(5));
    doc.setSelectionLength(doc.TextLength());
    QTest::keyClick(doc.widget(), Qt::Key_Delete);
    EXPECT_EQ(blankBelowEnd(doc.widget()), 0);
}

} // namespace
