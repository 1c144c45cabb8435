#pragma once
// The calculator command: starts the desktop's calculator as a program of its own, without
// waiting for it. Silent when there is none or it does not start.
#include <QStringList>

namespace zorim {

class Platform;

// The calculators looked for, first found first.
const QStringList& calculatorPrograms();

// Starts the first calculator found in the folders of PATH (or in searchPath when given).
void Kakulaka(Platform& platform, const QStringList& searchPath = {});

} // namespace zorim
