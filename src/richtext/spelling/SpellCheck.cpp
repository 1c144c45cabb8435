#include "richtext/spelling/SpellCheck.h"

#include "richtext/document/DocFormats.h"
#include "richtext/document/Links.h"
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/document/RichDocument.h"
#include "richtext/spelling/Speller.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace zorim {
namespace {

// A slice of checking stops after this long, so a key pressed meanwhile waits no longer.
constexpr qint64 kSliceMs = 2;
// An edit of at most this many paragraphs and characters is checked at once; a larger one
// (a paste, a replace-all) is left to the drawing and the slices.
constexpr int kParagraphsAtOnce = 64;
constexpr int kCharactersAtOnce = 64 * 1024;
// Verdicts kept per language; the cache starts over beyond this.
constexpr int kKnownWords = 200000;

struct BlockMarks : QTextBlockUserData {
    QList<SpellCheck::Mark> marks;
};

const QList<SpellCheck::Mark>* marksOf(const QTextBlock& block)
{
    const auto* data = static_cast<const BlockMarks*>(block.userData());
    return data ? &data->marks : nullptr;
}

void setMarks(QTextBlock& block, QList<SpellCheck::Mark> marks)
{
    if (marks.isEmpty()) {
        if (block.userData())
            block.setUserData(nullptr);
        return;
    }
    auto* data = new BlockMarks;
    data->marks = std::move(marks);
    block.setUserData(data);
}

// Letters with their accents, digits and the underscore make words; an apostrophe between
// two of them stays inside ("don't").
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c.isMark() || c == u'_'; }
bool isApostrophe(QChar c) { return c == u'\'' || c == QChar(0x2019); }
bool joinsWord(const QString& text, int i)
{
    return isWordChar(text[i])
        || (isApostrophe(text[i]) && i > 0 && i + 1 < text.size() && isWordChar(text[i - 1]) && isWordChar(text[i + 1]));
}

// A run not to be proofed counts as one of no language (0): no dictionary has words for it.
int languageOf(const QTextCharFormat& format)
{
    if (format.boolProperty(docprop::NoProof))
        return 0;
    return format.hasProperty(docprop::Language) ? format.intProperty(docprop::Language) : SpellCheck::kSlovak;
}

// The runs of a paragraph as the checker sees them: their language, and whether they are a
// link (whose words are an address, not language).
struct Run {
    int start;
    int end;
    int language;
    bool link;
};

QList<Run> runsOf(const QTextBlock& block)
{
    QList<Run> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (!f.isValid())
            continue;
        const QTextCharFormat cf = f.charFormat();
        const int start = f.position() - block.position();
        runs.append({start, start + f.length(), languageOf(cf), cf.isAnchor()});
    }
    return runs;
}

} // namespace

SpellCheck::SpellCheck(RichDocument& doc, QObject* parent)
    : QObject(parent), doc_(doc)
{
    slices_ = new QTimer(this);
    slices_->setSingleShot(true);
    slices_->setInterval(0);
    connect(slices_, &QTimer::timeout, this, &SpellCheck::checkSlice);
    markFormat_.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    markFormat_.setUnderlineColor(Qt::red);
    connect(&doc_, &RichDocument::replaced, this, &SpellCheck::attach);
    attach();
}

SpellCheck::~SpellCheck()
{
    ParagraphLayout::of(doc_).setDecorations({});
}

void SpellCheck::useSpeller(Speller& speller)
{
    speller_ = &speller;
    known_.clear();
    hasDictionary_.clear();
    ++generation_;
    if (enabled_)
        scheduleFrom(0);
    repaint();
}

Speller& SpellCheck::speller() const { return speller_ ? *speller_ : Speller::system(); }

SpellCheck::Availability SpellCheck::availability() const
{
    if (!speller().loaded())
        return Availability::NoLibrary;
    return speller().hasDictionary(languageTag(kSlovak)) ? Availability::Ready : Availability::NoDictionary;
}

