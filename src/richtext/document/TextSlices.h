#pragma once
// A text file's bytes cut into slices a document takes one at a time: a long text is put in
// or converted a slice at a time, never decoded whole beside the document it becomes.
#include <QByteArray>
#include <deque>

namespace zorim {

// About 50 ms of a document's work.
inline constexpr qsizetype kTextSlice = 1 << 20;

// Where the slice of the bytes that starts at `from` ends: about `slice` bytes on, right after
// a line break where that stretch has one (never between the CR and LF of a pair), else at a
// UTF-8 character's start; the bytes' end at the latest.
qsizetype textSliceEnd(const QByteArray& bytes, qsizetype from, qsizetype slice = kTextSlice);

// The bytes from `from` on as copies of their slices.
std::deque<QByteArray> cutIntoSlices(const QByteArray& bytes, qsizetype from);

// A zero byte of a text file is dropped alone; what follows it is still text.
void dropZeroBytes(QByteArray& bytes);

} // namespace zorim
