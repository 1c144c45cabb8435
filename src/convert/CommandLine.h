#pragma once
// The converter's command line turned into the conversions it asks for.
#include <QString>
#include <QStringList>

#include <vector>

namespace zorim::convert {

// Standard input as an input, standard output as an output.
inline const QString kStandardStream = QStringLiteral("-");

// One document to convert. A file output's format is that of its extension; standard
// output gets the request's format.
struct Job {
    QString input;
    QString output;
};

struct Request {
    enum class Mode { Help, Convert, Text, Worker } mode = Mode::Convert;
    std::vector<Job> jobs;
    // Inputs refused before any conversion (an output another input already has, an output
    // over an input, a folder with no document): messages naming them. Each counts
    // as a failed file.
    QStringList refused;
    // What standard output is written as.
    bool textToStandardOutput = false;
    // The folder the outputs go to, to be created when missing (empty: beside each input).
    QString outputFolder;
    // How many conversions run at once; 0 for one per processor core.
    int workers = 0;
    // Set when the command line cannot be followed; nothing is converted.
    QString usageError;
};

// The extensions of the documents a folder given as input stands for.
bool isDocumentName(const QString& fileName);

Request parseCommandLine(const QStringList& arguments);

} // namespace zorim::convert
