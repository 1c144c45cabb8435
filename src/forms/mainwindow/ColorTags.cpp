#include "forms/mainwindow/ColorTags.h"

#include "richtext/document/DocumentEdits.h"
#include "richtext/editor/RichEdit.h"

namespace zorim {

TagColoring tagColoring(const QString& text, const TagColors& colors)
{
    TagColoring result;
    bool inMarkup = false;
    bool inQuote = false;
    ColorRef current = colors.text;
    // The colour a position gets once the state has taken its character in.
    const auto colorFor = [&](bool quoteOpened) {
        if (inMarkup && inQuote)
            return quoteOpened ? current : colors.quoted;
        return inMarkup ? colors.markup : colors.text;
    };
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'<' || c == u'{')
            inMarkup = true;
        bool quoteOpened = false;
        if (inMarkup && c == u'"') {
            inQuote = !inQuote;
            quoteOpened = inQuote;
        }
        current = colorFor(quoteOpened);
        if (!result.runs.empty() && result.runs.back().color == current)
            ++result.runs.back().length;
        else
            result.runs.push_back({i, 1, current});
        if (c == u'>' || c == u'}')
            inMarkup = false;
    }
    // Beyond the last character nothing changes the state any more.
    result.endColor = colorFor(false);
    return result;
}

void ColorTags(RichEdit& edit, const TagColors& colors)
{
    edit.setFocus();
    const TagColoring coloring = tagColoring(edit.TextRange(0, edit.TextLength()), colors);
    RichLines& lines = edit.Lines();
    lines.BeginUpdate();
    try {
        // One cursor of the document's own rather than the control's selection moved to each
        // run, which would shape the run's whole line once per run.
        colorRuns(edit.document(), coloring.runs);
        // The caret at the end, nothing selected, takes the colour that text typed there gets.
        // Setting the selection again would drop that colour.
        edit.setSelectionStart(edit.TextLength());
        edit.SelectionAttributes().setColor(coloring.endColor);
    } catch (...) {
        lines.EndUpdate();
        throw;
    }
    lines.EndUpdate();
}

} // namespace zorim
