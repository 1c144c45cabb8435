#pragma once
// File names as the system holds them: bytes, mostly UTF-8, but any bytes but '/' and zero.
// A name that is no UTF-8 (a Latin-1 "café.rtf" copied from an old disk) must still open, so
// such bytes travel through QString in a form that gives them back exactly.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zorim {

// The name's bytes as text: UTF-8 where they are, and each byte that is no part of a UTF-8
// character as U+DC80 + its low seven bits (a lone low surrogate, which no UTF-8 decodes to).
QString fileNameFromBytes(QByteArrayView bytes);
// The bytes back: fileNameBytes(fileNameFromBytes(b)) == b for any b.
QByteArray fileNameBytes(const QString& name);

// A path as a file dialog gives it, whose name it could only show with U+FFFD for bytes that
// are no UTF-8: the path of the one file in that folder whose name shows so. Any other path
// comes back as it is.
QString existingFileName(const QString& path);

// Whether the path names a plain file (following links), by its bytes.
bool isPlainFile(const QString& path);
// Whether the path names a folder (following links), by its bytes.
bool isFolder(const QString& path);

// The names in a folder, each by its bytes, without "." and ".."; none when it cannot be read.
QStringList folderEntries(const QString& folder);

} // namespace zorim
