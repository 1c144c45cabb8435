#include "richtext/editor/DocumentSearch.h"

#include "richtext/document/DocumentEdits.h"
#include "richtext/editor/RichEdit.h"

#include <algorithm>
#include <vector>

namespace zorim {

namespace {

// The first match at or after start, or -1.
int searchFrom(RichEdit& editor, const QString& text, int start)
{
    const int length = editor.TextLength();
    if (start < 0 || start > length)
        return -1;
    return editor.SearchText(text, start, length - start, so::MatchCase);
}

void selectMatch(RichEdit& editor, int at, const QString& text)
{
    editor.setFocus();
    editor.setSelectionStart(at);
    editor.setSelectionLength(int(text.size())); // also scrolls the match into view
}

// Holds the editor's screen updating for a scope and makes the edits inside it one step of
// the document: one undo step and, at the end of the bracket, the one change notification.
class BulkEdit {
public:
    explicit BulkEdit(RichEdit& editor) : editor_(editor) { editor_.Lines().BeginUpdate(); }
    ~BulkEdit() { editor_.Lines().EndUpdate(); }
    BulkEdit(const BulkEdit&) = delete;
    BulkEdit& operator=(const BulkEdit&) = delete;

private:
    RichEdit& editor_;
};

} // namespace

void FindInDocument(RichEdit& editor, const QString& text)
{
    if (text.isEmpty())
        return;
    const int at = searchFrom(editor, text, 0);
    if (at >= 0)
        selectMatch(editor, at, text);
}

void FindNextInDocument(RichEdit& editor, const QString& text)
{
    if (text.isEmpty())
        return;
    int at = searchFrom(editor, text, editor.SelectionStart() + editor.SelectionLength());
    if (at < 0)
        at = searchFrom(editor, text, 0);
    if (at >= 0)
        selectMatch(editor, at, text);
}

int ReplaceInDocument(RichEdit& editor, const QString& text, const QString& replacement)
{
    if (text.isEmpty())
        return 0;
    // Every match is found before the first change. A search after a replacement starts right
    // after the inserted text, which is the end of the match in the unchanged document, so
    // the matches are the same, and the document's text is read only once.
    const int n = int(text.size());
    std::vector<int> matches;
    for (int at = searchFrom(editor, text, 0); at >= 0; at = searchFrom(editor, text, at + n))
        matches.push_back(at);
    if (matches.empty())
        return 0;

    // The replacements go into the control's document as one edit. Made one by one through
    // the selection, each would lay its paragraph out again and scroll the view to it: some
    // 300 microseconds a match, half a minute for 100 000.
    CharRange last;
    {
        const BulkEdit bulk(editor);
        last = replaceEach(editor.document(), matches, n, replacement);
    }
    editor.setFocus();
    editor.setSelectionStart(last.min);
    editor.setSelectionLength(last.max - last.min); // also scrolls it into view
    return int(matches.size());
}

void GoToLine(RichEdit& editor, int lineNumber)
{
    int pos = 0;
    if (lineNumber > 1) {
        const int lines = editor.Lines().LineCount();
        int index = std::min(lineNumber - 1, lines);
        pos = editor.LineStart(index);
        if (pos < 0 && index > 0)
            pos = editor.LineStart(index - 1); // past the last line: the last line
        pos = std::max(pos, 0);
    }
    editor.setSelectionStart(pos);
    editor.setSelectionLength(0); // scrolls the caret into view
}

} // namespace zorim
