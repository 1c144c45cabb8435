#pragma once
// Spelling as the user types: the misspelled words of a shown document are found paragraph by
// paragraph and drawn with a red wavy line by the layout (ParagraphLayout::setDecorations).
// The marks live beside the paragraphs (block user data), never in their formats: they are
// not saved, copied, printed or undone.
//
// Words are checked in their run's language (docprop::Language; Slovak when a run has none);
// runs not to be proofed (docprop::NoProof) and languages with no dictionary installed are not
// marked, nor are words with digits, words of one letter, linked runs and addresses in the
// text. An edit inside one paragraph checks again only the words around it; larger edits, a
// load and switching on leave paragraphs to be checked: those drawn are checked as they are
// drawn (so what is on screen is marked at once), the rest in slices on the event loop.
#include "richtext/document/CharFormat.h"

#include <QObject>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextLayout>

#include <optional>

class QTextBlock;
class QTextDocument;
class QTimer;

namespace zorim {

class RichDocument;
class Speller;

class SpellCheck : public QObject {
    Q_OBJECT
public:
    // The language of the document's runs that name none.
    static constexpr int kSlovak = kSlovakLanguage;

    explicit SpellCheck(RichDocument& doc, QObject* parent = nullptr);
    ~SpellCheck() override;

    // The dictionaries used: the program's (Speller::system()) unless told otherwise.
    void useSpeller(Speller& speller);

    // Whether spelling can be checked at all: Enchant is there and so is the Slovak dictionary.
    enum class Availability { Ready, NoLibrary, NoDictionary };
    Availability availability() const;

    bool enabled() const { return enabled_; }
    // Marks come or go; nothing in the document changes.
    void setEnabled(bool on);

    // The caret moved to pos. The word being typed is not drawn as misspelled until the caret
    // leaves its end: a word half typed is seldom a word.
    void caretMovedTo(int pos);

    // A misspelled word: where it stands in the document and the language it was checked in.
    struct Word {
        int start = 0;
        int length = 0;
        QString text;
        QString language; // dictionary tag, "sk_SK"
    };
    // The marked word holding document position pos (its end included), if any.
    std::optional<Word> misspellingAt(int pos) const;
    QStringList suggestions(const Word& word, int max = 5) const;
    // Replaces the word, still as it was marked, by replacement in the format of its first
    // character: one undo step. Answers whether it did.
    bool correct(const Word& word, const QString& replacement);
    // The word goes into the user's personal word list; its marks go.
    void addToDictionary(const Word& word);
    // The word counts as correct for the rest of the run; its marks go.
    void ignore(const Word& word);

    // Marked words of the whole document as (start, end) ranges, every paragraph checked
    // first; for tests.
    QList<CharRange> misspellings();
    // Whether every paragraph has been checked (nothing left for the slices).
    bool complete() const { return nextBlock_ < 0; }

    // The dictionary tag for a Windows language number; empty for one we know no tag for.
    static QString languageTag(int lcid);

    // A marked word within its paragraph.
    struct Mark {
        int start;
        int length;
    };

private:
    Speller& speller() const;
    void attach();
    void onContentsChange(int from, int removed, int added);
    QList<QTextLayout::FormatRange> decorations(const QTextBlock& block);
    bool isCurrent(const QTextBlock& block) const;
    void checkBlock(QTextBlock block);
    // An edit inside one checked paragraph: at is where it starts in the paragraph, removed
    // and added its lengths. The marks after it move; the words it touched are checked again.
    void recheckEdit(QTextBlock block, int at, int removed, int added);
    // The misspelled words of [from, to) of the paragraph (whole words only).
    void findMisspelled(const QTextBlock& block, const QString& text, int from, int to, QList<Mark>& out);
    bool misspelled(const QString& tag, const QString& word);
    void staleFrom(const QTextBlock& first, const QTextBlock& last);
    void scheduleFrom(int blockNumber);
    void checkSlice();
    // Takes the word's marks away everywhere after the dictionary changed for it.
    void forget(const Word& word);
    void repaint();

    RichDocument& doc_;
    Speller* speller_ = nullptr; // nullptr: the program's, made when first needed
    QTextDocument* text_ = nullptr; // the one attached
    QTimer* slices_ = nullptr;
    bool enabled_ = false;
    int generation_ = 0;  // a paragraph is checked when its user state holds this
    int blockCount_ = 0;
    int nextBlock_ = -1;
    int typedTo_ = -1;    // where the text just typed ends (the caret while typing); -1: none  // the first paragraph the slices may still have to check; -1: none
    QHash<QString, QHash<QString, bool>> known_; // by tag: word -> misspelled
    QHash<int, bool> hasDictionary_;            // by language number
    QTextCharFormat markFormat_;
};

} // namespace zorim
