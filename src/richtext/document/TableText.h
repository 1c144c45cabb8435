#pragma once
// Tables as the commands that read text see them: the cells of a row separated by tabs, each
// row ending like a paragraph, and a paragraph break inside a cell read as a blank, so a row
// stays one line. The frame characters Qt keeps around a table and its cells never show:
// each stands in for one character of that text, so positions stay the document's.
#include <QString>

class QTextDocument;

namespace zorim {

// The document's own characters (QTextDocument::toRawText) with its tables as text.
void showTablesAsText(const QTextDocument& doc, QString& raw);

// A range from one cell of a table to another selects the cells between them (the rows from
// the first cell's to the last's, the columns between theirs): their text, rows ending with
// a paragraph separator. Null for any other range. raw: as showTablesAsText makes it.
QString cellRangeText(const QTextDocument& doc, const QString& raw, int from, int to);

} // namespace zorim
