#pragma once
// The main window with the user at the keyboard: typing and pressing keys with the focus in
// the document, clicking buttons, choosing menu items, and reading back what the document
// holds at a given place.
#include "FormsTestSupport.h"

#include <QToolButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace zorim::test {

class DocumentTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        form = start();
        ASSERT_EQ(platform.errors(), QStringList());
    }

    RichEdit& doc() { return *form->RichEdit1; }
    QTextEdit* widget() { return form->RichEdit1->widget(); }

    // Keys pressed with the focus in the document.
    // Characters as typed, whatever the keyboard layout (also the Slovak letters).
    void type(const QString& text)
    {
        typeText(widget(), text);
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(widget(), key, modifiers);
        settle();
    }
    // The selection made with the keyboard from the document's start: Ctrl+Home, then
    // Shift+Right as often as needed. The key-up of each key refreshes the toolbars.
    void select(int from, int length)
    {
        press(Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < from; ++i)
            press(Qt::Key_Right);
        for (int i = 0; i < length; ++i)
            press(Qt::Key_Right, Qt::ShiftModifier);
    }
    // Chooses a menu item as the user does with the mouse; a toolbar button is clicked.
    static void choose(QAction* item) { item->trigger(); }
    static void click(QToolButton* button) { button->click(); }

    // The attributes of the one character at pos, read through the selection; the selection
    // is put back afterwards.
    template <typename Read>
    auto at(int pos, Read read)
    {
        const int start = doc().SelectionStart(), length = doc().SelectionLength();
        doc().setSelectionStart(pos);
        doc().setSelectionLength(1);
        auto value = read(doc().SelectionAttributes());
        doc().setSelectionStart(start);
        doc().setSelectionLength(length);
        return value;
    }
    int styleAt(int pos) { return at(pos, [](TextAttributes& a) { return a.Style(); }); }
    int sizeAt(int pos) { return at(pos, [](TextAttributes& a) { return a.Size(); }); }
    QString nameAt(int pos) { return at(pos, [](TextAttributes& a) { return a.Name(); }); }
    // Raised or lowered, as the document shows the character.
    QTextCharFormat::VerticalAlignment verticalAt(int pos)
    {
        QTextCursor cursor(widget()->document());
        cursor.setPosition(pos + 1);
        return cursor.charFormat().verticalAlignment();
    }

    std::unique_ptr<MainWindow> form;
};

} // namespace zorim::test
