#include "forms/ProgramInfo.h"

#ifndef ZORIM_VERSION
#error "ZORIM_VERSION comes from the build: the project's version"
#endif
#ifndef ZORIM_RELEASE_DATE
#error "ZORIM_RELEASE_DATE comes from the build"
#endif

namespace zorim {

QString programVersion() { return QStringLiteral(ZORIM_VERSION); }
QString releaseDate() { return QStringLiteral(ZORIM_RELEASE_DATE); }

} // namespace zorim