QString SpellCheck::languageTag(int lcid)
{
    // The languages a Slovak user's documents are likely to hold, by their Windows numbers.
    static const QHash<int, QString> tags = {
        {1051, QStringLiteral("sk_SK")}, {1029, QStringLiteral("cs_CZ")}, {1033, QStringLiteral("en_US")},
        {2057, QStringLiteral("en_GB")}, {3081, QStringLiteral("en_AU")}, {4105, QStringLiteral("en_CA")},
        {1031, QStringLiteral("de_DE")}, {3079, QStringLiteral("de_AT")}, {2055, QStringLiteral("de_CH")},
        {1036, QStringLiteral("fr_FR")}, {1038, QStringLiteral("hu_HU")}, {1045, QStringLiteral("pl_PL")},
        {1040, QStringLiteral("it_IT")}, {1034, QStringLiteral("es_ES")}, {3082, QStringLiteral("es_ES")},
        {1049, QStringLiteral("ru_RU")}, {1058, QStringLiteral("uk_UA")}, {1060, QStringLiteral("sl_SI")},
        {1050, QStringLiteral("hr_HR")}, {1048, QStringLiteral("ro_RO")}, {1026, QStringLiteral("bg_BG")},
        {1043, QStringLiteral("nl_NL")}, {1030, QStringLiteral("da_DK")}, {1044, QStringLiteral("nb_NO")},
        {1053, QStringLiteral("sv_SE")}, {1035, QStringLiteral("fi_FI")}, {1046, QStringLiteral("pt_BR")},
        {2070, QStringLiteral("pt_PT")}, {1032, QStringLiteral("el_GR")}, {1055, QStringLiteral("tr_TR")},
    };
    return tags.value(lcid);
}

void SpellCheck::attach()
{
    if (text_)
        disconnect(text_, nullptr, this, nullptr);
    text_ = doc_.textDocument();
    connect(text_, &QTextDocument::contentsChange, this, &SpellCheck::onContentsChange);
    blockCount_ = text_->blockCount();
    ParagraphLayout::of(doc_).setDecorations([this](const QTextBlock& block) { return decorations(block); });
    nextBlock_ = -1;
    if (enabled_)
        scheduleFrom(0);
}

void SpellCheck::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    if (on) {
        // Edits made while off were not followed: every paragraph is checked anew.
        ++generation_;
        blockCount_ = text_->blockCount();
        scheduleFrom(0);
    } else {
        slices_->stop();
        nextBlock_ = -1;
    }
    repaint();
}

bool SpellCheck::isCurrent(const QTextBlock& block) const { return block.userState() == generation_; }

void SpellCheck::onContentsChange(int from, int removed, int added)
{
    if (!enabled_ || (removed == 0 && added == 0))
        return;
    const int count = text_->blockCount();
    const bool sameParagraphs = count == blockCount_;
    blockCount_ = count;
    QTextBlock first = text_->findBlock(from);
    if (!first.isValid())
        return;
    const int end = from + added;
    typedTo_ = removed == 0 ? end : -1;
    if (sameParagraphs && end < first.position() + first.length()) {
        // Typing: the words around the edit, in its one paragraph.
        if (isCurrent(first))
            recheckEdit(first, from - first.position(), removed, added);
        return;
    }
    QTextBlock last = text_->findBlock(end);
    if (!last.isValid())
        last = text_->lastBlock();
    if (last.blockNumber() - first.blockNumber() < kParagraphsAtOnce && end - from < kCharactersAtOnce) {
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            checkBlock(b);
            if (b == last)
                break;
        }
        return;
    }
    staleFrom(first, last);
}

void SpellCheck::staleFrom(const QTextBlock& first, const QTextBlock& last)
{
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        b.setUserState(-1);
        if (b == last)
            break;
    }
    scheduleFrom(first.blockNumber());
}

void SpellCheck::scheduleFrom(int blockNumber)
{
    nextBlock_ = nextBlock_ < 0 ? blockNumber : std::min(nextBlock_, blockNumber);
    if (!slices_->isActive())
        slices_->start();
}

void SpellCheck::checkSlice()
{
    if (!enabled_ || nextBlock_ < 0)
        return;
    QElapsedTimer clock;
    clock.start();
    QTextBlock b = text_->findBlockByNumber(nextBlock_);
    for (int n = 1; b.isValid(); ++n) {
        if (!isCurrent(b))
            checkBlock(b);
        b = b.next();
        if (n % 4 == 0 && clock.elapsed() >= kSliceMs)
            break;
    }
    if (b.isValid()) {
        nextBlock_ = b.blockNumber();
        slices_->start();
    } else {
        nextBlock_ = -1;
    }
}

