#include "forms/mainwindow/MainWindow.h"

#include "forms/widgets/CaptionBar.h"
#include "forms/widgets/ColorStrip.h"
#include "forms/widgets/NotePane.h"
#include "forms/Errors.h"
#include "forms/mainwindow/Recovery.h"
#include "forms/widgets/StatusBar.h"
#include "forms/mainwindow/MainWindowLayout.h"
#include "forms/mainwindow/TerminationSignals.h"
#include "forms/commands/CommandUi.h"
#include "forms/commands/Commands.h"
#include "platform/Platform.h"
#include "richtext/document/DocumentFiles.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QSizeGrip>
#include <QTimer>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace zorim {
namespace {

using namespace layout;

std::vector<StatusBar::PanelLayout> statusPanels()
{
    using B = StatusBar::Bevel;
    return {
        {80, Qt::AlignHCenter, B::Lowered, QStringLiteral("0/0")},
        {300, Qt::AlignLeft, B::Lowered, QStringLiteral("Súbor")},
        {60, Qt::AlignHCenter, B::Lowered, QStringLiteral("Zmena")},
        {30, Qt::AlignLeft, B::None, QString()},
        {133, Qt::AlignHCenter, B::Raised, QStringLiteral("Dátum")},
        {99, Qt::AlignHCenter, B::Raised, QStringLiteral("Čas")},
    };
}

QFont verdana(int pixels)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(pixels);
    return font;
}

} // namespace

MainWindow::MainWindow(Platform& platform, SettingsStore& settings, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::FramelessWindowHint),
      platform_(platform),
      settings_(settings),
      arguments_(arguments),
      document_(platform),
      captionColor_(0x00FF9B9B),
      frameColor_(0x00FF9B9B),
      RichEdit1Color_(0x00FFEAEA),
      horzScrollBarColor_(0x00FF9B9B),
      statusBarColor_(kClBtnFace)
{
    buildWindow();
    startRecovery();
    FormCreate();
    // Placed before the recovery question, which stands in the middle of its window.
    centreOnScreen();
    offerRecovery();
}

MainWindow::~MainWindow()
{
    platform_.hideTrayIcon();
    // The controls are destroyed after this: their notices must not reach a half-gone window.
    RichEdit1->disconnect(this);
    RichEdit1->widget()->disconnect(this);
    // The key routing and the handlers refer to the controls: they go first.
    delete commandUi_;
    commandUi_ = nullptr;
    delete RichEdit2;
    delete RichEdit3;
}

void MainWindow::buildWindow()
{
    setWindowTitle(QStringLiteral("ZORIM"));
    setWindowIcon(CommandUi::icon(":/icons/zorim.svg"));
    setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    setFont(verdana(11));

    QMenuBar* menuBar = buildCaptionAndMenuBar();
    QWidget* controlBar = buildClientArea();
    buildCommands(menuBar, controlBar);
    connectEditor();
    connectMenusAndPanels(controlBar);
    platform_.showTrayIcon(windowIcon(), QStringLiteral("ZORIM"), trayMenu);

    applyThemeColors();
    resize(kClientWidth + 2 * kBorder, kClientHeight + menuWidget()->sizeHint().height() + 2 * kBorder);
    setBorderResizable(false);
    refreshCommandState();
    RichEdit1->setFocus();
}

// Above the client area: the painted caption bar and the main menu.
QMenuBar* MainWindow::buildCaptionAndMenuBar()
{
    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    CaptionBar1 = new CaptionBar(top);
    CaptionBar1->setIcon(windowIcon());
    topLayout->addWidget(CaptionBar1);
    auto* menuBar = new QMenuBar(top);
    menuBar->setNativeMenuBar(false);
    topLayout->addWidget(menuBar);
    setMenuWidget(top);
    connect(CaptionBar1, &CaptionBar::minimizeRequested, this, &QWidget::showMinimized);
    connect(CaptionBar1, &CaptionBar::maximizeRequested, this,
            [this] { isMaximized() ? showNormal() : showMaximized(); });
    connect(CaptionBar1, &CaptionBar::closeRequested, this, &QWidget::close);
    return menuBar;
}

