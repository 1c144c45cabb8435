#pragma once
// One document converted in this process, through the program's own document (no widget).
#include "convert/CommandLine.h"

#include <QString>
#include <optional>

namespace zorim::convert {

// Prints "zorim-convert: message" on standard error.
void report(const QString& message);

// Qt's notes about the session (no runtime folder, no window manager) are no concern of a
// batch conversion; only its errors are shown. Installed before the application object.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message);

// Loads job.input as the program opens a document and saves job.output: a file by its
// extension, written whole or not at all; standard output as text or RTF by textOutput.
// Answers the failure's message, naming the file, or nothing when the document converted.
// Needs the application object of a GUI program (the text documents need its fonts).
std::optional<QString> convertDocument(const Job& job, bool textOutput);

// The document's text as UTF-8 on standard output, one line per paragraph.
std::optional<QString> printText(const QString& input);

} // namespace zorim::convert
