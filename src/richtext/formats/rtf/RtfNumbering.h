#pragma once
// Paragraph numbers as the writer spells them: the label a numbered paragraph shows, and the
// control word that names its style.
#include <QByteArray>

#include <cstdint>

namespace zorim::rtf {

// The label of the n-th paragraph (from 1) in this numbering style.
QByteArray numberLabel(uint16_t numbering, int n);
// The \pn word of the style.
const char* numberingWord(uint16_t numbering);

} // namespace zorim::rtf
