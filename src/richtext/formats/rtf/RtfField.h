#pragma once
// Field instructions: the one field whose meaning the document keeps is HYPERLINK.
#include <QString>

#include <optional>

namespace zorim::rtf {

// The target of a HYPERLINK field instruction: the address, with "#place" for \l; nothing
// for other fields or an empty address.
std::optional<QString> hyperlinkTarget(const QString& instruction);

} // namespace zorim::rtf
