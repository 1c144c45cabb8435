#pragma once
// A copy of a document's content, taken on the thread that owns the document, that another
// thread can then write out while the user goes on editing. Taking it copies the characters
// and shares the formats (Qt's formats are implicitly shared); writing it rebuilds private
// documents, a slice of paragraphs at a time, and gives the same RTF that the original
// document would give.
//
// A large document is taken in steps, a few milliseconds each, between which the window goes
// on answering: each step takes the next paragraphs, and an edit in the part already taken
// drops that part from the edit's paragraph on, to be taken again by the following steps.
#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>

#include <chrono>
#include <cstdint>
#include <vector>

class QTextBlock;

namespace zorim {

class RichDocument;

class DocumentCapture {
public:
    enum class Content { Rich, TextOnly };

    // The whole document at once, on its own thread.
    static DocumentCapture take(const QTextDocument& doc, Content content = Content::Rich);

    explicit DocumentCapture(Content content = Content::Rich) : content_(content) {}
    // Takes the paragraphs from where the last step ended for about the budget (at least one);
    // true once the whole document is in.
    bool takeSome(const QTextDocument& doc, std::chrono::microseconds budget);
    // The document changed from this position on: what was taken from its paragraph on goes.
    void changedFrom(int position);

    // On any thread.
    QByteArray toRtf() const;
    // The document's characters, paragraphs separated as in the document; the capture is
    // left empty.
    QString takeRawText() { return std::move(text_); }

private:
    struct Run {
        int from = 0; // in text_, which holds the whole document's characters
        int length = 0;
        QTextCharFormat format;
        QImage image; // what a picture without its own bytes shows
    };
    struct Paragraph {
        int start = 0; // the document position of its first character
        QTextBlockFormat format;
        QTextCharFormat charFormat;
        // A list item: its list (a key, never followed: the items of one list share it) and
        // the list's format.
        quintptr list = 0;
        QTextListFormat listFormat;
        std::vector<Run> runs;
        // A paragraph of a table cell: its table (a key, never followed: the paragraphs of one
        // table share it), the cell, the table's size when taken and the cell's format.
        quintptr table = 0;
        int row = 0, column = 0, rows = 0, columns = 0;
        QTextCharFormat cellFormat;
        // A paragraph of a table inside a cell: the cell of the table of the document's it
        // stands in (that table's own paragraphs come first, and give its size and formats).
        // Tables deeper still are their cell's paragraphs.
        quintptr outer = 0;
        int outerRow = 0, outerColumn = 0;
    };
    void takeParagraph(const QTextDocument& doc, const QTextBlock& block, bool tables);
    void rebuild(QTextDocument& doc, size_t from, size_t to) const;

    Content content_;
    QFont defaultFont_;
    PageSetup page_;
    KeptGroups kept_; // shared with the document's: taking them copies no bytes
    QString text_;
    std::vector<Paragraph> paragraphs_;
    int next_ = 0; // the position of the next paragraph to take
    bool done_ = false;
};

// A capture in steps of the given document, following its edits, one step per turn of the
// event loop. The document may be replaced or deleted meanwhile: the capture then ends, failed.
class SteppedCapture : public QObject {
    Q_OBJECT
public:
    SteppedCapture(const QTextDocument& doc, DocumentCapture::Content content,
                   std::chrono::microseconds budget = std::chrono::milliseconds(8));
    // The text document the control's document holds now (a load that replaces it ends the
    // capture, failed).
    SteppedCapture(const RichDocument& doc, DocumentCapture::Content content);
    // One step; true once the capture is complete (or failed: see failed()).
    bool step();
    bool failed() const { return doc_.isNull(); }
    DocumentCapture& capture() { return capture_; }

private:
    QPointer<const QTextDocument> doc_;
    DocumentCapture capture_;
    std::chrono::microseconds budget_;
};

} // namespace zorim
