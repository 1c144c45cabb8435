#pragma once
// Converting the documents a command line names: one at a time in this process, or several
// at once in worker processes, with a progress line and a summary.
#include "convert/CommandLine.h"

namespace zorim::convert {

// Converts every job of the request; answers the exit status (1 when any file failed).
int runBatch(const Request& request, int& argc, char** argv);

// Prints the document's text; answers the exit status.
int runText(const QString& input, int& argc, char** argv);

// A worker: converts the jobs its parent sends on standard input, one at a time, and
// answers each on standard output.
int runWorker(int& argc, char** argv);

} // namespace zorim::convert
