#pragma once
// What a document holds besides text, as the windows handle it: pictures and embedded objects
// (the records the RTF layer reads and writes), each made into the rich text of one character
// that a selection takes in, and rich text with its pictures and objects left out.
#include "richtext/formats/rtf/Objects.h"
#include "richtext/formats/rtf/Picture.h"

#include <QByteArray>
#include <QByteArrayView>

namespace zorim {

// Whether the bytes are rich text (what the control reads as RTF).
bool isRichText(QByteArrayView bytes);

// A rich text document of the one picture or object, without a paragraph mark, so that it can
// go into the middle of a paragraph.
QByteArray pictureRtf(const Picture& picture);
QByteArray objectRtf(const EmbeddedObject& object);

// The rich text with its pictures and objects left out; empty when it cannot be read.
QByteArray rtfWithoutObjects(const QByteArray& rtf);

} // namespace zorim
