#include "forms/mainwindow/ColorTags.h"

#include "richtext/DocFormats.h"
#include "richtext/RichEdit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace zorim {
namespace {

// Gives each run its colour as the control's selection colour does (the characters of each
// paragraph keep every other attribute; a selected paragraph break colours its paragraph's
// own format), but through one cursor of its own inside one edit of the document. Moving the
// control's selection to each run would make the view place its caret anew each time, shaping
// the run's whole line once per run; here the layout and the link detection see one change.
void colorRuns(QTextDocument& document, const std::vector<TagColoring::Run>& runs)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    QTextBlock block = document.begin();
    for (const TagColoring::Run& run : runs) {
        QTextCharFormat color;
        color.setForeground(colorFromRef(run.color));
        const int end = run.start + run.length;
        // Runs follow each other: the paragraph where the last run ended holds this one's start.
        block = block.isValid() && block.position() <= run.start ? block : document.findBlock(run.start);
        for (; block.isValid() && block.position() < end; block = block.next()) {
            const int textEnd = block.position() + block.length() - 1; // the paragraph break
            const int from = std::max(run.start, block.position());
            const int to = std::min(end, textEnd);
            if (from < to) {
                cursor.setPosition(from);
                cursor.setPosition(to, QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(color);
            }
            if (textEnd >= end)
                break; // the run ends inside this paragraph: the next run starts here
            cursor.setPosition(block.position());
            cursor.mergeBlockCharFormat(color);
        }
    }
    cursor.endEditBlock();
}

} // namespace

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
        colorRuns(*edit.view()->document(), coloring.runs);
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
