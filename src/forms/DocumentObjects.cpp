#include "forms/DocumentObjects.h"

#include "forms/PictureFile.h"

#include "richtext/RichEdit.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <stdexcept>

namespace zorim {
namespace {

[[noreturn]] void fail(const QString& message) { throw std::runtime_error(message.toStdString()); }

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
    edit.view()->ensureCursorVisible();
    return {start, end};
}

void insertObjectAtSelection(RichEdit& edit, const EmbeddedObject& object)
{
    const QByteArray rtf = oneCharacterRtf([&object](QTextCursor& cursor) { insertObject(cursor, object); });
    const CharRange range = insertRtf(edit, rtf);
    edit.setSelectionStart(range.min);
    edit.setSelectionLength(range.max - range.min);
    edit.view()->ensureCursorVisible();
}

std::optional<EmbeddedObject> selectedObject(const RichEdit& edit)
{
    if (edit.SelectionLength() != 1)
        return std::nullopt;
    QTextCursor cursor(edit.view()->document());
    cursor.setPosition(edit.SelectionStart());
    cursor.setPosition(edit.SelectionStart() + 1, QTextCursor::KeepAnchor);
    return objectFromFormat(cursor.charFormat());
}

QString selectedObjectKey(const RichEdit& edit)
{
    if (!selectedObject(edit))
        return {};
    QTextCursor cursor(edit.view()->document());
    cursor.setPosition(edit.SelectionStart() + 1);
    return cursor.charFormat().toImageFormat().name();
}

bool updateObjectContents(RichEdit& edit, const QString& key, const QByteArray& contents)
{
    QTextDocument* doc = edit.view()->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() || format.toImageFormat().name() != key)
                continue;
            const auto object = objectFromFormat(format);
            if (!object || object->contents == contents)
                return bool(object);
            QTextCursor cursor(doc);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + 1, QTextCursor::KeepAnchor);
            QTextCharFormat change;
            change.setProperty(objprop::Contents, contents);
            cursor.mergeCharFormat(change);
            return true;
        }
    }
    return false;
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
    saveObjectCopy(object, path);
    return path;
}

void saveObjectCopy(const EmbeddedObject& object, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(object.contents) != object.contents.size() || !file.commit())
        fail(QStringLiteral("Cannot create file %1").arg(path));
}

} // namespace zorim
