#include "forms/commands/CommandUi.h"

#include "forms/widgets/ToolBarHandle.h"
#include "forms/commands/Commands.h"
#include "richtext/editor/RichEdit.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cstring>

// Our own pictures are a resource of this library; a static library's resources are brought
// in by name.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace zorim {
namespace {

constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
constexpr int kRowHeight = 30;
constexpr int kFontBoxWidth = 185;
constexpr int kSizeBoxWidth = 43;
constexpr int kFieldMargins = 5; // a text field's margins on both sides and its caret
const char* const kSizes[] = {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "32", "36", "48", "72"};

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// A menu shows its key after a tab; the key itself is routed by the window, never by Qt's
// shortcut system, which refuses a key that two items carry.
QString menuText(const CommandRow& row)
{
    QString caption = text(row.caption);
    if (row.key)
        caption += QLatin1Char('\t') + QKeySequence(text(row.key)).toString(QKeySequence::NativeText);
    return caption;
}

// What a screen reader says for a button or box: its hint, or, for a button that has none, the
// caption of the menu item that runs the same command, without its access letter.
QString accessibleName(const CommandRow& row)
{
    QString caption = text(row.caption);
    for (const CommandRow& other : commandTable()) {
        if (!caption.isEmpty())
            break;
        if (other.entry == Entry::Item && other.command && other.command == row.command)
            caption = text(other.caption);
    }
    static const QRegularExpression accessLetter(QStringLiteral("&(.)"));
    return caption.replace(accessLetter, QStringLiteral("\\1"));
}

// Qt's combo box on Linux hands a screen reader its text as its name (a label beside it is
// meant to name it). The tool bar's boxes have no label: they say their own name, and their
// text as their value.
constexpr char kNamedBox[] = "zorimNamedBox";

class NamedBoxAccessible : public QAccessibleWidget {
public:
    explicit NamedBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override
    {
        const auto* box = static_cast<const QComboBox*>(widget());
        if (t == QAccessible::Name)
            return box->accessibleName();
        if (t == QAccessible::Value)
            return box->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << showMenuAction(); }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            static_cast<QComboBox*>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* namedBoxAccessible(const QString&, QObject* object)
{
    auto* box = qobject_cast<QComboBox*>(object);
    return box && box->property(kNamedBox).toBool() ? new NamedBoxAccessible(box) : nullptr;
}

// Keys that edit or move in a text: while a toolbar box has the focus they are the box's, not
// the commands that carry them for the document (Ctrl+A, Ctrl+Z, Shift+Del, ...).
bool isEditingKey(const QKeyEvent& event)
{
    for (const QKeySequence::StandardKey key : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                                                QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo})
        if (event.matches(key))
            return true;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier)
        return false;
    switch (event.key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        return true;
    default:
        return false;
    }
}

// The toolbar box a widget is or belongs to (an editable box's text field), or nullptr.
const QComboBox* boxOf(const QObject* object)
{
    if (const auto* box = qobject_cast<const QComboBox*>(object))
        return box;
    if (const auto* edit = qobject_cast<const QLineEdit*>(object))
        return qobject_cast<const QComboBox*>(edit->parent());
    return nullptr;
}

QFont boxFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(11);
    return font;
}

} // namespace

CommandUi::CommandUi(MainWindowControls& controls, Commands& commands, QWidget* window,
                     std::function<void(const std::exception&)> onError)
    : QObject(window), controls_(controls), commands_(commands), window_(window), onError_(std::move(onError))
{
}

CommandUi::~CommandUi() = default;

void CommandUi::setUpIconTheme()
{
    initIconResources();
    // Some platforms (the headless one among them) search no icon folder of the system.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                         QStandardPaths::LocateDirectory))
        if (!paths.contains(dir))
            paths << dir;
    QIcon::setThemeSearchPaths(paths);
    // A bare desktop (or none) names no theme, or only the base theme: then Breeze is the theme.
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("breeze"));
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
}

QIcon CommandUi::icon(const char* name)
{
    if (!name)
        return {};
    const QString n = text(name);
    if (n.startsWith(QLatin1String(":/")))
        return QIcon(n);
    if (QIcon::hasThemeIcon(n))
        return QIcon::fromTheme(n);
    const QString ours = QStringLiteral(":/icons/") + n + QStringLiteral(".svg");
    return QFile::exists(ours) ? QIcon(ours) : QIcon();
}

