// The document apart from any view: content, streams, search and lines without a widget;
// transactions that make one undo step and one notice; pages laid out as the screen lays
// out paragraphs.
#include "richtext/layout/LaidOutDocument.h"
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/document/NoteEdits.h"
#include "richtext/document/NoteNumbers.h"
#include "richtext/document/RichDocument.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"
#include "TableTest.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace zorim;

namespace {

QString words(int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += QStringLiteral("slovo%1 ").arg(i);
    return s.trimmed();
}

// The first position of every laid-out line of the document at its width.
QList<int> screenLineStarts(const RichDocument& doc)
{
    QList<int> starts;
    for (int line = 0; line < doc.lineCount(); ++line)
        starts.append(doc.lineStart(line));
    return starts;
}

} // namespace

TEST(Document, EditsSearchesCountsAndStreamsWithoutAWidget)
{
    LaidOutDocument doc;
    QSignalSpy changes(&doc, &RichDocument::changed);
    doc.setText("Prvý riadok\r\ndruhý\nTretí");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.text(), QString::fromUtf8("Prvý riadok\r\ndruhý\r\nTretí"));
    EXPECT_EQ(doc.length(), 23);
    EXPECT_EQ(doc.lineCount(), 3) << "no width: one line a paragraph";
    EXPECT_EQ(doc.lineStart(2), 18);
    EXPECT_EQ(doc.lineOf(20), 2);

    EXPECT_EQ(doc.find("tretí", {0, -1}, {}), (CharRange{18, 23}));
    EXPECT_EQ(doc.find("tretí", {0, -1}, SearchOption::MatchCase).min, -1);
    EXPECT_EQ(doc.find("r", {0, -1}, SearchOption::Backward).min, 19);
    EXPECT_EQ(doc.find("riadok", {0, -1}, SearchOption::WholeWord).min, 5);
    EXPECT_EQ(doc.find("riad", {0, -1}, SearchOption::WholeWord).min, -1);

    const QByteArray rtf = doc.save(TextFormat::Rtf);
    LaidOutDocument copy;
    ASSERT_TRUE(copy.load(rtf, TextFormat::Rtf));
    EXPECT_EQ(copy.text(), doc.text());
    EXPECT_FALSE(copy.modified()) << "a loaded document matches its file";
    EXPECT_FALSE(copy.canUndo());
    EXPECT_FALSE(copy.load("plain words", TextFormat::Rtf)) << "no RTF: nothing changes";
    EXPECT_EQ(copy.text(), doc.text());
}

TEST(Document, ADocumentNoViewShowsMakesItsLayoutWhenAsked)
{
    const QByteArray rtf = "{\\rtf1 Prv\\'fd {\\b odsek} s odkazom http://example.sk a dlh\\'fdm textom\\par druh\\'fd\\par}";
    LaidOutDocument made;
    LaidOutDocument onDemand(nullptr, RichDocument::Layout::OnDemand);
    for (RichDocument* doc : {&made, &onDemand}) {
        doc->setLinkDetection(true);
        ASSERT_TRUE(doc->load(rtf, TextFormat::Rtf));
    }
    EXPECT_EQ(onDemand.save(TextFormat::Rtf), made.save(TextFormat::Rtf));
    EXPECT_EQ(onDemand.textDocument()->findChild<ParagraphLayout*>(), nullptr) << "loading and saving lay out nothing";

    QSignalSpy changes(&onDemand, &RichDocument::changed);
    EXPECT_EQ(onDemand.lineCount(), made.lineCount());
    EXPECT_EQ(onDemand.lineStart(1), made.lineStart(1));
    EXPECT_EQ(onDemand.linkAt(30), made.linkAt(30));
    EXPECT_TRUE(ParagraphLayout::of(onDemand).linkDetection());
    EXPECT_FALSE(onDemand.modified()) << "making the layout changed nothing";
    EXPECT_EQ(changes.count(), 0);
}

TEST(Document, TextLoadsConvertLineBreaksOnceAndKeepSixteenBitText)
{
    LaidOutDocument doc;
    ASSERT_TRUE(doc.load("a\r\nb\rc\nd\r", TextFormat::Text));
    EXPECT_EQ(doc.text(), "a\r\nb\r\nc\r\nd") << "a CR that ends the text ends no paragraph";
    ASSERT_TRUE(doc.load(QByteArray("x\0y", 3), TextFormat::Text));
    EXPECT_EQ(doc.text(), "xy") << "a zero byte drops alone";

    // 16-bit text has a zero byte in every ASCII character: only whole zero characters go.
    const QString text = QString::fromUtf8("Ďakujem\r\nťava");
    QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    ASSERT_TRUE(doc.load(utf16, TextFormat::Text, StreamOption::Unicode));
    EXPECT_EQ(doc.text(), text);
    EXPECT_EQ(doc.save(TextFormat::Text, {0, -1}, StreamOption::Unicode), utf16);
}

