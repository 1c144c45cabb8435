#include "forms/TForm1.h"

#include "forms/Errors.h"
#include "forms/StatusBar.h"
#include "platform/Platform.h"
#include "richtext/RichEdit.h"
#include "settings/SettingsStore.h"

#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace zorim {
namespace {

// The layout of the window: client area, editor place and size, tool bar area, status bar.
constexpr int kClientWidth = 792;
constexpr int kClientHeight = 554;
constexpr int kEditorLeft = 8;
constexpr int kEditorTop = 61;
constexpr int kEditorWidth = 777;
constexpr int kEditorHeight = 470;
constexpr int kToolBarAreaHeight = 60;
constexpr int kStatusBarHeight = 19;

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

} // namespace

const QString TForm1::kUntitled = QStringLiteral("Dokument");

TForm1::TForm1(Platform& platform, SettingsStore& settings, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), platform_(platform), settings_(settings), arguments_(arguments)
{
    buildWindow();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::buildWindow()
{
    setWindowTitle(QStringLiteral("ZORIM"));

    // Above the client area: the title (until the painted caption bar) and the main menu.
    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    TitleLabel = new QLabel(top);
    TitleLabel->setTextFormat(Qt::PlainText);
    QFont titleFont(QStringLiteral("Verdana"));
    titleFont.setPixelSize(13);
    titleFont.setBold(true);
    TitleLabel->setFont(titleFont);
    TitleLabel->setContentsMargins(6, 3, 6, 3);
    topLayout->addWidget(TitleLabel);
    MainMenu1 = new QMenuBar(top);
    topLayout->addWidget(MainMenu1);
    setMenuWidget(top);

    Sbor1 = MainMenu1->addMenu(QStringLiteral("&Súbor"));
    Ulo1 = Sbor1->addAction(QStringLiteral("&Uložiť"));
    Uloako1 = Sbor1->addAction(QStringLiteral("Uložiť &ako..."));
    Sbor1->addSeparator();
    PoslednySubor = Sbor1->addAction(QString());
    Sbor1->addSeparator();
    Koniefc1 = Sbor1->addAction(QStringLiteral("&KONIEC"));
    Sbor1->addSeparator();
    connect(Ulo1, &QAction::triggered, this, &TForm1::SpeedButton3Click);
    connect(Uloako1, &QAction::triggered, this, &TForm1::Uloako1Click);
    connect(Koniefc1, &QAction::triggered, this, &TForm1::Koniefc1Click);

    Nastavenie1 = MainMenu1->addMenu(QStringLiteral("&Nastavenie"));
    PlainText1 = Nastavenie1->addAction(QStringLiteral("Plain Text"));
    PlainText1->setCheckable(true);
    Easymd1 = Nastavenie1->addAction(QStringLiteral("Easy mód"));
    Easymd1->setCheckable(true);
    Easymd1->setVisible(false);
    Nastavenie1->addSeparator();

    // The client area places its children itself, as the layout gives them.
    client_ = new QWidget(this);
    client_->installEventFilter(this);
    setCentralWidget(client_);

    RichEdit1 = new RichEdit(client_, RichEdit::Kind::Document);
    RichEdit1->setGeometry(kEditorLeft, kEditorTop, kEditorWidth, kEditorHeight);
    connect(RichEdit1, &RichEdit::OnChange, this, &TForm1::RichEdit1Change);

    RichEdit2 = new RichEdit(client_, RichEdit::Kind::Simple);
    RichEdit2->setPlainText(true);
    RichEdit2->setGeometry(0, 0, 0, 0);
    RichEdit2->hide();
    RichEdit3 = new RichEdit(client_, RichEdit::Kind::Simple);
    RichEdit3->setGeometry(0, 0, 0, 0);
    RichEdit3->hide();

    StatusBar1 = new StatusBar(statusPanels(), client_);
    QFont statusFont(QStringLiteral("Verdana"));
    statusFont.setPixelSize(11);
    StatusBar1->setFont(statusFont);

    client_->setMinimumSize(0, 0);
    resize(kClientWidth, kClientHeight + top->sizeHint().height());
    setBorderResizable(false);
    RichEdit1->setFocus();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize)
        layoutClientArea();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::layoutClientArea()
{
    const int width = client_->width();
    const int height = client_->height();
    StatusBar1->setGeometry(0, height - kStatusBarHeight, width, kStatusBarHeight);
    if (editorFillsClient_)
        RichEdit1->setGeometry(0, kToolBarAreaHeight, width, std::max(0, height - kToolBarAreaHeight - kStatusBarHeight));
}

void TForm1::setEditorFillsClientArea(bool fill)
{
    editorFillsClient_ = fill;
    layoutClientArea();
}

void TForm1::setBorderResizable(bool resizable)
{
    borderResizable_ = resizable;
    if (resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

void TForm1::setTitle(const QString& title)
{
    title_ = title;
    TitleLabel->setText(title);
    emit titleChanged(title);
}

QString TForm1::strip(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString TForm1::path_strip(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

void TForm1::SetModified(bool modified)
{
    StatusBar1->setPanelText(2, modified ? QStringLiteral("Zmenený") : QString());
}

void TForm1::Original()
{
    FontDesc font = RichEdit1->Font();
    font.name = QStringLiteral("Verdana");
    font.size = 12;
    font.color = 0;
    RichEdit1->setFont(font);
}

void TForm1::SelectionChange()
{
    // The toolbar buttons, boxes and check marks that follow the selection come with the
    // toolbars; the refresh is called wherever they are to be brought up to date.
}

void TForm1::RichEdit1Change()
{
    SetModified(RichEdit1->Modified());
    SelectionChange();
    refreshDateTimePanels();
}

void TForm1::refreshFilePanel()
{
    StatusBar1->setPanelText(1, QStringLiteral(" Súbor: ") + currentFileName_);
}

void TForm1::refreshDateTimePanels()
{
    const QDateTime now = platform_.now();
    StatusBar1->setPanelText(4, QStringLiteral("Dátum: ") + platform_.shortDate(now.date()));
    StatusBar1->setPanelText(5, QStringLiteral("Čas: ") + platform_.longTime(now.time()));
}

void TForm1::showError(const std::exception& error)
{
    platform_.error(this, errorMessage(error));
}

void TForm1::ApplySkin(int theme)
{
    // The theme's colours come with the painted caption bar and the toolbars; until then
    // the window keeps the number of the theme in force.
    appliedSkin_ = theme;
}

} // namespace zorim
