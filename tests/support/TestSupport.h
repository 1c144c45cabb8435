#pragma once
// Helpers shared by the test programs.
#include <QString>

namespace zorim::test {

// The project's source folder (set by CTest), for data/ and the shared test documents.
QString sourceDir();

// ../shared/testdata beside the checkout.
QString sharedTestData(const QString& relative);

} // namespace zorim::test
