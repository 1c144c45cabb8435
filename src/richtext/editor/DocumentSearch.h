#pragma once
// What find, find next, replace and go to line do to the document: free functions on the
// document control, so the main window's commands only read their texts and call these.
// Search is always case-sensitive and runs over the whole document.
#include <QString>

namespace zorim {

class RichEdit;

// Selects the first match of text in the document and gives the editor the focus. No match
// (or an empty text) leaves the selection and the focus as they were.
void FindInDocument(RichEdit& editor, const QString& text);

// Selects the next match after the current selection; past the last match the search starts
// again at the top. No match leaves the selection as it was.
void FindNextInDocument(RichEdit& editor, const QString& text);

// Replaces every match of text, from the start of the document to its end, by replacement.
// Text brought in by a replacement is never searched again. The whole run raises one change
// notification; afterwards the last inserted replacement is selected. With no match (or an
// empty text) nothing changes. Returns the number of replacements.
int ReplaceInDocument(RichEdit& editor, const QString& text, const QString& replacement);

// Puts the caret, with nothing selected, at the start of the laid-out line numbered from 1.
// A number past the last line goes to the start of the last line; 0 or less to the start of
// the document.
void GoToLine(RichEdit& editor, int lineNumber);

} // namespace zorim
