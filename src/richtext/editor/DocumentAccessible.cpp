#include "richtext/editor/DocumentAccessible.h"

#include "richtext/document/DocFormats.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace zorim {

DocumentAccessible::DocumentAccessible(QTextEdit* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

QTextEdit* DocumentAccessible::view() const { return static_cast<QTextEdit*>(widget()); }

void* DocumentAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State DocumentAccessible::state() const
{
    QAccessible::State st = QAccessibleWidget::state();
    st.selectableText = true;
    st.multiLine = true;
    if (view()->isReadOnly())
        st.readOnly = true;
    else
        st.editable = true;
    return st;
}

QString DocumentAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(type);
}

QTextCursor DocumentAccessible::cursorAt(int offset) const
{
    QTextCursor cursor(view()->document());
    cursor.setPosition(std::clamp(offset, 0, characterCount()));
    return cursor;
}

QTextCursor DocumentAccessible::range(int startOffset, int endOffset) const
{
    QTextCursor cursor = cursorAt(startOffset);
    cursor.setPosition(std::clamp(endOffset, 0, characterCount()), QTextCursor::KeepAnchor);
    return cursor;
}

void DocumentAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = view()->textCursor();
    if (selectionIndex == 0 && cursor.hasSelection()) {
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
}

int DocumentAccessible::selectionCount() const { return view()->textCursor().hasSelection() ? 1 : 0; }
void DocumentAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void DocumentAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = view()->textCursor();
    cursor.clearSelection();
    view()->setTextCursor(cursor);
}

void DocumentAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->setTextCursor(range(startOffset, endOffset));
}

int DocumentAccessible::cursorPosition() const { return view()->textCursor().position(); }
void DocumentAccessible::setCursorPosition(int position) { view()->setTextCursor(cursorAt(position)); }

// The text between two positions, a paragraph's end as a line end; an object that shows
// nothing reads as the joiner, a picture or an embedded object as the object character.
QString DocumentAccessible::text(int startOffset, int endOffset) const
{
    const QTextCursor cursor = range(startOffset, endOffset);
    QString text = cursor.selectedText().replace(QChar(QChar::ParagraphSeparator), u'\n');
    const int from = cursor.selectionStart();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QChar::ObjectReplacementCharacter)
            continue;
        QTextCursor at = cursorAt(from + int(i) + 1);
        if (at.charFormat().objectType() == kHiddenTextObject)
            text[i] = QChar(kHiddenReadsAs);
    }
    return text;
}

QString DocumentAccessible::boundary(QTextCursor cursor, QAccessible::TextBoundaryType type, int* startOffset,
                                     int* endOffset) const
{
    const QPair<int, int> ends = QAccessible::qAccessibleTextBoundaryHelper(cursor, type);
    *startOffset = ends.first;
    *endOffset = ends.second;
    return text(ends.first, ends.second);
}

QString DocumentAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                                             int* endOffset) const
{
    const QPair<int, int> here = QAccessible::qAccessibleTextBoundaryHelper(cursorAt(offset), type);
    return boundary(cursorAt(here.first - 1), type, startOffset, endOffset);
}

QString DocumentAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                                            int* endOffset) const
{
    const QPair<int, int> here = QAccessible::qAccessibleTextBoundaryHelper(cursorAt(offset), type);
    return boundary(cursorAt(here.second), type, startOffset, endOffset);
}

QString DocumentAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                                         int* endOffset) const
{
    return boundary(cursorAt(offset), type, startOffset, endOffset);
}

int DocumentAccessible::characterCount() const
{
    QTextCursor cursor(view()->document());
    cursor.movePosition(QTextCursor::End);
    return cursor.position();
}

QRect DocumentAccessible::characterRect(int offset) const
{
    const QRect at = view()->cursorRect(cursorAt(offset));
    const QRect next = view()->cursorRect(cursorAt(offset + 1));
    const int width = next.top() == at.top() ? std::max(1, next.left() - at.left()) : 1;
    return QRect(view()->viewport()->mapToGlobal(at.topLeft()), QSize(width, at.height()));
}

int DocumentAccessible::offsetAtPoint(const QPoint& point) const
{
    return view()->cursorForPosition(view()->viewport()->mapFromGlobal(point)).position();
}

// Scrolls the text into view without moving the caret.
void DocumentAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    const QRect text = view()->cursorRect(cursorAt(startIndex)).united(view()->cursorRect(cursorAt(endIndex)));
    QScrollBar* bar = view()->verticalScrollBar();
    const int height = view()->viewport()->height();
    if (text.top() < 0)
        bar->setValue(bar->value() + text.top());
    else if (text.bottom() > height)
        bar->setValue(bar->value() + std::min(text.top(), text.bottom() - height));
}

// The run at the offset with its face, size, weight, slant and underline, in the names
// assistive technologies use.
QString DocumentAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    const int count = characterCount();
    if (offset == -2)
        offset = cursorPosition();
    if (offset == -1 || offset == count)
        offset = count - 1;
    if (offset < 0 || offset > count) {
        *startOffset = *endOffset = -1;
        return {};
    }
    const QTextBlock block = view()->document()->findBlock(offset);
    *startOffset = block.position();
    *endOffset = block.position() + block.length();
    QTextCharFormat format = block.charFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(offset)) {
            format = fragment.charFormat();
            *startOffset = fragment.position();
            *endOffset = fragment.position() + fragment.length();
            break;
        }
    }
    const QFont font = format.font();
    QString out = QStringLiteral("font-family:\"%1\";").arg(font.family());
    if (font.pointSize() > 0)
        out += QStringLiteral("font-size:%1pt;").arg(font.pointSize());
    out += QStringLiteral("font-weight:%1;font-style:%2;")
               .arg(QLatin1String(font.bold() ? "bold" : "normal"), QLatin1String(font.italic() ? "italic" : "normal"));
    if (font.underline())
        out += QStringLiteral("text-underline-style:solid;text-underline-type:single;");
    return out;
}

} // namespace zorim
