#pragma once
// The names of the state files in data/, in one table: every window and command that reads or
// writes one names it from here, so a file is never spelled two ways.
#include <QString>

namespace zorim::statefile {

inline const QString LastFile = QStringLiteral("data.ini");    // path of the last saved document
inline const QString IndentStep = QStringLiteral("tab.ini");   // the shared indent step
inline const QString Skin = QStringLiteral("skin.ini");        // the colour theme, 1..8
inline const QString EasyMode = QStringLiteral("easy.ini");    // 1: the easy set-up
inline const QString GoToLine = QStringLiteral("riadok.ini");  // the go-to-line dialog's number
inline const QString Find = QStringLiteral("hladat.ini");      // the find dialog's text
inline const QString Replace = QStringLiteral("nahradit.ini"); // the replace dialog's new text
inline const QString SpellCheck = QStringLiteral("pravopis.ini"); // "0": no spelling marks; else (or none) marks

} // namespace zorim::statefile
