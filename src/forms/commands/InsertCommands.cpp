#include "forms/commands/InsertCommands.h"

#include "forms/mainwindow/DocumentObjects.h"
#include "forms/dialogs/ObjectDialogs.h"
#include "forms/mainwindow/PictureFile.h"
#include "forms/mainwindow/MainWindow.h"
#include "forms/widgets/NotePane.h"
#include "forms/dialogs/HyperlinkDialog.h"
#include "platform/Platform.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/document/NoteEdits.h"
#include "richtext/document/RichDocument.h"
#include "settings/SettingsStore.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTextEdit>

#include <stdexcept>

namespace zorim {
namespace {

// The texts of the phrases and special characters, exactly as inserted.
const QString kDobryDen = QStringLiteral("Dobrý deň");
const QString kVazenyPan = QStringLiteral("Vážený pán ");
const QString kVazenaPani = QStringLiteral("Vážená pani ");
const QString kSPozdravom = QStringLiteral("S pozdravom");

// Where an embedded file is put for the desktop's program to open it: inside data/, the
// one folder the program writes besides the user's documents.
const QString kObjectFolder = QStringLiteral("objekty");

QString objectFolder(const SettingsStore& settings) { return settings.filePath(kObjectFolder); }

QByteArray clipboardRtf(const QMimeData* data)
{
    for (const QString& type : {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")})
        if (data->hasFormat(type))
            return data->data(type);
    return {};
}

} // namespace

InsertCommands::InsertCommands(CommandContext& context) : c_(context)
{
    timePattern_ = longTimePattern(c_.platform.locale());
}

InsertCommands::~InsertCommands()
{
    watcher_.reset();
    // Only this run's copies: another copy of the program may have its own open from the
    // same folder. The folder itself goes once it is empty.
    for (auto it = openedObjects_.cbegin(); it != openedObjects_.cend(); ++it)
        QFile::remove(it.key());
    if (!openedObjects_.isEmpty())
        QDir().rmdir(objectFolder(c_.settings));
}

QString InsertCommands::longTimePattern(const QLocale& locale)
{
    // Read the regional long time format, skipping quoted literals.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    bool leadingZero = false, twelveHour = false, markerFirst = false;
    int hourAt = -1, markerAt = -1;
    QChar separator = u':';
    bool quoted = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if ((ch == u'h' || ch == u'H') && hourAt < 0) {
            hourAt = i;
            int end = i;
            while (end < format.size() && format[end] == ch)
                ++end;
            leadingZero = end - i >= 2;
            if (end < format.size() && !format[end].isLetterOrNumber() && !format[end].isSpace() && format[end] != u'\'')
                separator = format[end];
            i = end - 1;
        } else if ((ch == u'a' || ch == u'A') && markerAt < 0) {
            markerAt = i;
            twelveHour = true;
        }
    }
    markerFirst = twelveHour && hourAt >= 0 && markerAt < hourAt;
    QString pattern = leadingZero ? QStringLiteral("hh") : QStringLiteral("h");
    pattern += QStringLiteral("'%1'mm'%1'ss").arg(separator);
    if (twelveHour)
        pattern = markerFirst ? QStringLiteral("Ap ") + pattern : pattern + QStringLiteral(" Ap");
    return pattern;
}

void InsertCommands::insertText(const QString& text) { c_.RichEdit1.setSelectedText(text); }

void InsertCommands::insertDate()
{
    QString date = c_.platform.shortDate(c_.platform.now().date());
    if (date.isEmpty()) // no regional pattern
        date = c_.platform.now().date().toString(QStringLiteral("M/d/yy"));
    insertText(date);
}

void InsertCommands::insertTime() { insertText(c_.platform.locale().toString(c_.platform.now().time(), timePattern_)); }

void InsertCommands::insertGreeting() { insertText(kDobryDen); }
void InsertCommands::insertSir() { insertText(kVazenyPan); }
void InsertCommands::insertMadam() { insertText(kVazenaPani); }
void InsertCommands::insertRegards() { insertText(kSPozdravom); }
void InsertCommands::insertAt() { insertText(QStringLiteral("@")); }
void InsertCommands::insertHash() { insertText(QStringLiteral("#")); }
void InsertCommands::insertDollar() { insertText(QStringLiteral("$")); }
void InsertCommands::insertSection() { insertText(QStringLiteral("§")); }
void InsertCommands::insertBackslash() { insertText(QStringLiteral("\\")); }
void InsertCommands::insertLessThan() { insertText(QStringLiteral("<")); }
void InsertCommands::insertGreaterThan() { insertText(QStringLiteral(">")); }
void InsertCommands::insertBraces() { insertText(QStringLiteral("{}")); }

void InsertCommands::insertPicture()
{
    FileDialogSetup setup;
    setup.title = QStringLiteral("Vložiť obrázok");
    setup.filter = pictureDialogFilter();
    setup.preview = [](const QString& path) {
        try {
            const PictureFile file = loadPictureFile(path);
            return file.image.isNull() ? decodePicture(file.picture) : file.image;
        } catch (const std::exception&) {
            return QImage();
        }
    };
    const auto path = c_.platform.pictureFileName(&c_.form, setup);
    if (!path)
        return;
    // Decoded in full first: a file that cannot be used leaves the clipboard and the document
    // as they were.
    const PictureFile file = loadPictureFile(*path);
    auto* data = new QMimeData;
    if (!file.image.isNull())
        data->setImageData(file.image);
    else // a metafile, for programs that take one
        data->setData(file.picture.kind == PictureKind::Wmf ? QStringLiteral("image/x-wmf") : QStringLiteral("image/x-emf"),
                      file.picture.data);
    // The document takes the picture from its rich text, so JPEG and metafiles stay as they are.
    data->setData(QStringLiteral("text/rtf"), pictureRtf(file.picture));
    QGuiApplication::clipboard()->setMimeData(data);
    c_.RichEdit1.Paste();
}

void InsertCommands::insertFootnote()
{
    // Plain text holds no notes.
    if (c_.RichEdit1.PlainText())
        return;
    const int ref = insertNote(c_.RichEdit1.document(), c_.RichEdit1.SelectionStart() + c_.RichEdit1.SelectionLength(), false);
    c_.RichEdit1.setSelectionStart(ref + 1);
    c_.form.followNote();
    if (!c_.form.notePane->isHidden())
        c_.form.notePane->edit().setFocus();
}

void InsertCommands::insertObject()
{
    // Plain text holds no objects.
    if (c_.RichEdit1.PlainText())
        return;
    InsertObjectDialog dialog(c_.platform, &c_.form);
    if (c_.platform.showModal(dialog) != QDialog::Accepted)
        return;
    EmbeddedObject object;
    if (dialog.createNew()) {
        const auto kinds = newObjectKinds();
        const int kind = dialog.kindIndex();
        if (kind < 0 || kind >= int(kinds.size()))
            return;
        object = newObject(kinds[size_t(kind)]);
    } else {
        if (dialog.fileName().isEmpty())
            return;
        object = fileObject(dialog.fileName(), dialog.link());
    }
    insertObjectAtSelection(c_.RichEdit1, object);
    // A new object opens for editing; what is saved there comes back into the document.
    if (dialog.createNew())
        openObject(object, selectedObjectKey(c_.RichEdit1));
}

void InsertCommands::pasteSpecial()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    std::vector<PasteEntry> entries = pasteEntries(data);
    if (c_.RichEdit1.PlainText()) // plain text takes text alone
        std::erase_if(entries, [](const PasteEntry& e) { return e.form != PasteForm::Text; });
    if (entries.empty())
        return;
    PasteSpecialDialog dialog(std::move(entries), &c_.form);
    if (c_.platform.showModal(dialog) != QDialog::Accepted)
        return;
    const auto entry = dialog.chosen();
    data = QGuiApplication::clipboard()->mimeData(); // what the clipboard holds now
    if (!entry || !data)
        return;
    RichEdit& edit = c_.RichEdit1;
    switch (entry->form) {
    case PasteForm::EmbeddedObject:
    case PasteForm::LinkSource:
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
                insertObjectAtSelection(edit, fileObject(url.toLocalFile(), entry->form == PasteForm::LinkSource));
                break;
            }
        }
        break;
    case PasteForm::RichText:
        if (const QByteArray rtf = clipboardRtf(data); isRichText(rtf))
            insertRtf(edit, rtf);
        break;
    case PasteForm::RichTextNoObjects:
        if (const QByteArray rtf = rtfWithoutObjects(clipboardRtf(data)); !rtf.isEmpty())
            insertRtf(edit, rtf);
        break;
    case PasteForm::Text: {
        const int start = edit.SelectionStart();
        edit.setSelectedText(data->text());
        edit.setSelectionStart(start + edit.SelectionLength());
        edit.setSelectionLength(0);
        break;
    }
    case PasteForm::Bitmap:
        if (const QImage image = qvariant_cast<QImage>(data->imageData()); !image.isNull())
            insertRtf(edit, pictureRtf(pictureFromImage(image)));
        break;
    }
}