void CommandUi::build(QMenuBar* mainMenu, QWidget* controlBar)
{
    setUpIconTheme();
    controls_.mainMenu = mainMenu;
    controls_.ControlBar1 = controlBar;
    for (const CommandRow& row : commandTable()) {
        switch (row.entry) {
        case Entry::Menu: addMenu(row, mainMenu); break;
        case Entry::Item: addItem(row); break;
        case Entry::Separator: addSeparator(row); break;
        case Entry::ToolBar: addToolBar(row, controlBar); break;
        case Entry::Button:
        case Entry::Toggle:
        case Entry::Group: addButton(row); break;
        case Entry::FontBox:
        case Entry::SizeBox: addBox(row); break;
        case Entry::Event: break; // connected by the window
        }
    }
    for (QToolBar* bar : std::as_const(toolBars_)) {
        bar->resize(bar->sizeHint().width(), kRowHeight);
        new ToolBarHandle(bar);
    }
    buildKeyTable();
    qApp->installEventFilter(this);
}

void CommandUi::addMenu(const CommandRow& row, QMenuBar* mainMenu)
{
    QMenu* menu = nullptr;
    if (!row.in) {
        menu = new QMenu(window_);
    } else if (std::strcmp(row.in, "MainMenu1") == 0) {
        menu = mainMenu->addMenu(text(row.caption));
    } else {
        menu = menus_.value(row.in)->addMenu(text(row.caption));
    }
    menu->setObjectName(text(row.name));
    menu->menuAction()->setObjectName(text(row.name));
    menu->setToolTipsVisible(false);
    menus_.insert(row.name, menu);
    if (row.menu)
        controls_.*row.menu = menu;
}

void CommandUi::addItem(const CommandRow& row)
{
    QMenu* parent = menus_.value(row.in);
    QAction* a = parent->addAction(icon(row.icon), menuText(row));
    a->setObjectName(text(row.name));
    a->setIconVisibleInMenu(true);
    if (row.check != Check::None) {
        a->setCheckable(true);
        a->setChecked(row.checked);
    }
    if (row.check == Check::Radio) {
        QActionGroup*& group = actionGroups_[row.group];
        if (!group) {
            group = new QActionGroup(window_);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        }
        group->addAction(a);
    }
    a->setVisible(!row.hidden);
    // A menu item's check mark is the command's to set: a click runs the command on the mark
    // as it was, so the automatic flip of a checkable action is taken back first.
    connect(a, &QAction::triggered, this, [this, a, &row](bool checked) {
        if (a->isCheckable())
            a->setChecked(!checked);
        run(row);
    });
    entries_.insert(row.name, a);
    if (row.action)
        controls_.*row.action = a;
    if (row.follows() != Follows::Nothing)
        followingActions_[size_t(row.follows())].push_back(a);
    if (row.enabled() != EnabledWhen::Always)
        enabling_.push_back({row.enabled(), a, nullptr});
}

void CommandUi::addSeparator(const CommandRow& row)
{
    QAction* a = nullptr;
    if (QMenu* menu = menus_.value(row.in))
        a = menu->addSeparator();
    else if (QToolBar* bar = toolBars_.value(row.in))
        a = bar->addSeparator();
    if (!a)
        return;
    a->setObjectName(text(row.name));
    if (row.action)
        controls_.*row.action = a;
}

void CommandUi::addToolBar(const CommandRow& row, QWidget* controlBar)
{
    auto* bar = new QToolBar(controlBar);
    bar->setObjectName(text(row.name));
    bar->setWindowTitle(text(row.caption));
    bar->setAccessibleName(text(row.caption));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setSpacing(0);
    // Flat like the rest of the area: no frame of its own.
    bar->setStyleSheet(QStringLiteral("QToolBar { border: 0px; padding: 0px; spacing: 0px; }"));
    // The button Qt shows when the toolbar's buttons do not fit.
    if (auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("Ďalšie tlačidlá"));
    bar->move(row.left, (row.row - 1) * kRowHeight);
    toolBars_.insert(row.name, bar);
    if (row.toolBar)
        controls_.*row.toolBar = bar;
}

