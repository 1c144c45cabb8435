#include "forms/mainwindow/DocumentObjects.h"

#include "richtext/document/DocumentEdits.h"
#include "richtext/editor/RichEdit.h"
#include "text/WholeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTextEdit>

#include <stdexcept>

namespace zorim {
namespace {

[[noreturn]] void fail(const QString& message) { throw std::runtime_error(message.toStdString()); }

void writeObjectBytes(const EmbeddedObject& object, const QString& path, const WholeFileOptions& options)
{
    const WholeFileResult result = writeWholeFile(path, {object.contents}, options);
    if (result.status == WholeFileResult::Status::NotPlainFile)
        fail(notPlainFileMessage(path));
    if (!result.ok())
        fail(QStringLiteral("Cannot create file %1").arg(path));
}

} // namespace

CharRange insertRtf(RichEdit& edit, const QByteArray& rtf)
{
    const int start = edit.SelectionStart();
    const int removed = edit.SelectionLength();
    const int before = edit.TextLength();
    const StreamFormat format = edit.streamFormat();
    const int mode = edit.StreamMode();
    edit.setStreamFormat(StreamFormat::RichText);
    edit.setStreamMode(sm::Selection);
    QBuffer buffer;
    buffer.setData(rtf);
    buffer.open(QIODevice::ReadOnly);
    try {
        edit.LoadStream(buffer);
    } catch (...) {
        edit.setStreamFormat(format);
        edit.setStreamMode(mode);
        throw;
    }
    edit.setStreamFormat(format);
    edit.setStreamMode(mode);
    const int end = start + edit.TextLength() - before + removed;
    edit.setSelectionStart(end);
    edit.setSelectionLength(0);
    edit.widget()->ensureCursorVisible();
    return {start, end};
}

void insertObjectAtSelection(RichEdit& edit, const EmbeddedObject& object)
{
    const CharRange range = insertRtf(edit, objectRtf(object));
    edit.setSelectionStart(range.min);
    edit.setSelectionLength(range.max - range.min);
    edit.widget()->ensureCursorVisible();
}

std::optional<EmbeddedObject> selectedObject(const RichEdit& edit)
{
    if (edit.SelectionLength() != 1)
        return std::nullopt;
    return objectAt(edit.document(), edit.SelectionStart());
}

QString selectedObjectKey(const RichEdit& edit)
{
    if (!selectedObject(edit))
        return {};
    return objectKeyAt(edit.document(), edit.SelectionStart());
}

bool updateObjectContents(RichEdit& edit, const QString& key, const QByteArray& contents)
{
    return replaceObjectContents(edit.document(), key, contents);
}

EmbeddedObject fileObject(const QString& path, bool link)
{
    const QFileInfo info(path);
    if (!info.isFile())
        fail(QStringLiteral("Cannot open file %1").arg(path));
    EmbeddedObject object;
    if (link) {
        object.kind = EmbeddedObject::Kind::Linked;
        object.fileName = info.absoluteFilePath();
        return object;
    }
    if (info.size() > kMaxEmbeddedFileBytes)
        fail(QStringLiteral("Súbor %1 je príliš veľký na vloženie do dokumentu (najviac %2 MB).")
                 .arg(info.fileName())
                 .arg(kMaxEmbeddedFileBytes >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot open file %1").arg(path));
    object.fileName = info.fileName();
    object.contents = file.readAll();
    return object;
}

QString objectDisplayName(const EmbeddedObject& object)
{
    if (object.kind == EmbeddedObject::Kind::Linked)
        return QFileInfo(object.fileName).absoluteFilePath();
    return object.fileName;
}

bool isSafeToOpen(const EmbeddedObject& object)
{
    // Names that run something whatever their content: desktop entries, Windows programs and
    // scripts, and the script languages of this system.
    static const QStringList runnable = {
        QStringLiteral("desktop"), QStringLiteral("sh"), QStringLiteral("bash"), QStringLiteral("zsh"),
        QStringLiteral("csh"), QStringLiteral("ksh"), QStringLiteral("fish"), QStringLiteral("py"),
        QStringLiteral("pl"), QStringLiteral("rb"), QStringLiteral("php"), QStringLiteral("lua"),
        QStringLiteral("tcl"), QStringLiteral("js"), QStringLiteral("jar"), QStringLiteral("run"),
        QStringLiteral("bin"), QStringLiteral("appimage"), QStringLiteral("exe"), QStringLiteral("com"),
        QStringLiteral("bat"), QStringLiteral("cmd"), QStringLiteral("msi"), QStringLiteral("ps1"),
        QStringLiteral("vbs"), QStringLiteral("scr"), QStringLiteral("command"), QStringLiteral("x86_64"),
    };
    const QFileInfo info(object.fileName);
    if (runnable.contains(info.suffix().toLower()))
        return false;
    QByteArray head;
    QMimeType type;
    const QMimeDatabase types;
    if (object.kind == EmbeddedObject::Kind::Linked) {
        if (info.permissions() & (QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther))
            return false;
        QFile file(object.fileName);
        if (file.open(QIODevice::ReadOnly))
            head = file.read(4096);
        type = types.mimeTypeForFileNameAndData(info.fileName(), head);
    } else {
        head = object.contents.left(4096);
        type = types.mimeTypeForFileNameAndData(info.fileName(), head);
    }
    // A script line or a program's header runs, whatever the name.
    if (head.startsWith("#!") || head.startsWith("\x7F" "ELF"))
        return false;
    for (const char* kind : {"application/x-executable", "application/x-desktop", "application/x-sharedlib",
                             "application/x-shellscript", "text/x-script", "application/x-ms-dos-executable"})
        if (type.inherits(QString::fromLatin1(kind)))
            return false;
    return true;
}

QString objectFilePath(const EmbeddedObject& object, const QString& folder)
{
    if (object.kind == EmbeddedObject::Kind::Linked) {
        if (!QFileInfo(object.fileName).isFile())
            fail(QStringLiteral("Cannot open file %1").arg(object.fileName));
        return object.fileName;
    }
    if (!object.isFile())
        fail(QStringLiteral("Objekt typu %1 sa nedá otvoriť.").arg(objectTypeName(object)));
    // Only the name's last part counts: a name from a document never leads out of the folder.
    QString name = QFileInfo(object.fileName).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("objekt");
    if (!QDir().mkpath(folder))
        fail(QStringLiteral("Cannot create file %1").arg(folder));
    const QString path = QDir(folder).filePath(name);
    // The program's own copy, readable only by the user and never executable, whatever the
    // document calls it.
    writeObjectBytes(object, path, {.ownFile = true, .newFileMode = 0600});
    // A copy left by an earlier run keeps its mode through the write.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
}

void saveObjectCopy(const EmbeddedObject& object, const QString& path)
{
    writeObjectBytes(object, path, {});
}

} // namespace zorim
