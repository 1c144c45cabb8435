#include "platform/QtPlatform.h"

#include "platform/FontDialog.h"
#include "platform/SlovakTexts.h"
#include "text/FileNames.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTranslator>
#include <QUrl>

namespace zorim {
namespace {

const QString kProgramName = QStringLiteral("ZORIM");
// The standard boxes' captions, in the program's language.
const QString kWarningCaption = QStringLiteral("Upozornenie");
const QString kInformationCaption = QStringLiteral("Informácia");

std::optional<QString> runFileDialog(QWidget* parent, const FileDialogSetup& setup, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, setup.title);
    dialog.setAcceptMode(mode);
    // Qt's own dialog, not the desktop's: it speaks the program's language through Qt's
    // translations whatever language the desktop has.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // A name that does not exist may be confirmed, and an existing file is replaced
    // without a question: the command decides what happens with the name.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // A name typed without an extension gets the chosen filter's ("Formát ZORIM" gives .zrm);
    // a filter of all files gives the default extension.
    const QStringList filters = qtNameFilters(setup.filter);
    const QStringList patterns = setup.filter.split(QLatin1Char('|'));
    auto suffixOf = [&](int index) {
        static const QRegularExpression single(QStringLiteral("^\\*\\.(\\w+)(;|$)"));
        const QRegularExpressionMatch m = single.match(patterns.value(2 * index + 1));
        QString suffix = m.hasMatch() ? m.captured(1) : setup.defaultExtension;
        while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.')))
            suffix.remove(0, 1);
        return suffix;
    };
    int chosen = -1;
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (setup.filterIndex >= 1 && setup.filterIndex <= filters.size()) {
            chosen = setup.filterIndex - 1;
            dialog.selectNameFilter(filters[chosen]);
        }
    }
    dialog.setDefaultSuffix(suffixOf(chosen));
    // The dialog names the chosen filter as it shows it: without its patterns.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        int index = int(filters.indexOf(filter));
        for (int i = 0; index < 0 && 2 * i < patterns.size(); ++i)
            if (patterns[2 * i] == filter)
                index = i;
        dialog.setDefaultSuffix(suffixOf(index));
    });
    if (!setup.folder.isEmpty())
        dialog.setDirectory(setup.folder);
    if (!setup.fileName.isEmpty())
        dialog.selectFile(setup.fileName);
    if (setup.preview) {
        // The preview sits beside the file list, so the dialog is Qt's own.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* preview = new QLabel(&dialog);
        preview->setFixedSize(200, 200);
        preview->setAlignment(Qt::AlignCenter);
        preview->setFrameShape(QFrame::StyledPanel);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
        auto show = [preview, &setup](const QString& path) {
            const QImage image = QFileInfo(path).isFile() ? setup.preview(path) : QImage();
            if (image.isNull()) {
                preview->setPixmap({});
                return;
            }
            const QSize box = preview->size() - QSize(8, 8);
            const QImage shown = image.width() > box.width() || image.height() > box.height()
                                     ? image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                     : image;
            preview->setPixmap(QPixmap::fromImage(shown));
        };
        QObject::connect(&dialog, &QFileDialog::currentChanged, preview, show);
        if (!setup.fileName.isEmpty())
            show(QFileInfo(setup.fileName).isAbsolute() ? setup.fileName : dialog.directory().filePath(setup.fileName));
        dialog.resize(dialog.sizeHint().width() + preview->width(), dialog.sizeHint().height());
    }
    // The dialog sets its cancel button's text again when shown; a text of its own it keeps.
    dialog.setLabelText(QFileDialog::Reject, QCoreApplication::translate("QPlatformTheme", "Cancel"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

bool installSlovakTranslations(QCoreApplication& app)
{
    // Owned by the application, so the translation lasts as long as any dialog can show.
    auto* translator = new QTranslator(&app);
    bool loaded = false;
    for (const QString& name : {QStringLiteral("qtbase_sk"), QStringLiteral("qt_sk")}) {
        if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator);
            loaded = true;
            break;
        }
    }
    if (!loaded)
        delete translator;
    // Asked before Qt's own translation, for the texts that one lacks (without them a
    // Slovak dialog would still offer "Cancel" and "Pages").
    QCoreApplication::installTranslator(newMissingSlovakTexts(&app));
    return loaded;
}

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

Answer QtPlatform::question(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kWarningCaption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    slovakStandardButtons(box);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool QtPlatform::confirm(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kWarningCaption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    slovakStandardButtons(box);
    return box.exec() == QMessageBox::Yes;
}

void QtPlatform::information(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, kInformationCaption, text, QMessageBox::Ok, parent);
    slovakStandardButtons(box);
    box.exec();
}

void QtPlatform::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kProgramName, text, QMessageBox::Ok, parent);
    slovakStandardButtons(box);
    box.exec();
}

void QtPlatform::error(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, kProgramName, text, QMessageBox::Ok, parent);
    slovakStandardButtons(box);
    box.exec();
}

std::optional<QString> QtPlatform::openFileName(QWidget* parent, const FileDialogSetup& setup)
{
    // The dialog shows a name that is no UTF-8 as best it can; the file is found by that.
    std::optional<QString> path = runFileDialog(parent, setup, QFileDialog::AcceptOpen);
    if (path)
        path = existingFileName(*path);
    return path;
}

std::optional<QString> QtPlatform::saveFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return runFileDialog(parent, setup, QFileDialog::AcceptSave);
}

std::optional<QString> QtPlatform::pictureFileName(QWidget* parent, const FileDialogSetup& setup)
{
    return runFileDialog(parent, setup, QFileDialog::AcceptOpen);
}

std::optional<FontChoice> QtPlatform::chooseFont(QWidget* parent, const FontChoice& initial)
{
    FontDialog dialog(initial, parent);
    slovakStandardButtons(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<QColor> QtPlatform::chooseColor(QWidget* parent, const QColor& initial)
{
    QColorDialog dialog(initial, parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    slovakStandardButtons(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

bool QtPlatform::choosePrinter(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    slovakStandardButtons(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void QtPlatform::showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Ukážka pred tlačou"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* p) { paint(*p); });
    dialog.exec();
}

int QtPlatform::showModal(QDialog& dialog)
{
    return dialog.exec();
}

bool QtPlatform::startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool QtPlatform::openFile(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtPlatform::openLink(const QString& address)
{
    const QString link = openableLink(address);
    if (link.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl(link, QUrl::StrictMode));
}

void QtPlatform::showTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu)
{
    // A desktop without a notification area has no place for the icon; the program runs
    // the same without it (the caption bar offers the same menu).
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!tray_)
        tray_ = std::make_unique<QSystemTrayIcon>();
    tray_->setIcon(icon);
    tray_->setToolTip(toolTip);
    tray_->setContextMenu(menu);
    tray_->show();
}

void QtPlatform::hideTrayIcon()
{
    if (tray_)
        tray_->hide();
}

void QtPlatform::endProgram()
{
    QCoreApplication::exit(0);
}

QDateTime QtPlatform::now()
{
    return QDateTime::currentDateTime();
}

QString QtPlatform::shortDate(const QDate& date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString QtPlatform::longTime(const QTime& time)
{
    // The long time format is hours, minutes and seconds; Qt's long format adds the time
    // zone, which a time in the status bar does not carry.
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?\\bt+\\b\\)?"));
    format.remove(zone);
    return QLocale::system().toString(time, format.trimmed());
}

QLocale QtPlatform::locale()
{
    return QLocale::system();
}

} // namespace zorim
