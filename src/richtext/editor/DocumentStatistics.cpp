#include "richtext/editor/DocumentStatistics.h"

#include "richtext/editor/RichEdit.h"

namespace zorim {

bool isWordChar(char32_t ch)
{
    if (ch == u'-' || ch == u'_')
        return true;
    return ch > 32 && QChar::isLetterOrNumber(ch);
}

int CountWords(const QString& text)
{
    int words = 0;
    bool inWord = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t ch = text.at(i).unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        const bool word = isWordChar(ch);
        if (word && !inWord)
            ++words;
        inWord = word;
    }
    return words;
}

int CountBlanks(const QString& text)
{
    int blanks = 0;
    for (const QChar ch : text)
        if (ch == u' ' || ch == u'\t')
            ++blanks;
    return blanks;
}

int CountCharacters(const QString& text)
{
    int characters = 0;
    for (const QChar ch : text)
        if (!ch.isLowSurrogate())
            ++characters;
    return characters;
}

DocumentStatistics countDocument(RichEdit& editor)
{
    const QString text = editor.Text();
    DocumentStatistics s;
    s.characters = CountCharacters(text);
    s.words = CountWords(text);
    s.lines = editor.Lines().LineCount();
    s.blanks = CountBlanks(text);
    return s;
}

} // namespace zorim
