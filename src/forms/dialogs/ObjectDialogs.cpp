#include "forms/dialogs/ObjectDialogs.h"

#include "forms/dialogs/DialogStyle.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace zorim {
namespace {

constexpr NewObjectKind kNewKinds[] = {
    {"Textový dokument", "Nový textový dokument.txt", ""},
    {"Dokument RTF", "Nový dokument.rtf", "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0 Verdana;}}\\f0\\fs24\\par}"},
    {"Stránka HTML", "Nová stránka.html",
     "<!DOCTYPE html>\n<html>\n<head><meta charset=\"utf-8\"><title></title></head>\n<body>\n</body>\n</html>\n"},
};

QFont dialogFont(bool bold) { return dialog::verdana(12, bold); }

QPushButton* button(const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setFont(dialogFont(true));
    return b;
}

QGroupBox* group(const QString& title, QWidget* parent)
{
    auto* g = new QGroupBox(title, parent);
    g->setFont(dialogFont(true));
    return g;
}

// The dialogs are fixed-size tool windows in Verdana, OK the default button.
void finish(QDialog& dialog, QPushButton* ok, QPushButton* cancel)
{
    dialog.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setFont(dialogFont(false));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// The column of "OK" and "Storno" beside a dialog's choices.
QVBoxLayout* okCancelColumn(QWidget* parent, QPushButton*& ok, QPushButton*& cancel)
{
    auto* buttons = new QVBoxLayout;
    ok = button(QStringLiteral("OK"), parent);
    cancel = button(QStringLiteral("Storno"), parent);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    return buttons;
}

// The "Výsledok" box under a dialog's choices, saying what the choice will do.
QLabel* resultBox(QWidget* parent, QBoxLayout* into)
{
    auto* result = group(QStringLiteral("Výsledok"), parent);
    auto* resultLayout = new QVBoxLayout(result);
    auto* text = new QLabel(result);
    text->setFont(dialogFont(false));
    text->setWordWrap(true);
    text->setMinimumHeight(36);
    resultLayout->addWidget(text);
    into->addWidget(result);
    return text;
}

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

std::span<const NewObjectKind> newObjectKinds() { return kNewKinds; }

EmbeddedObject newObject(const NewObjectKind& kind)
{
    EmbeddedObject object;
    object.fileName = QString::fromUtf8(kind.fileName);
    object.contents = QByteArray(kind.contents);
    return object;
}

// ---- insert object ------------------------------------------------------------------------

InsertObjectDialog::InsertObjectDialog(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform)
{
    setWindowTitle(QStringLiteral("Vložiť objekt"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    auto* choice = new QVBoxLayout;
    RadioButton1 = new QRadioButton(QStringLiteral("Vytvoriť &nový"), this);
    RadioButton2 = new QRadioButton(QStringLiteral("Vytvoriť zo &súboru"), this);
    RadioButton1->setChecked(true);
    choice->addWidget(RadioButton1);
    choice->addWidget(RadioButton2);
    choice->addStretch();
    top->addLayout(choice);

    pages_ = new QStackedWidget(this);
    auto* newPage = new QWidget(pages_);
    auto* newLayout = new QVBoxLayout(newPage);
    newLayout->setContentsMargins(0, 0, 0, 0);
    newLayout->addWidget(new QLabel(QStringLiteral("Typ objektu:"), newPage));
    ListBox1 = new QListWidget(newPage);
    ListBox1->setAccessibleName(QStringLiteral("Typ objektu"));
    for (const NewObjectKind& kind : kNewKinds)
        ListBox1->addItem(QString::fromUtf8(kind.name));
    ListBox1->setCurrentRow(0);
    ListBox1->setFixedSize(260, 110);
    newLayout->addWidget(ListBox1);
    pages_->addWidget(newPage);

    auto* filePage = new QWidget(pages_);
    auto* fileLayout = new QGridLayout(filePage);
    fileLayout->setContentsMargins(0, 0, 0, 0);
    fileLayout->addWidget(new QLabel(QStringLiteral("Súbor:"), filePage), 0, 0, 1, 2);
    Edit1 = new QLineEdit(filePage);
    Edit1->setAccessibleName(QStringLiteral("Súbor"));
    Edit1->setMinimumWidth(260);
    fileLayout->addWidget(Edit1, 1, 0, 1, 2);
    Button3 = button(QStringLiteral("&Prehľadávať..."), filePage);
    fileLayout->addWidget(Button3, 2, 0);
    CheckBox1 = new QCheckBox(QStringLiteral("Pre&pojiť"), filePage);
    fileLayout->addWidget(CheckBox1, 2, 1);
    fileLayout->setRowStretch(3, 1);
    pages_->addWidget(filePage);
    top->addWidget(pages_);

    top->addLayout(okCancelColumn(this, Button1, Button2));
    Label1 = resultBox(this, layout);

    connect(RadioButton1, &QRadioButton::toggled, this, [this] { update(); });
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { update(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { update(); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { update(); });
    connect(Button3, &QPushButton::clicked, this, [this] {
        FileDialogSetup setup;
        setup.title = QStringLiteral("Prehľadávať");
        setup.filter = QStringLiteral("Všetky súbory (*.*)|*");
        setup.fileName = Edit1->text();
        if (const auto path = platform_.openFileName(this, setup))
            Edit1->setText(*path);
    });
    finish(*this, Button1, Button2);
    update();
}

bool InsertObjectDialog::createNew() const { return RadioButton1->isChecked(); }
int InsertObjectDialog::kindIndex() const { return ListBox1->currentRow(); }
QString InsertObjectDialog::fileName() const { return Edit1->text().trimmed(); }
bool InsertObjectDialog::link() const { return CheckBox1->isChecked(); }

void InsertObjectDialog::update()
{
    pages_->setCurrentIndex(createNew() ? 0 : 1);
    if (createNew()) {
        const int row = kindIndex();
        Button1->setEnabled(row >= 0);
        Label1->setText(row < 0 ? QString()
                                : QStringLiteral("Vloží do dokumentu nový prázdny objekt typu %1.")
                                      .arg(QString::fromUtf8(kNewKinds[row].name)));
        return;
    }
    Button1->setEnabled(!fileName().isEmpty());
    Label1->setText(link() ? QStringLiteral("Vloží do dokumentu prepojenie na súbor. Dokument ukazuje jeho ikonu; "
                                            "súbor zostáva na svojom mieste.")
                           : QStringLiteral("Vloží obsah súboru do dokumentu ako objekt zobrazený ikonou."));
}

// ---- paste special -------------------------------------------------------------------------

std::vector<PasteEntry> pasteEntries(const QMimeData* data)
{
    std::vector<PasteEntry> entries;
    if (!data)
        return entries;
    const QStringList files = localFiles(data);
    if (!files.isEmpty()) {
        EmbeddedObject probe;
        probe.fileName = files.constFirst();
        const QString type = objectTypeName(probe);
        entries.push_back({PasteForm::EmbeddedObject, type, type});
        entries.push_back({PasteForm::LinkSource, type, type});
    }
    if (data->hasFormat(QStringLiteral("text/rtf")) || data->hasFormat(QStringLiteral("application/rtf"))) {
        entries.push_back({PasteForm::RichText, QStringLiteral("Rich Text Format"), QStringLiteral("Rich Text Format")});
        entries.push_back({PasteForm::RichTextNoObjects, QStringLiteral("Rich Text Format Without Objects"),
                           QStringLiteral("Rich Text Format Without Objects")});
    }
    if (data->hasText())
        entries.push_back({PasteForm::Text, QStringLiteral("Unformatted text"), QStringLiteral("text without any formatting")});
    if (data->hasImage())
        entries.push_back({PasteForm::Bitmap, QStringLiteral("Windows Bitmap"), QStringLiteral("bitmap image")});
    return entries;
}

PasteSpecialDialog::PasteSpecialDialog(std::vector<PasteEntry> entries, QWidget* parent)
    : QDialog(parent), entries_(std::move(entries))
{
    setWindowTitle(QStringLiteral("Vložiť inak"));
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Zdroj: obsah schránky"), this);
    layout->addWidget(Label1);
    auto* middle = new QHBoxLayout;
    layout->addLayout(middle);
    auto* choice = new QVBoxLayout;
    RadioButton1 = new QRadioButton(QStringLiteral("&Vložiť"), this);
    RadioButton2 = new QRadioButton(QStringLiteral("Vložiť &prepojenie"), this);
    RadioButton1->setChecked(true);
    const bool canLink = std::any_of(entries_.begin(), entries_.end(),
                                     [](const PasteEntry& e) { return e.form == PasteForm::LinkSource; });
    RadioButton2->setEnabled(canLink);
    choice->addWidget(RadioButton1);
    choice->addWidget(RadioButton2);
    choice->addStretch();
    middle->addLayout(choice);
    auto* list = new QVBoxLayout;
    list->addWidget(new QLabel(QStringLiteral("Ako:"), this));
    ListBox1 = new QListWidget(this);
    ListBox1->setFixedSize(280, 120);
    list->addWidget(ListBox1);
    middle->addLayout(list);
    middle->addLayout(okCancelColumn(this, Button1, Button2));
    Label2 = resultBox(this, layout);

    connect(RadioButton1, &QRadioButton::toggled, this, [this] { fill(); });
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { update(); });
    finish(*this, Button1, Button2);
    fill();
}

void PasteSpecialDialog::fill()
{
    const bool link = RadioButton2->isChecked();
    ListBox1->clear();
    shown_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) {
        if ((entries_[i].form == PasteForm::LinkSource) != link)
            continue;
        shown_.push_back(int(i));
        ListBox1->addItem(entries_[i].name);
    }
    ListBox1->setCurrentRow(shown_.empty() ? -1 : 0);
    update();
}

std::optional<PasteEntry> PasteSpecialDialog::chosen() const
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= int(shown_.size()))
        return std::nullopt;
    return entries_[size_t(shown_[size_t(row)])];
}

void PasteSpecialDialog::update()
{
    const auto entry = chosen();
    Button1->setEnabled(entry.has_value());
    if (!entry)
        Label2->setText(QStringLiteral("Schránka neobsahuje nič, čo sa dá vložiť do dokumentu."));
    else if (entry->form == PasteForm::LinkSource)
        Label2->setText(QStringLiteral("Vloží do dokumentu prepojenie na súbor zo schránky (%1).").arg(entry->result));
    else
        Label2->setText(QStringLiteral("Vloží obsah schránky do dokumentu ako %1.").arg(entry->result));
}

// ---- properties ----------------------------------------------------------------------------

ObjectPropertiesDialog::ObjectPropertiesDialog(const EmbeddedObject& object, QWidget* parent) : QDialog(parent)
{
    const QString type = objectTypeName(object);
    setWindowTitle(QStringLiteral("%1 Properties").arg(type));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs);

    auto* general = new QWidget(tabs);
    auto* grid = new QGridLayout(general);
    const bool linked = object.kind == EmbeddedObject::Kind::Linked;
    Type = new QLabel(type, general);
    grid->addWidget(new QLabel(QStringLiteral("Typ:"), general), 0, 0);
    grid->addWidget(Type, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Trieda:"), general), 1, 0);
    grid->addWidget(new QLabel(object.className, general), 1, 1);
    grid->addWidget(new QLabel(linked ? QStringLiteral("Prepojený súbor:") : QStringLiteral("Názov:"), general), 2, 0);
    Source = new QLabel(object.fileName.isEmpty() ? QStringLiteral("—") : object.fileName, general);
    Source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(Source, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Veľkosť:"), general), 3, 0);
    qint64 bytes = object.isFile() ? object.contents.size() : object.objectData.size();
    if (linked)
        bytes = QFileInfo(object.fileName).size();
    Size = new QLabel(linked && !QFileInfo(object.fileName).exists() ? QStringLiteral("súbor sa nenašiel")
                                                                      : (bytes < 1024 ? QStringLiteral("%1 B").arg(bytes)
                                                                                   : QLocale(QLocale::Slovak).formattedDataSize(bytes)),
                      general);
    grid->addWidget(Size, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Uloženie:"), general), 4, 0);
    grid->addWidget(new QLabel(linked ? QStringLiteral("prepojenie: dokument ukazuje súbor na jeho mieste")
                                      : QStringLiteral("vložený: obsah je uložený v dokumente"),
                               general),
                    4, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnMinimumWidth(1, 260);
    tabs->addTab(general, QStringLiteral("Všeobecné"));

    auto* view = new QWidget(tabs);
    auto* viewLayout = new QVBoxLayout(view);
    auto* icon = new QLabel(view);
    icon->setPixmap(QPixmap::fromImage(decodePicture(objectIconPicture(object))));
    icon->setAlignment(Qt::AlignCenter);
    viewLayout->addWidget(new QLabel(QStringLiteral("Objekt sa v dokumente zobrazuje ako ikona:"), view));
    viewLayout->addWidget(icon);
    viewLayout->addStretch();
    tabs->addTab(view, QStringLiteral("Zobrazenie"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    Button1 = button(QStringLiteral("OK"), this);
    Button2 = button(QStringLiteral("Storno"), this);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    finish(*this, Button1, Button2);
}

} // namespace zorim
