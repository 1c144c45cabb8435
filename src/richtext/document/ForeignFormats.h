#pragma once
// Documents of other programs, told by their first bytes: office documents (ZIP containers and
// the older compound files), PDF, pictures and executables. Read as text they would show as
// junk and a save would write that junk over them, so the control refuses them instead.
#include <QByteArrayView>
#include <QString>

namespace zorim {

// How many bytes of a file's start foreignFormat needs to see.
inline constexpr qsizetype kForeignFormatHead = 64 * 1024;

// The kind of the document whose file starts with head ("DOCX", "ODT", "PDF", "DOC", "PNG",
// "EXE", ...), or an empty text when it is none of them: text, RTF or anything unknown.
QString foreignFormat(QByteArrayView head);

} // namespace zorim
