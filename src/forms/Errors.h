#pragma once
// The message a failure shows the user in the error box.
#include <QString>
#include <exception>

namespace zorim {

QString errorMessage(const std::exception& error);

} // namespace zorim