// The hyperlink dialog; its "Vložiť" puts the typed address into the document.
void InsertCommands::insertLink()
{
    if (HyperlinkDialog* dialog = c_.windows.hyperlink)
        dialog->execute(c_.RichEdit1);
}
// A clicked link opens with the desktop's program, whichever button clicked it, when it is a
// web or mail address. Anything else (a file, a program, a script, another scheme) could run
// something on the user's machine from a document someone sent: it is only shown.
void InsertCommands::RichEdit1URLClick(const QString& url, Qt::MouseButton)
{
    if (url.trimmed().size() > kMaxLinkLength) {
        // One pass of arg: an address may hold "%2" itself.
        c_.platform.message(&c_.form, QStringLiteral("Odkaz „%1…“ je dlhší ako %2 znakov a ZORIM ho neotvorí.")
                                          .arg(url.trimmed().left(80), QString::number(kMaxLinkLength)));
        return;
    }
    if (openableLink(url).isEmpty()) {
        c_.platform.message(&c_.form, QStringLiteral("Odkaz „%1“ nie je webová ani e-mailová adresa. ZORIM ho "
                                                     "neotvorí, aby nespustil niečo, čo nechcete.")
                                          .arg(url.trimmed()));
        return;
    }
    if (!c_.platform.openLink(url))
        c_.platform.message(&c_.form, QStringLiteral("Odkaz „%1“ sa nepodarilo otvoriť.").arg(url.trimmed()));
}