void CommandUi::addButton(const CommandRow& row)
{
    QToolBar* bar = toolBars_.value(row.in);
    auto* b = new QToolButton(bar);
    b->setObjectName(text(row.name));
    b->setAutoRaise(true);
    b->setFixedSize(kButtonWidth, kButtonHeight);
    b->setIconSize(QSize(16, 16));
    b->setIcon(icon(row.icon));
    b->setToolTip(text(row.caption));
    b->setAccessibleName(accessibleName(row));
    b->setFocusPolicy(Qt::NoFocus);
    toolBarPlaces_.insert(row.name, bar->addWidget(b));
    if (row.entry == Entry::Toggle || row.entry == Entry::Group)
        b->setCheckable(true);
    if (row.entry == Entry::Group) {
        QButtonGroup*& group = buttonGroups_[row.group];
        if (!group) {
            group = new QButtonGroup(window_);
            // A group in which every button may be up releases the others itself.
            group->setExclusive(!row.allowAllUp);
        }
        group->addButton(b);
        if (row.allowAllUp) {
            connect(b, &QAbstractButton::toggled, this, [b, group = group](bool down) {
                if (!down)
                    return;
                for (QAbstractButton* other : group->buttons())
                    if (other != b)
                        other->setChecked(false);
            });
        }
    }
    // A toggle button has flipped its state when the handler runs; the handler reads it.
    connect(b, &QAbstractButton::clicked, this, [this, &row] { run(row); });
    entries_.insert(row.name, b);
    if (row.button)
        controls_.*row.button = b;
    if (row.follows() != Follows::Nothing)
        followingButtons_[size_t(row.follows())].push_back(b);
    if (row.enabled() != EnabledWhen::Always)
        enabling_.push_back({row.enabled(), nullptr, b});
}

// Qt names a family that several foundries make once per foundry ("C059 [UKWN]"); a face is
// asked for by its family's name alone, which fontconfig then resolves.
QString familyWithoutFoundry(QString family)
{
    static const QRegularExpression foundry(QStringLiteral(R"( \[[^\]]*\]$)"));
    return family.remove(foundry);
}

QStringList fontFamilyList(QStringList families)
{
    for (QString& family : families)
        family = familyWithoutFoundry(std::move(family));
    families.removeDuplicates();
    std::sort(families.begin(), families.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    return families;
}

void CommandUi::addBox(const CommandRow& row)
{
    QToolBar* bar = toolBars_.value(row.in);
    auto* box = new QComboBox(bar);
    box->setObjectName(text(row.name));
    box->setToolTip(text(row.caption));
    box->setAccessibleName(accessibleName(row));
    static const bool factoryInstalled = (QAccessible::installFactory(namedBoxAccessible), true);
    (void)factoryInstalled;
    box->setProperty(kNamedBox, true);
    // An interface made while the box was being built is Qt's own; the next query makes ours.
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(box)));
    box->setFont(boxFont());
    if (row.entry == Entry::FontBox) {
        // The installed fonts in alphabetical order; the box chooses from its list only.
        box->addItems(fontFamilyList(QFontDatabase::families()));
        box->setCurrentIndex(-1);
        box->setFixedWidth(kFontBoxWidth);
        box->setMaxVisibleItems(20);
        connect(box, &QComboBox::activated, this, [this, &row, box] { runFromBox(row, box); });
    } else {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        for (const char* size : kSizes)
            box->addItem(text(size));
        box->setEditText(QStringLiteral("12"));
        box->lineEdit()->setAccessibleName(box->accessibleName());
        // Four digits shown whole (the sizes go up to 1638) in the box's font, whatever the
        // style's frame and arrow take.
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = true;
        option.frame = true;
        option.rect = QRect(0, 0, kSizeBoxWidth, kButtonHeight);
        const int field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box).width();
        const int digits = box->lineEdit()->fontMetrics().horizontalAdvance(QStringLiteral("8888")) + kFieldMargins;
        box->setFixedWidth(std::max(kSizeBoxWidth, kSizeBoxWidth - field + digits));
        // Every edit of the text and every choice from the list is a change.
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, &row, box] { runFromBox(row, box); });
        connect(box, &QComboBox::textActivated, this, [this, &row, box] { runFromBox(row, box); });
    }
    box->setFixedHeight(kButtonHeight);
    toolBarPlaces_.insert(row.name, bar->addWidget(box));
    entries_.insert(row.name, box);
    if (row.box)
        controls_.*row.box = box;
}

