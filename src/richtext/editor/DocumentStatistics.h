#pragma once
// The counts of the statistics window: characters, words, laid-out lines and blanks of the
// document, from its plain text (a line break counts two characters, CR and LF).
#include <QString>

namespace zorim {

class RichEdit;

struct DocumentStatistics {
    int characters = 0;
    int words = 0;
    int lines = 0;
    int blanks = 0;
    bool operator==(const DocumentStatistics&) const = default;
};

// A word character: "-", "_", or a letter or digit above the blank. Every letter and digit of
// Windows-1250 counts (the accented Slovak letters among them), and so do the letters and
// digits of other scripts that a document may hold.
bool isWordChar(char32_t ch);

// The number of maximal runs of word characters.
int CountWords(const QString& text);
// The number of blanks and tabs; line breaks and other white space do not count.
int CountBlanks(const QString& text);
// Characters as the user sees them: a character outside the basic plane counts once.
int CountCharacters(const QString& text);

// All four counts of the document the control holds; lines as the control lays them out.
DocumentStatistics countDocument(RichEdit& editor);

} // namespace zorim