void InsertCommands::PopupMenu1Popup()
{
    MainWindow& f = c_.form;
    const auto object = selectedObject(c_.RichEdit1);
    const bool shown = object.has_value();
    f.objectSeparator->setVisible(shown);
    f.objectPropertiesItem->setVisible(shown);
    f.objectMenu->menuAction()->setVisible(shown);
    if (!object)
        return;
    const QString type = objectTypeName(*object);
    f.objectPropertiesItem->setText(QStringLiteral("%1 Properties").arg(type));
    f.objectMenu->setTitle(type);
    // Only a file can be opened or saved; a linked file is saved where it is.
    const bool file = object->isFile() || object->kind == EmbeddedObject::Kind::Linked;
    f.objectOpenItem->setVisible(file);
    f.objectSaveCopyItem->setVisible(object->isFile() && object->kind == EmbeddedObject::Kind::Embedded);
    f.objectMenu->menuAction()->setVisible(file);
}

void InsertCommands::showObjectProperties()
{
    const auto object = selectedObject(c_.RichEdit1);
    if (!object)
        return;
    ObjectPropertiesDialog dialog(*object, &c_.form);
    c_.platform.showModal(dialog);
}

// What a document names is opened only once the user has seen the whole name.
void InsertCommands::openSelectedObject()
{
    const auto object = selectedObject(c_.RichEdit1);
    if (!object)
        return;
    refuseRunnable(*object);
    const QString question = QStringLiteral("Otvoriť objekt „%1“ programom, ktorý je preň určený v systéme?");
    if (c_.platform.question(&c_.form, question.arg(objectDisplayName(*object))) == Answer::Yes)
        openObject(*object, selectedObjectKey(c_.RichEdit1));
}

void InsertCommands::refuseRunnable(const EmbeddedObject& object)
{
    if (!isSafeToOpen(object))
        throw std::runtime_error(QStringLiteral("Objekt „%1“ je program, skript alebo spúšťač. ZORIM ho z bezpečnostných "
                                                "dôvodov neotvorí.")
                                     .arg(objectDisplayName(object))
                                     .toStdString());
}

void InsertCommands::openObject(const EmbeddedObject& object, const QString& key)
{
    refuseRunnable(object);
    const QString path = objectFilePath(object, objectFolder(c_.settings));
    if (object.kind == EmbeddedObject::Kind::Embedded) {
        if (!watcher_) {
            watcher_ = std::make_unique<QFileSystemWatcher>();
            QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, watcher_.get(),
                             [this](const QString& changed) { objectFileChanged(changed); });
        }
        openedObjects_.insert(path, key);
        watcher_->addPath(path);
    }
    if (!c_.platform.openFile(path))
        throw std::runtime_error(QStringLiteral("Cannot open file %1").arg(path).toStdString());
}

void InsertCommands::objectFileChanged(const QString& path)
{
    const auto it = openedObjects_.constFind(path);
    if (it == openedObjects_.constEnd())
        return;
    QFile file(path);
    // Programs often save by replacing the file, which ends the watch: it is taken up again.
    if (watcher_ && !watcher_->files().contains(path) && QFileInfo(path).isFile())
        watcher_->addPath(path);
    if (QFileInfo(path).size() > kMaxEmbeddedFileBytes || !file.open(QIODevice::ReadOnly))
        return;
    if (!updateObjectContents(c_.RichEdit1, *it, file.readAll())) {
        // The document no longer holds the object (deleted, or another document loaded).
        openedObjects_.erase(it);
        if (watcher_)
            watcher_->removePath(path);
    }
}

void InsertCommands::saveSelectedObjectCopy()
{
    const auto object = selectedObject(c_.RichEdit1);
    if (!object || !object->isFile())
        return;
    FileDialogSetup setup;
    setup.title = QStringLiteral("Uložiť kópiu");
    setup.fileName = QFileInfo(object->fileName).fileName();
    const QString suffix = QFileInfo(object->fileName).suffix();
    setup.filter = suffix.isEmpty() ? QStringLiteral("Všetky súbory (*.*)|*")
                                    : QStringLiteral("*.%1|*.%1|Všetky súbory (*.*)|*").arg(suffix);
    const auto path = c_.platform.saveFileName(&c_.form, setup);
    if (!path)
        return;
    saveObjectCopy(*object, *path);
}

} // namespace zorim
