#pragma once
// Edits of a whole document made at once, through one cursor of their own inside one edit of
// the text document, rather than by moving the control's selection to each place: the view
// then neither places its caret nor shapes a line once per place, and the layout and the link
// detection see one change. A window brackets them with the control's bulk change
// (RichLines::BeginUpdate / EndUpdate) for one undo step and one change notice.
// Also the objects a document holds, found by position or by the name they show under.
#include "richtext/document/CharFormat.h"
#include "richtext/document/EmbeddedContent.h"

#include <QString>
#include <optional>
#include <vector>

namespace zorim {

class RichDocument;

// Replaces `length` characters at each start (in order, not overlapping, positions of the
// document before the first replacement) by the text, in which CR LF, CR and LF each end a
// paragraph. Each replacement takes the attributes of the first character it replaces, as
// text typed over a selection does. Answers where the last replacement went and its length.
CharRange replaceEach(RichDocument& doc, const std::vector<int>& starts, int length, const QString& text);

// A run of positions of one colour.
struct ColorRun {
    int start;
    int length;
    ColorRef color;
};

// Gives each run (in order, not overlapping) its colour as the control's selection colour
// does: the characters keep every other attribute, and a run that takes in a paragraph break
// colours its paragraph's own format.
void colorRuns(RichDocument& doc, const std::vector<ColorRun>& runs);

// The object the character at pos is, if it is one.
std::optional<EmbeddedObject> objectAt(const RichDocument& doc, int pos);

// The name the character at pos shows under while the document holds it (the name of its
// picture): what names an object between edits.
QString objectKeyAt(const RichDocument& doc, int pos);

// Gives the object named so new contents (an embedded file edited outside); false when the
// document no longer holds it.
bool replaceObjectContents(RichDocument& doc, const QString& key, const QByteArray& contents);

} // namespace zorim
