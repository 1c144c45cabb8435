#pragma once
// The texts of Qt's dialogs and boxes that Qt's Slovak translation leaves in English.
class QObject;
class QTranslator;
class QWidget;

namespace zorim {

// A translator, owned by the parent, that answers only the texts Qt's Slovak translation
// lacks; installed after that one, so it is asked first.
QTranslator* newMissingSlovakTexts(QObject* parent);

// A desktop theme (GTK's) names the standard buttons in the desktop's language, past Qt's
// translations: a dialog's buttons that read "OK", "Cancel", "Close", "Yes" or "No" in English
// are given their Slovak texts.
void slovakStandardButtons(QWidget& dialog);

} // namespace zorim
