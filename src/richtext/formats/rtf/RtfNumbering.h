#pragma once
// Lists as the writer spells them: a list's levels as the list table states them, and the
// text of list words.
#include <QByteArray>
#include <QString>

class QTextListFormat;

namespace zorim::rtf {

// The list's entry of the list table ({\list … \listidN}), all nine levels, under this number.
QByteArray listTableEntry(int number, const QTextListFormat& format);
// Text as list words carry it: ASCII as it is, the rest as \uN?.
QByteArray listText(const QString& text);

} // namespace zorim::rtf
