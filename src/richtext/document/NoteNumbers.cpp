#include "richtext/document/NoteNumbers.h"

#include "richtext/document/Notes.h"
#include "richtext/formats/rtf/RtfNotes.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace zorim {

NoteNumbers& NoteNumbers::of(QTextDocument& doc)
{
    if (auto* numbers = doc.findChild<NoteNumbers*>(QString(), Qt::FindDirectChildrenOnly))
        return *numbers;
    return *new NoteNumbers(doc);
}

NoteNumbers::NoteNumbers(QTextDocument& doc) : QObject(&doc), doc_(doc)
{
    counts_.reserve(size_t(doc.blockCount()));
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        counts_.push_back(countIn(b));
    connect(&doc, &QTextDocument::contentsChange, this, &NoteNumbers::changed);
}

std::array<int, 2> NoteNumbers::countIn(const QTextBlock& block)
{
    std::array<int, 2> n{};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (isNumberedNote(format))
            n[format.boolProperty(docprop::NoteEndnote) ? 1 : 0] += fragment.length();
    }
    return n;
}

void NoteNumbers::changed(int from, int, int added)
{
    const int end = std::max(0, doc_.characterCount() - 1); // the last paragraph's break
    const int first = doc_.findBlock(std::clamp(from, 0, end)).blockNumber();
    const int last = doc_.findBlock(std::clamp(from + added, 0, end)).blockNumber();
    if (first < 0 || last < first)
        return;
    // The paragraphs from the first touched to the last are new; as many as there are now
    // less those added replace the old ones.
    const int oldLast = last - (doc_.blockCount() - int(counts_.size()));
    if (oldLast < first - 1 || size_t(oldLast) >= counts_.size())
        return; // cannot be: the counts are made anew below
    std::vector<std::array<int, 2>> fresh;
    std::array<int, 2> was{}, now{};
    for (int i = first; i <= oldLast; ++i) {
        was[0] += counts_[size_t(i)][0];
        was[1] += counts_[size_t(i)][1];
    }
    for (QTextBlock b = doc_.findBlockByNumber(first); b.isValid() && b.blockNumber() <= last; b = b.next()) {
        fresh.push_back(countIn(b));
        now[0] += fresh.back()[0];
        now[1] += fresh.back()[1];
    }
    const size_t replaced = size_t(oldLast + 1 - first);
    if (fresh.size() == replaced) {
        std::copy(fresh.begin(), fresh.end(), counts_.begin() + first); // a keystroke: no paragraph moves
    } else {
        counts_.erase(counts_.begin() + first, counts_.begin() + oldLast + 1);
        counts_.insert(counts_.begin() + first, fresh.begin(), fresh.end());
        summed_ = false; // the paragraphs after moved
    }
    if (was != now) {
        summed_ = false;
        // Every later reference shows another number now.
        if (doc_.documentLayout())
            emit doc_.documentLayout()->update();
    }
}

void NoteNumbers::sum()
{
    if (summed_)
        return;
    if (counts_.size() != size_t(doc_.blockCount())) { // out of step: counted anew
        counts_.clear();
        for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next())
            counts_.push_back(countIn(b));
    }
    before_.resize(counts_.size());
    std::array<int, 2> sum{};
    for (size_t i = 0; i < counts_.size(); ++i) {
        before_[i] = sum;
        sum[0] += counts_[i][0];
        sum[1] += counts_[i][1];
    }
    total_ = sum;
    summed_ = true;
}

int NoteNumbers::numberAt(int pos)
{
    const QTextBlock block = doc_.findBlock(pos);
    if (!block.isValid())
        return 0;
    sum();
    std::array<int, 2> n = before_[size_t(block.blockNumber())];
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (!isNumberedNote(format))
            continue;
        const int kind = format.boolProperty(docprop::NoteEndnote) ? 1 : 0;
        if (pos < fragment.position() + fragment.length())
            return pos >= fragment.position() ? n[kind] + pos - fragment.position() + 1 : 0;
        n[kind] += fragment.length();
    }
    return 0;
}

int NoteNumbers::count(bool endnote)
{
    sum();
    return total_[endnote ? 1 : 0];
}

QString notesAsRawText(const QTextDocument& doc)
{
    constexpr QChar kParagraphSeparator(0x2029);
    std::array<QString, 2> out;
    std::array<int, 2> numbers{};
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const std::optional<Note> note = noteOf(it.fragment().charFormat());
            if (!note)
                continue;
            QTextDocument content;
            readNoteContent(*note, content);
            const QString text = content.toRawText();
            for (int i = 0; i < it.fragment().length(); ++i) {
                QString& kind = out[note->endnote ? 1 : 0];
                kind += kParagraphSeparator;
                if (!note->customMark)
                    kind += u'[' + noteLabel(++numbers[note->endnote ? 1 : 0], note->endnote) + QStringLiteral("] ");
                kind += text;
            }
        }
    }
    if (out[0].isEmpty() && out[1].isEmpty())
        return {};
    return kParagraphSeparator + out[0] + out[1];
}

} // namespace zorim
