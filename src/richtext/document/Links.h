#pragma once
// Links in the document: linked runs (characters whose format points to a target) and web
// and mail addresses found in the text as it is shown. Both the view (link clicks, the hand
// cursor) and the layout (links drawn blue and underlined) ask here.
#include "richtext/document/CharFormat.h"

#include <QList>
#include <QTextLayout>

class QTextBlock;

namespace zorim {

// Calls f(start, length) for every address in text, trailing punctuation left out.
void forEachDetectedUrl(const QString& text, const std::function<void(int, int)>& f);

// The link range holding document position pos within its paragraph, or (-1, -1): a linked
// run (all neighbouring characters with the same target), else, with detect, an address.
CharRange linkRangeAt(const QTextBlock& block, int pos, bool detect);

// The formats that show a paragraph's links, relative to the paragraph.
QList<QTextLayout::FormatRange> linkFormats(const QTextBlock& block, bool detect);

} // namespace zorim