// The editors, the tool bar area and the status bar; returns the tool bar area.
QWidget* MainWindow::buildClientArea()
{
    // The client area places its children itself, as the layout gives them.
    client_ = new QWidget(this);
    client_->setAutoFillBackground(true);
    client_->installEventFilter(this);
    setCentralWidget(client_);

    auto* controlBar = new QWidget(client_);
    controlBar->setObjectName(QStringLiteral("ControlBar1"));
    controlBar->setAutoFillBackground(true);
    controlBar->setContextMenuPolicy(Qt::CustomContextMenu);

    RichEdit1 = new RichEdit(client_, RichEdit::Kind::Document);
    RichEdit1->setGeometry(kEditorLeft, kEditorTop, kEditorWidth, kEditorHeight);
    RichEdit1->widget()->setFrameShape(QFrame::NoFrame);
    RichEdit1->widget()->setTabChangesFocus(false);
    RichEdit1->widget()->setContextMenuPolicy(Qt::CustomContextMenu);

    // A screen reader reads the document by this name.
    RichEdit1->widget()->setAccessibleName(QStringLiteral("Dokument"));

    // The scratch buffers are never shown: outside the window's widgets, so that nothing
    // (a screen reader walking the window either) meets them. The window deletes them.
    RichEdit2 = new RichEdit(nullptr, RichEdit::Kind::Simple);
    RichEdit2->setPlainText(true);
    RichEdit2->setGeometry(0, 0, 0, 0);
    RichEdit2->hide();
    RichEdit3 = new RichEdit(nullptr, RichEdit::Kind::Simple);
    RichEdit3->setGeometry(0, 0, 0, 0);
    RichEdit3->hide();

    notePane = new NotePane(*RichEdit1, client_);
    notePane->hide();
    StatusBar1 = new StatusBar(statusPanels(), client_);
    StatusBar1->setFont(verdana(11));
    StatusBar1->setAutoFillBackground(true);
    sizeGrip_ = new QSizeGrip(client_);
    sizeGrip_->hide();
    return controlBar;
}

void MainWindow::buildCommands(QMenuBar* menuBar, QWidget* controlBar)
{
    // Menus, context menus, toolbars and boxes, from the command table.
    commands_ = std::make_unique<Commands>(
        CommandContext{*this, document_, *RichEdit1, *RichEdit2, *RichEdit3, platform_, settings_, {}});
    commandUi_ = new CommandUi(*this, *commands_, this, [this](const std::exception& e) { showError(e); });
    commandUi_->build(menuBar, controlBar);
    // Every command sees the whole document: a long text still coming in is taken in first.
    connect(commandUi_, &CommandUi::running, this, [this] { RichEdit1->CompleteLoad(); });
    // A command may move the selection without any event of the editor (find, go to line
    // from a button): the display follows what every command left.
    connect(commandUi_, &CommandUi::ran, this, &MainWindow::requestSelectionChange);
    connect(contextMenu, &QMenu::aboutToShow, this, [this] {
        guarded([this] { commands_->insert.PopupMenu1Popup(); });
        guarded([this] { commands_->spelling.PopupMenu1Popup(); });
    });
    commands_->insert.PopupMenu1Popup();
    commands_->spelling.PopupMenu1Popup();
    for (int i = 0; i < fontNameBox->count(); ++i)
        fontIndex_.insert(fontNameBox->itemText(i).toLower(), i);

    textColorStrip = new ColorStrip(Qt::black, controlBar);
    backgroundColorStrip = new ColorStrip(QColor(240, 251, 255), controlBar);
    textColorStrip->setObjectName(QStringLiteral("Panel1"));
    backgroundColorStrip->setObjectName(QStringLiteral("Panel2"));
    textColorStrip->resize(kStripWidth, kStripHeight);
    backgroundColorStrip->resize(kStripWidth, kStripHeight);
    // The strips stay on their buttons however the toolbar lays the buttons out.
    textColorButton->installEventFilter(this);
    backgroundColorButton->installEventFilter(this);
    ToolBar2->installEventFilter(this);
    connect(textColorStrip, &ColorStrip::clicked, this, [this] { commandUi_->run("Panel1"); });
    connect(backgroundColorStrip, &ColorStrip::clicked, this, [this] { commandUi_->run("Panel2"); });
}

// The editor's events and notices.
void MainWindow::connectEditor()
{
    connect(RichEdit1, &RichEdit::OnChange, this, &MainWindow::RichEdit1Change);
    connect(RichEdit1, &RichEdit::OnKeyDown, this, &MainWindow::RichEdit1KeyDown);
    connect(RichEdit1, &RichEdit::OnKeyPress, this, &MainWindow::RichEdit1KeyPress);
    connect(RichEdit1, &RichEdit::OnKeyUp, this, &MainWindow::RichEdit1KeyUp);
    connect(RichEdit1, &RichEdit::OnMouseDown, this, &MainWindow::RichEdit1MouseDown);
    connect(RichEdit1, &RichEdit::LinesSettled, this, &MainWindow::UpdateCursorPos);
    // Undoing a switch of "Plain Text" puts its mark back with the mode.
    connect(RichEdit1, &RichEdit::PlainTextRestored, this, [this](bool on) { plainTextItem->setChecked(on); });
    connect(RichEdit1, &RichEdit::LeftOutOnLoad, this,
            [this](const LeftOut& leftOut) { platform_.message(this, leftOutMessage(leftOut)); });
    connect(RichEdit1, &RichEdit::OnURLClick, this, [this](const QString& url, Qt::MouseButton button) {
        guarded([&] { commands_->insert.RichEdit1URLClick(url, button); });
    });
    QTextEdit* view = RichEdit1->widget();
    connect(RichEdit1, &RichEdit::OnChange, this, &MainWindow::refreshCommandState);
    connect(view, &QTextEdit::selectionChanged, this, &MainWindow::refreshCommandState);
    // The note pane follows the caret however it moves (a command, a search, a click).
    connect(view, &QTextEdit::cursorPositionChanged, this, &MainWindow::followNote);
    connect(view, &QTextEdit::undoAvailable, this, &MainWindow::refreshCommandState);
    connect(view, &QTextEdit::redoAvailable, this, &MainWindow::refreshCommandState);
}