TEST(Document, ALargeTextLoadsWholeWhateverItsBreaks)
{
    // Larger than the slices a load takes, with every kind of break, some on slice edges.
    QByteArray bytes;
    QString expected;
    const char* breaks[] = {"\r\n", "\n", "\r"};
    for (int i = 0; bytes.size() < 2'200'000; ++i) {
        const QByteArray line = QByteArray::number(i) + QByteArray(i % 97, 'x');
        bytes += line + breaks[i % 3];
        expected += QString::fromLatin1(line) + QStringLiteral("\r\n");
    }
    bytes += "end";
    expected += QStringLiteral("end");
    LaidOutDocument doc;
    ASSERT_TRUE(doc.load(bytes, TextFormat::Text));
    EXPECT_EQ(doc.text(), expected);
    EXPECT_EQ(doc.textDocument()->blockCount(), expected.count(QStringLiteral("\r\n")) + 1);
    // Without breaks at all, one paragraph.
    ASSERT_TRUE(doc.load(QByteArray(2'500'000, 'y'), TextFormat::Text));
    EXPECT_EQ(doc.textDocument()->blockCount(), 1);
    EXPECT_EQ(doc.length(), 2'500'000);
}

TEST(Document, ATransactionIsOneUndoStepAndOneNotice)
{
    LaidOutDocument doc;
    doc.setText("abc");
    doc.forgetUndo();
    doc.setModified(false);
    QSignalSpy changes(&doc, &RichDocument::changed);
    {
        RichDocument::Transaction outer(doc);
        QTextCursor c(doc.textDocument());
        c.movePosition(QTextCursor::End);
        {
            RichDocument::Transaction inner(doc);
            c.insertText("d");
        }
        c.insertText("e");
        EXPECT_EQ(changes.count(), 0) << "nothing is told while the edit is open";
    }
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(doc.modified());
    EXPECT_EQ(doc.text(), "abcde");
    doc.undo();
    EXPECT_EQ(doc.text(), "abc") << "one step takes the whole transaction back";
    EXPECT_FALSE(doc.canUndo());

    // A transaction with no change tells nothing; a quiet change neither.
    changes.clear();
    { RichDocument::Transaction nothing(doc); }
    {
        RichDocument::QuietScope quiet(doc);
        doc.setModified(false);
        doc.setText("quiet");
    }
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(doc.modified());
}

TEST(Document, ABulkChangeOfTheControlIsOneUndoStep)
{
    RichEdit edit;
    edit.setText("start");
    edit.Lines().BeginUpdate();
    edit.setSelectionStart(5);
    edit.setSelectedText(" one");
    edit.setSelectionStart(9);
    edit.setSelectedText(" two");
    edit.Lines().EndUpdate();
    EXPECT_EQ(edit.Text(), "start one two");
    edit.Undo();
    EXPECT_EQ(edit.Text(), "start");
}

TEST(Document, AReplacementThatMayNotBeUndoneLeavesNothingToUndo)
{
    RichEdit edit;
    edit.setSelectedText("typed");
    ASSERT_TRUE(edit.CanUndo());
    edit.setSelectionStart(5);
    edit.view().replaceSel(" inserted", false);
    EXPECT_EQ(edit.Text(), "typed inserted");
    EXPECT_FALSE(edit.CanUndo());
}

TEST(Document, SwitchingTheScrollBarKeepsTheDocumentItself)
{
    RichEdit edit;
    edit.resize(300, 200);
    edit.setText("one\r\ntwo");
    QTextDocument* shown = edit.view().document();
    edit.setVerticalScrollBar(!edit.verticalScrollBar());
    EXPECT_EQ(edit.view().document(), shown) << "no round trip through a stream";
    EXPECT_EQ(edit.Text(), "one\r\ntwo");
}

// ---- pages ----------------------------------------------------------------------------------

struct Pages : ::testing::Test {
    RichEdit edit;
    void SetUp() override
    {
        edit.resize(400, 300);
        edit.show();
        QString text;
        for (int i = 0; i < 40; ++i)
            text += words(5 + i % 30) + QStringLiteral("\r\n");
        edit.setText(text);
    }
    RichDocument& doc() { return edit.document(); }
    // The page width in device pixels that matches the screen's text width at dpi.
    qreal pageWidthAt(qreal dpi) const
    {
        const QTextDocument* d = edit.view().document();
        return (d->pageSize().width() - 2 * d->documentMargin()) * dpi / 96.0;
    }
};

TEST_F(Pages, APageBreaksLinesWhereTheScreenDoesAtTheSameWidth)
{
    const QList<int> screen = screenLineStarts(doc());
    for (const qreal dpi : {96.0, 300.0, 600.0}) {
        // One line a page: each answer is where the next screen line starts.
        const qreal width = pageWidthAt(dpi);
        QTextBlock first = edit.view().document()->begin();
        const qreal lineHeight = first.layout()->lineAt(0).height() * dpi / 96.0;
        QList<int> printed;
        for (int from = 0; from < doc().length();) {
            printed.append(from);
            const int next = doc().layoutPage(nullptr, QRectF(0, 0, width, lineHeight * 1.5), dpi, dpi, from);
            ASSERT_GT(next, from) << "every page takes at least one line";
            from = next;
        }
        // The screen shows the empty last paragraph as a line of its own; paper ends at the text.
        QList<int> expected = screen;
        if (!expected.isEmpty() && expected.last() == doc().length())
            expected.removeLast();
        EXPECT_EQ(printed, expected) << "dpi " << dpi;
    }
    EXPECT_EQ(screenLineStarts(doc()), screen) << "the screen keeps its own lines";
}

