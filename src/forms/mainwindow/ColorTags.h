#pragma once
// Colouring the markup of a page shown as its source: text between tags, the tags ("<" or
// "{" up to ">" or "}") and the quoted values inside tags each get a colour of their own.
#include "richtext/document/CharFormat.h"
#include "richtext/document/DocumentEdits.h"

#include <QString>
#include <vector>

namespace zorim {

class RichEdit;

// Plain 0x00BBGGRR colours (no system colour, no automatic colour).
struct TagColors {
    ColorRef text;
    ColorRef markup;
    ColorRef quoted;
};

// The colours of one document: a run of equal colours per entry, in order, covering every
// position; the colour left at the insertion point after the last position.
struct TagColoring {
    using Run = ColorRun;
    std::vector<Run> runs;
    ColorRef endColor;
};

// The colour of each position of `text` (one character per document position), walking it
// once from the start:
// - "<" and "{" open markup, ">" and "}" close it after being coloured as markup, in any
//   pairing; a closing character outside markup is text;
// - a double quote inside markup opens or closes a quote; the opening quote keeps the colour
//   of the character before it, the characters after it take the quoted colour, the closing
//   quote the markup colour; a double quote outside markup is text;
// - the quote is not closed by the end of markup: after an unbalanced quote the following
//   markup is coloured as quoted until a double quote inside markup closes it.
TagColoring tagColoring(const QString& text, const TagColors& colors);

// Colours every position of the control by tagColoring, overwriting any colour it had, and
// leaves the caret at the end of the document with the colour that text typed there gets.
// The whole colouring is one bulk change of the control: one change notification.
void ColorTags(RichEdit& edit, const TagColors& colors);

} // namespace zorim
