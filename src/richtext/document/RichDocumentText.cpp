#include "richtext/document/RichDocument.h"
#include "richtext/document/NoteNumbers.h"

#include "richtext/document/TableText.h"
#include "richtext/document/TextSlices.h"
#include "richtext/formats/docx/Docx.h"
#include "richtext/formats/odt/Odt.h"
#include "richtext/formats/rtf/Rtf.h"
#include "text/Codepage.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>
#include <memory>

// The document's text read out: whole, in pieces or a range, and encoded as a file holds it.

namespace zorim {
namespace {

constexpr QChar kParagraphSeparator(0x2029);
constexpr QChar kLineSeparator(0x2028);

// A document longer than this keeps no copy of its text; its whole text is read in pieces.
constexpr int kKeptLength = 4 << 20;

// The document's own text with CR LF for each paragraph break and VT for each line break
// inside a paragraph. A string of its own is converted in place: it grows by one per
// paragraph break and is filled from its end, so no second copy of a large document is made.
QString withCrLf(QString raw)
{
    const qsizetype n = raw.size();
    const qsizetype breaks = raw.count(kParagraphSeparator);
    if (!raw.isDetached()) {
        // Shared with the kept copy: written anew in one pass.
        QString out(n + breaks, Qt::Uninitialized);
        QChar* d = out.data();
        for (const QChar c : std::as_const(raw)) {
            if (c == kParagraphSeparator) {
                *d++ = u'\r';
                *d++ = u'\n';
            } else {
                *d++ = c == kLineSeparator ? QChar(u'\v') : c;
            }
        }
        return out;
    }
    raw.resize(n + breaks);
    QChar* d = raw.data();
    qsizetype j = n + breaks;
    for (qsizetype i = n - 1; i >= 0; --i) {
        const QChar c = d[i];
        if (c == kParagraphSeparator) {
            d[--j] = u'\n';
            d[--j] = u'\r';
        } else {
            d[--j] = c == kLineSeparator ? QChar(u'\v') : c;
        }
    }
    return raw;
}

// A piece of the document's text as a text file holds it: paragraph ends as the form's
// line end, line breaks as VT, pictures and objects (one placeholder each) left out.
QString filePiece(const QString& raw, const QString& lineEnd)
{
    QString out;
    out.reserve(raw.size() + raw.size() / 16);
    for (const QChar c : raw) {
        if (c == kParagraphSeparator)
            out += lineEnd;
        else if (c == kLineSeparator)
            out += u'\v';
        else if (c != QChar::ObjectReplacementCharacter)
            out += c;
    }
    return out;
}

} // namespace

const QString& RichDocument::rawText() const
{
    if (!rawValid_) {
        rawCache_ = doc_->toRawText();
        showTablesAsText(*doc_, rawCache_);
        rawValid_ = true;
    }
    return rawCache_;
}

QString RichDocument::wholeRawText() const
{
    // A small document keeps its text for the reads that follow; a large one is not kept
    // twice for one read, and its text is taken for this call alone.
    completeLoad();
    if (rawValid_ || length() <= kKeptLength)
        return rawText();
    QString raw = doc_->toRawText();
    showTablesAsText(*doc_, raw);
    return raw;
}

QString RichDocument::text() const { return withCrLf(wholeRawText()); }

void RichDocument::forEachRawPiece(const std::function<void(const QString&)>& take) const
{
    completeLoad();
    // A table reads as text by the positions of its cells in the whole document, so a
    // document that holds one goes in one piece.
    if (!doc_->rootFrame()->childFrames().isEmpty()) {
        take(wholeRawText());
        return;
    }
    constexpr qsizetype kPiece = 1 << 20;
    QString piece;
    piece.reserve(kPiece + 4096);
    const QTextBlock last = doc_->lastBlock();
    for (QTextBlock block = doc_->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            piece += it.fragment().text();
        if (block != last) // the separator: a paragraph's, or a table's or a cell's mark
            piece += doc_->characterAt(block.position() + block.length() - 1);
        if (piece.size() >= kPiece) {
            take(piece);
            piece.resize(0);
        }
    }
    if (!piece.isEmpty())
        take(piece);
}

QString RichDocument::textOf(QString raw) { return withCrLf(std::move(raw)); }

QString RichDocument::textRange(CharRange range) const
{
    const auto [a, b] = clamp(range);
    if (b <= a)
        return {};
    // A range across cells of a table reads as the cells it selects.
    QString out = cellRangeText(*doc_, rawText(), a, b);
    if (out.isNull())
        out = rawText().mid(a, b - a);
    for (QChar& c : out) {
        if (c == kParagraphSeparator)
            c = u'\r';
        else if (c == kLineSeparator)
            c = u'\v';
    }
    return out;
}

QByteArray RichDocument::save(TextFormat format, CharRange range, StreamOptions options) const
{
    const int len = length();
    const auto [from, to] = clamp(range);
    if (format == TextFormat::Docx)
        return writeDocx(*doc_); // a package is always a whole document
    if (format == TextFormat::Odt)
        return writeOdt(*doc_);
    if (format == TextFormat::Rtf) {
        RtfWriteOptions rtf;
        rtf.noObjects = options.has(StreamOption::NoObjects);
        return writeRtf(*doc_, from, to == len ? -1 : to, rtf);
    }
    const bool whole = from == 0 && to == len;
    if (whole && !rawValid_ && len > kKeptLength && !options.has(StreamOption::Unicode))
        return encodeWholeText();
    QString raw = whole ? wholeRawText() + notesAsRawText(*doc_) : rawText().mid(from, to - from);
    QString t = withCrLf(std::move(raw));
    // A picture or an object stands in the text as one placeholder character; it has no
    // text, and the placeholder would only force an encoding that holds it.
    t.remove(QChar::ObjectReplacementCharacter);
    if (options.has(StreamOption::Unicode))
        return QByteArray(reinterpret_cast<const char*>(t.utf16()), t.size() * 2);
    return encodeTextDocument(std::move(t), textForm_);
}

// A long document's text in its file's form, a piece at a time, so that the text is not held
// a second time beside the document: the bytes encodeTextDocument(text(), form) gives without
// placeholders. Windows-1250 while every character has its byte there, else all of it again
// as UTF-8 with a byte order mark (encodeTextDocument's rule).
QByteArray RichDocument::encodeWholeText() const
{
    // Room for the longest the bytes may be: three bytes a character and a mark.
    const QString notes = notesAsRawText(*doc_);
    return encodeText(textForm_, qsizetype(length() + notes.size()) * 3 + 3, [&](const auto& take) {
        forEachRawPiece(take);
        if (!notes.isEmpty())
            take(notes);
    });
}

QByteArray RichDocument::encodeText(const TextDocumentForm& form, qsizetype room, const RawPieces& pieces)
{
    // Taken at once: a byte array that grows is copied whole each time.
    QByteArray out;
    out.reserve(room);
    const bool utf8 = form.encoding == TextDocumentForm::Encoding::Utf8;
    if (utf8 && form.byteOrderMark)
        out.append("\xEF\xBB\xBF");
    // Windows-1250 while every character has its byte there, else all of it again as UTF-8
    // with a byte order mark (encodeTextDocument's rule).
    bool lossless = true;
    pieces([&](const QString& raw) {
        if (!lossless)
            return;
        const QString piece = filePiece(raw, form.lineEnd);
        out += utf8 ? piece.toUtf8() : encodeCodepage(piece, kCp1250, &lossless);
    });
    if (lossless)
        return out;
    out.resize(0);
    out.append("\xEF\xBB\xBF");
    pieces([&](const QString& raw) { out += filePiece(raw, form.lineEnd).toUtf8(); });
    return out;
}

TextDocumentForm RichDocument::readTextInPieces(QByteArray bytes,
                                                const std::function<void(const QTextDocument&, bool)>& take,
                                                qsizetype slice) const
{
    dropZeroBytes(bytes);
    const TextDocumentForm form = textDocumentForm(bytes);
    // The form has read the encoding already (plain ASCII decodes alike either way).
    const TextDocumentEncoding encoding = form.encoding == TextDocumentForm::Encoding::Utf8
                                              ? TextDocumentEncoding::Utf8
                                              : TextDocumentEncoding::Cp1250;
    const qsizetype n = bytes.size();
    qsizetype from = form.byteOrderMark ? 3 : 0;
    do {
        // A piece ends right after a line break, or with the text: a line longer than a slice
        // stays whole.
        qsizetype end = from;
        do
            end = textSliceEnd(bytes, end, slice > 0 ? slice : kTextSlice);
        while (end < n && bytes[end - 1] != '\n' && bytes[end - 1] != '\r');
        const bool last = end >= n;
        QString text = decodeTextDocumentPart(bytes.constData() + from, end - from, encoding);
        if (!last)
            text.chop(text.endsWith(u"\r\n") ? 2 : 1); // the break between this piece and the next
        else if (text.endsWith(u'\r'))
            text.chop(1); // a CR that ends the text ends no paragraph
        const std::unique_ptr<QTextDocument> piece(newTextDocument(nullptr));
        QTextCursor(piece.get()).insertText(text, defaultFormat_);
        take(*piece, last);
        from = end;
    } while (from < n);
    return form;
}

} // namespace zorim
