#pragma once
// Keys sent as the window gets them, for benchmarks of what a keystroke costs.
#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

namespace zorim::bench {

// Pressed, released and the event loop turned once, so every refresh the key causes is
// counted, however it is scheduled.
inline void keystroke(QWidget* target, Qt::Key key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
}

// A letter, or (letter false) its removal: alternated, the document keeps its size.
inline void typeOrRemoveLetter(QWidget* target, bool letter)
{
    if (letter)
        keystroke(target, Qt::Key_A, QStringLiteral("a"));
    else
        keystroke(target, Qt::Key_Backspace, QStringLiteral("\b"));
}

} // namespace zorim::bench
