#pragma once
// What the help window and the about box say about the program: its version (the build's
// project version) and its release date.
#include <QString>

namespace zorim {

QString programVersion();
QString releaseDate();

} // namespace zorim
