#pragma once
// The texts of Qt's dialogs and boxes that Qt's Slovak translation leaves in English.
class QObject;
class QTranslator;

namespace zorim {

// A translator, owned by the parent, that answers only the texts Qt's Slovak translation
// lacks; installed after that one, so it is asked first.
QTranslator* newMissingSlovakTexts(QObject* parent);

} // namespace zorim
