#pragma once
// Languages as XML documents name them ("sk-SK") and as the document keeps them (Windows
// language numbers, as RTF's \lang).
#include <QStringView>

#include <cstdint>

namespace zorim::package {

// The language number of a tag; 0 for one the document does not know.
uint16_t languageOfTag(QStringView tag);

} // namespace zorim::package
