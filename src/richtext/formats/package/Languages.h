#pragma once
// Languages as XML documents name them ("sk-SK") and as the document keeps them (Windows
// language numbers, as RTF's \lang).
#include <QString>
#include <QStringView>

#include <cstdint>

namespace zorim::package {

// The language number of a tag; 0 for one the document does not know.
uint16_t languageOfTag(QStringView tag);

} // namespace zorim::package

namespace zorim::package {

// The tag of a language number; empty for one the table does not hold.
QString tagOfLanguage(uint16_t language);

} // namespace zorim::package