void SpellCheck::checkBlock(QTextBlock block)
{
    const QString text = block.text();
    QList<Mark> marks;
    findMisspelled(block, text, 0, int(text.size()), marks);
    setMarks(block, std::move(marks));
    block.setUserState(generation_);
}

void SpellCheck::recheckEdit(QTextBlock block, int at, int removed, int added)
{
    const QString text = block.text();
    const int shift = added - removed;
    int a = at;
    int b = std::min<int>(at + added, int(text.size()));
    QList<Mark> kept;
    if (const QList<Mark>* old = marksOf(block)) {
        for (const Mark& m : *old) {
            if (m.start + m.length <= at) {
                kept.append(m);
            } else if (m.start >= at + removed) {
                kept.append({m.start + shift, m.length});
            } else {
                // A mark the edit cut into: its whole word is checked again.
                a = std::min(a, m.start);
                b = std::max(b, std::min<int>(m.start + m.length + shift, int(text.size())));
            }
        }
    }
    // Whole words: the window reaches out to the words the edit touches.
    while (a > 0 && joinsWord(text, a - 1))
        --a;
    while (b < text.size() && joinsWord(text, b))
        ++b;
    QList<Mark> marks;
    for (const Mark& m : std::as_const(kept))
        if (m.start + m.length <= a || m.start >= b)
            marks.append(m);
    QList<Mark> fresh;
    findMisspelled(block, text, a, b, fresh);
    marks += fresh;
    std::sort(marks.begin(), marks.end(), [](const Mark& x, const Mark& y) { return x.start < y.start; });
    setMarks(block, std::move(marks));
    block.setUserState(generation_);
}

void SpellCheck::findMisspelled(const QTextBlock& block, const QString& text, int from, int to, QList<Mark>& out)
{
    if (from >= to)
        return;
    const QList<Run> runs = runsOf(block);
    // Addresses typed in the text are no words of a language.
    QList<Mark> addresses;
    forEachDetectedUrl(text, [&](int start, int length) { addresses.append({start, length}); });
    qsizetype run = 0;
    int i = from;
    while (i < to) {
        if (!isWordChar(text[i])) {
            ++i;
            continue;
        }
        const int start = i;
        bool skip = false;
        bool lower = false;
        while (i < text.size() && joinsWord(text, i)) {
            if (text[i].isNumber() || text[i] == u'_')
                skip = true;
            lower = lower || text[i].isLower();
            ++i;
        }
        const int length = i - start;
        // A word in capitals (IBAN, ČSOB) is an abbreviation or a name, left alone as other
        // word processors leave it by default.
        if (skip || !lower || length < 2)
            continue;
        while (run + 1 < runs.size() && runs[run].end <= start)
            ++run;
        if (run >= runs.size())
            break;
        // A word that reaches into a link is part of it.
        bool link = false;
        for (qsizetype r = run; r < runs.size() && runs[r].start < i; ++r)
            link |= runs[r].link;
        if (link)
            continue;
        if (std::any_of(addresses.begin(), addresses.end(),
                        [&](const Mark& m) { return start < m.start + m.length && m.start < i; }))
            continue;
        const int language = runs[run].language;
        auto known = hasDictionary_.constFind(language);
        if (known == hasDictionary_.constEnd()) {
            const QString tag = languageTag(language);
            known = hasDictionary_.insert(language, !tag.isEmpty() && speller().hasDictionary(tag));
        }
        if (!known.value())
            continue;
        if (misspelled(languageTag(language), text.mid(start, length)))
            out.append({start, length});
    }
}

bool SpellCheck::misspelled(const QString& tag, const QString& word)
{
    QHash<QString, bool>& known = known_[tag];
    const auto it = known.constFind(word);
    if (it != known.constEnd())
        return it.value();
    if (known.size() >= kKnownWords)
        known.clear();
    const bool wrong = speller().check(tag, word) == Speller::Verdict::Misspelled;
    known.insert(word, wrong);
    return wrong;
}