void CommandUi::run(const CommandRow& row)
{
    if (!row.command)
        return;
    emit running(row.name);
    try {
        row.command->run(commands_);
    } catch (const std::exception& error) {
        onError_(error);
    }
    // A box shows what the user typed or chose in it already.
    if (row.entry != Entry::FontBox && row.entry != Entry::SizeBox)
        emit ran(row.name);
}

// Each change applies at once; the changes made in a box one after another are one undo
// step, until the focus leaves the box or anything else is done to the document.
void CommandUi::runFromBox(const CommandRow& row, QObject* box)
{
    const RichDocument::Transaction step(commands_.context.RichEdit1.document(), boxRuns_[box]);
    run(row);
}

void CommandUi::run(const char* name)
{
    if (const CommandRow* row = findCommand(name))
        run(*row);
}

void CommandUi::setShown(const char* name, bool shown)
{
    if (QAction* place = toolBarPlaces_.value(QByteArray(name)))
        place->setVisible(shown);
    else if (QAction* a = action(name))
        a->setVisible(shown);
}

QAction* CommandUi::action(const char* name) const
{
    return qobject_cast<QAction*>(entries_.value(QByteArray(name)));
}

QAbstractButton* CommandUi::button(const char* name) const
{
    return qobject_cast<QAbstractButton*>(entries_.value(QByteArray(name)));
}

// The rows are in menu order with every submenu's entries right after it, so one pass over
// the context menu's rows and then one over the main menu's visits each menu depth first.
void CommandUi::buildKeyTable()
{
    const auto rootOf = [](const CommandRow& row) -> QByteArray {
        const CommandRow* r = &row;
        while (r->in && std::strcmp(r->in, "MainMenu1") != 0) {
            const CommandRow* parent = findCommand(r->in);
            if (!parent)
                return QByteArray(r->in);
            r = parent;
        }
        return r->in ? QByteArray("MainMenu1") : QByteArray(r->name);
    };
    for (const char* root : {"PopupMenu1", "MainMenu1"}) {
        for (const CommandRow& row : commandTable()) {
            if (row.entry != Entry::Item || !row.key || rootOf(row) != root)
                continue;
            const QKeySequence sequence(text(row.key));
            if (sequence.isEmpty())
                continue;
            const int key = sequence[0].toCombined();
            if (!keys_.contains(key))
                keys_.insert(key, &row);
        }
    }
}

const CommandRow* CommandUi::rowForKey(QKeyCombination key) const
{
    return keys_.value(key.toCombined(), nullptr);
}

bool CommandUi::routeKey(const QKeyEvent& event)
{
    const int key = event.key();
    if (key == 0 || key == Qt::Key_unknown || key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt
        || key == Qt::Key_Meta)
        return false;
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const CommandRow* row = rowForKey(QKeyCombination(modifiers, Qt::Key(key)));
    if (!row)
        return false;
    // A disabled item keeps its key, and the key does nothing.
    const QAction* a = action(row->name);
    if (!a || a->isEnabled())
        run(*row);
    return true;
}

bool CommandUi::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (widget->window() == window_ && !(boxOf(watched) && isEditingKey(key)) && routeKey(key))
            return true;
    } else if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (const QComboBox* box = boxOf(watched); box && boxRuns_.contains(box))
            boxRuns_[box] = 0;
    }
    return QObject::eventFilter(watched, event);
}

void CommandUi::refreshEnabled(bool canUndo, bool canRedo, bool hasSelection)
{
    for (const Enabling& e : enabling_) {
        bool on = true;
        switch (e.when) {
        case EnabledWhen::Always: break;
        case EnabledWhen::CanUndo: on = canUndo; break;
        case EnabledWhen::CanRedo: on = canRedo; break;
        case EnabledWhen::Selection: on = hasSelection; break;
        }
        if (e.action)
            e.action->setEnabled(on);
        if (e.button)
            e.button->setEnabled(on);
    }
}

} // namespace zorim