void MainWindow::connectMenusAndPanels(QWidget* controlBar)
{
    QTextEdit* view = RichEdit1->widget();
    // Context menus: the document's and the window's contextMenu, the tool bar area's toolBarMenu,
    // the tray's and the caption bar's trayMenu.
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
        contextMenuPosition_ = RichEdit1->view().positionAt(pos);
        contextMenu->popup(view->viewport()->mapToGlobal(pos));
    });
    client_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(client_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        contextMenuPosition_ = -1;
        contextMenu->popup(client_->mapToGlobal(pos));
    });
    connect(controlBar, &QWidget::customContextMenuRequested, this,
            [this, controlBar](const QPoint& pos) { toolBarMenu->popup(controlBar->mapToGlobal(pos)); });
    connect(CaptionBar1, &CaptionBar::menuRequested, this, [this](const QPoint& pos) { trayMenu->popup(pos); });
    // The document's state shows in the caption bar and the status bar.
    connect(&document_, &DocumentState::titleChanged, CaptionBar1, &CaptionBar::setTitle);
    connect(&document_, &DocumentState::filePanelChanged, StatusBar1,
            [this](const QString& text) { StatusBar1->setPanelText(1, text); });
    connect(&document_, &DocumentState::markerChanged, StatusBar1,
            [this](const QString& text) { StatusBar1->setPanelText(2, text); });
    connect(&document_, &DocumentState::dateTimeStamped, StatusBar1, [this](const QString& date, const QString& time) {
        StatusBar1->setPanelText(4, date);
        StatusBar1->setPanelText(5, time);
    });
    connect(StatusBar1, &StatusBar::doubleClicked, this, [this] { commandUi_->run("StatusBar1"); });
}

void MainWindow::setOtherWindows(const OtherWindows& windows)
{
    commands_->context.windows = windows;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == client_ && type == QEvent::Resize)
        FormResize();
    else if ((watched == textColorButton || watched == backgroundColorButton || watched == ToolBar2)
             && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show || type == QEvent::Hide))
        placeColorStrips();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    centreOnScreen();
    placeColorStrips();
    // Once the event loop turns: the window is on the screen under the box.
    if (!startupNote_.isEmpty())
        QTimer::singleShot(0, this, &MainWindow::showStartupNote);
}

// Opened centred on the desktop, once.
void MainWindow::centreOnScreen()
{
    if (centred_)
        return;
    centred_ = true;
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange)
        CaptionBar1->setActive(isActiveWindow());
    // The system colours of a theme follow the desktop's colour scheme.
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange)
        applyThemeColors();
    QMainWindow::changeEvent(event);
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void MainWindow::placeColorStrips()
{
    // Each strip lies across the lower edge of its button.
    const auto place = [this](ColorStrip* strip, QToolButton* button) {
        if (!strip || !button)
            return;
        const QPoint at = button->mapTo(ControlBar1, QPoint(0, 0));
        strip->move(at.x() + (button->width() - kStripWidth) / 2, at.y() + button->height() - kStripHeight + 1);
        strip->raise();
    };
    place(textColorStrip, textColorButton);
    place(backgroundColorStrip, backgroundColorButton);
}

void MainWindow::setEditorFillsClientArea(bool fill)
{
    editorFillsClient_ = fill;
    FormResize();
}

void MainWindow::setBorderResizable(bool resizable)
{
    borderResizable_ = resizable;
    CaptionBar1->setMaximizable(resizable);
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        sizeGrip_->show();
        sizeGrip_->raise();
    } else {
        sizeGrip_->hide();
        setFixedSize(size());
    }
}

QString MainWindow::strip(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString MainWindow::path_strip(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

void MainWindow::Original()
{
    FontDesc font = RichEdit1->Font();
    font.name = QStringLiteral("Verdana");
    font.size = 12;
    font.color = 0;
    RichEdit1->setFont(font);
}

void MainWindow::showError(const std::exception& error)
{
    platform_.error(this, errorMessage(error));
}

// What can be undone, redone or cut follows the document control's own notices, here only.
void MainWindow::refreshCommandState()
{
    commandUi_->refreshEnabled(RichEdit1->CanUndo(), RichEdit1->CanRedo(), RichEdit1->SelectionLength() != 0);
}

} // namespace zorim