QList<QTextLayout::FormatRange> SpellCheck::decorations(const QTextBlock& block)
{
    QList<QTextLayout::FormatRange> out;
    if (!enabled_)
        return out;
    // What is drawn is checked first, so the marks show as soon as the text does.
    if (!isCurrent(block))
        checkBlock(block);
    if (const QList<Mark>* marks = marksOf(block))
        for (const Mark& m : *marks)
            if (block.position() + m.start + m.length != typedTo_)
                out.append({m.start, m.length, markFormat_});
    return out;
}

void SpellCheck::caretMovedTo(int pos)
{
    if (typedTo_ < 0 || pos == typedTo_)
        return;
    // The word the caret leaves shows its mark, if it has one.
    typedTo_ = -1;
    if (enabled_)
        repaint();
}

std::optional<SpellCheck::Word> SpellCheck::misspellingAt(int pos) const
{
    if (!enabled_ || pos < 0)
        return std::nullopt;
    QTextBlock block = text_->findBlock(pos);
    if (!block.isValid())
        return std::nullopt;
    if (!isCurrent(block))
        const_cast<SpellCheck*>(this)->checkBlock(block);
    const QList<Mark>* marks = marksOf(block);
    if (!marks)
        return std::nullopt;
    const int at = pos - block.position();
    for (const Mark& m : *marks) {
        if (at < m.start || at > m.start + m.length)
            continue;
        QTextCursor c(block);
        c.setPosition(block.position() + m.start + 1);
        return Word{block.position() + m.start, m.length, block.text().mid(m.start, m.length),
                    languageTag(languageOf(c.charFormat()))};
    }
    return std::nullopt;
}

QStringList SpellCheck::suggestions(const Word& word, int max) const
{
    return speller().suggest(word.language, word.text, max);
}

bool SpellCheck::correct(const Word& word, const QString& replacement)
{
    const QTextBlock block = text_->findBlock(word.start);
    if (!block.isValid() || block.text().mid(word.start - block.position(), word.length) != word.text)
        return false;
    RichDocument::Transaction edit(doc_);
    QTextCursor c(text_);
    // The word's first character gives the replacement its format.
    c.setPosition(word.start + 1);
    const QTextCharFormat format = c.charFormat();
    c.setPosition(word.start);
    c.setPosition(word.start + word.length, QTextCursor::KeepAnchor);
    c.insertText(replacement, format);
    return true;
}

void SpellCheck::addToDictionary(const Word& word)
{
    speller().addToPersonal(word.language, word.text);
    forget(word);
}

void SpellCheck::ignore(const Word& word)
{
    speller().ignore(word.language, word.text);
    forget(word);
}

void SpellCheck::forget(const Word& word)
{
    // Enchant may now take other forms of the word too ("Slovo" for "slovo"): what was known
    // of the language is asked again, and so is every mark of the word in any case.
    known_.remove(word.language);
    for (QTextBlock b = text_->begin(); b.isValid(); b = b.next()) {
        const QList<Mark>* marks = marksOf(b);
        if (!marks)
            continue;
        const QString text = b.text();
        QList<Mark> kept;
        bool changed = false;
        for (const Mark& m : *marks) {
            if (QStringView(text).mid(m.start, m.length).compare(word.text, Qt::CaseInsensitive) == 0) {
                QTextCursor c(b);
                c.setPosition(b.position() + m.start + 1);
                if (!misspelled(languageTag(languageOf(c.charFormat())), text.mid(m.start, m.length))) {
                    changed = true;
                    continue;
                }
            }
            kept.append(m);
        }
        if (changed)
            setMarks(b, std::move(kept));
    }
    repaint();
}

QList<CharRange> SpellCheck::misspellings()
{
    QList<CharRange> out;
    if (!enabled_)
        return out;
    for (QTextBlock b = text_->begin(); b.isValid(); b = b.next()) {
        if (!isCurrent(b))
            checkBlock(b);
        if (const QList<Mark>* marks = marksOf(b))
            for (const Mark& m : *marks)
                out.append({b.position() + m.start, b.position() + m.start + m.length});
    }
    nextBlock_ = -1;
    return out;
}

void SpellCheck::repaint()
{
    emit ParagraphLayout::of(doc_).update();
}

} // namespace zorim
