#pragma once
// How a note's reference shows in the text (Notes.h): its number, raised and smaller, in the
// run's font and colour; nothing for a note whose text shows a mark of its own.
#include <QObject>

namespace zorim {

// The handler of note references the layout registers for their object type.
QObject* newNoteReferenceHandler(QObject* parent);

} // namespace zorim
