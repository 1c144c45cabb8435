#pragma once
// What a screen reader reads of a document view: Qt's rich text interface over the same
// positions, but hidden text and kept comments, which show nothing, read as nothing either.
// It reads and moves the caret and the selection; it edits nothing, since every edit goes
// through the control's own operations (undo, change notices).
#include <QAccessibleWidget>

class QTextCursor;
class QTextEdit;

namespace zorim {

class DocumentAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DocumentAccessible(QTextEdit* view);

    // The character a hidden object reads as: WORD JOINER, a format character that screen
    // readers leave unspoken and that joins rather than splits the word around it; the
    // offsets stay the document's positions, as the view's caret and change notices give them.
    static constexpr char16_t kHiddenReadsAs = 0x2060;

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset, int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QTextEdit* view() const;
    QTextCursor cursorAt(int offset) const;
    QTextCursor range(int startOffset, int endOffset) const;
    QString boundary(QTextCursor cursor, QAccessible::TextBoundaryType type, int* startOffset, int* endOffset) const;
};

} // namespace zorim