TEST_F(Pages, PagesFollowOneAnotherDrawWhatFitsAndEndAtTheTextLength)
{
    // A page of 150 dpi, 6 by 2 inches: the document needs several of them.
    const QRectF page(75, 75, 900, 300);
    QImage image(1050, 450, QImage::Format_RGB32);
    int pages = 0;
    int last = 0;
    for (int from = 0; from < doc().length(); ++pages) {
        image.fill(Qt::white);
        QPainter painter(&image);
        last = doc().layoutPage(&painter, page, 150, 150, from);
        painter.end();
        ASSERT_GT(last, from);
        // Ink only inside the page rectangle.
        bool inkInside = false, inkOutside = false;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) {
                if (qGray(image.pixel(x, y)) > 128)
                    continue;
                (page.contains(x, y) ? inkInside : inkOutside) = true;
            }
        EXPECT_TRUE(inkInside) << "page " << pages;
        EXPECT_FALSE(inkOutside) << "page " << pages;
        from = last;
    }
    EXPECT_GT(pages, 1);
    EXPECT_EQ(last, doc().length());

    // A document that fits answers its length at once; an empty one too.
    LaidOutDocument small;
    small.setText("short");
    EXPECT_EQ(small.layoutPage(nullptr, page, 600, 600, 0), 5);
    LaidOutDocument empty;
    EXPECT_EQ(empty.layoutPage(nullptr, page, 600, 600, 0), 0);
    // A table's last row, stated taller than the page, with no line to cut it at.
    LaidOutDocument tall;
    QTextCursor c(tall.textDocument());
    QTextTable* table = test::insertTable(c, 1, {2000});
    QTextCharFormat exact = table->cellAt(0, 0).format();
    exact.setProperty(tableprop::RowHeightTwips, -60000);
    table->cellAt(0, 0).setFormat(exact);
    const int rowStart = tall.layoutPage(nullptr, page, 600, 600, 0); // the row starts the next page
    EXPECT_EQ(tall.layoutPage(nullptr, page, 600, 600, rowStart), tall.length());
}

// Notes ride on their references: numbers follow the order as notes come and go, a deleted
// reference takes its note along and undo brings both back, a copy carries its notes, a note's
// new text is one undo step, and a plain text ends with the notes, numbered.
TEST(Document, NotesFollowTheirReferences)
{
    LaidOutDocument doc;
    doc.setText(QStringLiteral("Prvá veta. Druhá veta."));
    NoteNumbers& numbers = NoteNumbers::of(*doc.textDocument());
    const int second = insertNote(doc, 22, false);
    const int first = insertNote(doc, 10, false);
    insertNote(doc, doc.length(), true);
    EXPECT_EQ(numbers.numberAt(first), 1);
    EXPECT_EQ(numbers.numberAt(second + 1), 2) << "a note put in before it renumbers it";
    EXPECT_EQ(numbers.numberAt(doc.length() - 1), 1) << "endnotes are counted apart";
    EXPECT_EQ(numbers.count(true), 1);

    LaidOutDocument text;
    text.setText(QStringLiteral("Text prvej poznámky."));
    ASSERT_TRUE(setNoteText(doc, first, text));
    LaidOutDocument back;
    ASSERT_TRUE(readNoteAt(doc, noteReferenceNear(doc, first + 3), back));
    EXPECT_EQ(back.text(), text.text());

    // Copied with its note; the copy is numbered in its place.
    const QByteArray copy = doc.save(TextFormat::Rtf, {first, first + 1});
    LaidOutDocument pasted;
    pasted.setText(QStringLiteral("Vložené"));
    QTextCursor at(pasted.textDocument());
    at.setPosition(7);
    pasted.insert(at, copy, TextFormat::Rtf);
    ASSERT_TRUE(readNoteAt(pasted, noteReferenceNear(pasted, 7), back));
    EXPECT_EQ(back.text(), text.text());

    const QByteArray plain = doc.save(TextFormat::Text, {0, -1}, StreamOption::Unicode);
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(plain.constData()), plain.size() / 2),
              QStringLiteral("Prvá veta. Druhá veta.\r\n\r\n[1] Text prvej poznámky.\r\n[2] \r\n[i] "));

    QTextCursor cut(doc.textDocument());
    cut.setPosition(first);
    cut.setPosition(first + 1, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    EXPECT_EQ(numbers.numberAt(second), 1) << "the note went with its reference";
    doc.undo();
    EXPECT_EQ(numbers.numberAt(second + 1), 2);
    EXPECT_TRUE(readNoteAt(doc, first, back));
    EXPECT_EQ(back.text(), text.text());
    doc.undo();
    ASSERT_TRUE(readNoteAt(doc, first, back));
    EXPECT_EQ(back.text(), QString()) << "the new text was one step";
}
