// The formats documents are read and written in, by extension and plain-text mode, through
// the file commands; the plain-text command with its check mark; HTML mode and the colouring
// of markup.
#include "ShownWindowTest.h"
#include "forms/mainwindow/ColorTags.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

using namespace zorim;
using namespace zorim::test;

namespace {

const QByteArray kRtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
                        "\\f0\\fs24 Dobr\\'fd {\\b de\\'f2}\\par Druh\\'fd riadok}";
const QString kRtfText = QStringLiteral("Dobrý deň\r\nDruhý riadok");
const QByteArray kPage = "<html>\n<body class=\"a\">Text &amp; {x}</body>\n</html>\n";

constexpr ColorRef kBlue = 0x00FF0000, kRed = 0x000000FF, kGreen = 0x00008000, kBlack = 0;

class ViewModesTest : public ShownWindowTest {
protected:
    QByteArray saveAs(const QString& name)
    {
        const QString path = folder.filePath(name);
        platform.answerSaveFile(path);
        form->saveAsItem->trigger();
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void open(const QString& path)
    {
        if (form->RichEdit1->Modified())
            platform.answerQuestion(Answer::No);
        platform.answerOpenFile(path);
        form->openItem->trigger();
    }
    // The text colour of one position, as the control reports it.
    ColorRef colorAt(int position)
    {
        RichEdit& edit = *form->RichEdit1;
        edit.setSelectionStart(position);
        edit.setSelectionLength(1);
        return edit.SelectionAttributes().Color();
    }
    // The colours of the document's text by position, one letter each: t text, m markup,
    // q quoted, k black; paragraph breaks are left out.
    QString colorLetters()
    {
        const QString text = form->RichEdit1->TextRange(0, form->RichEdit1->TextLength());
        QString letters;
        for (int i = 0; i < text.size(); ++i) {
            if (text[i] == u'\r')
                continue;
            const ColorRef c = colorAt(i);
            letters += c == kBlue ? u't' : c == kRed ? u'm' : c == kGreen ? u'q' : c == kBlack ? u'k' : u'?';
        }
        return letters;
    }
};

// ---- formats by extension and mode -------------------------------------------------------

TEST_F(ViewModesTest, SavesWriteRichTextOrTextByExtensionAndMode)
{
    type(QStringLiteral("Ahoj"));
    const QStringList names = {"a.zrm", "b.ZRM", "c.rtf", "d.RTF", "e.txt", "f.TXT", "g.htm", "h.html", "i.mola", "bez", "j.doc"};
    for (const bool plain : {false, true}) {
        if (plain)
            form->plainTextItem->trigger();
        ASSERT_EQ(form->RichEdit1->PlainText(), plain);
        for (const QString& name : names) {
            const QString ext = name.section(u'.', 1).toLower();
            const bool rich = plain ? ext == QLatin1String("rtf") : ext != QLatin1String("txt");
            const QByteArray bytes = saveAs(QString::number(plain) + name);
            if (rich) {
                EXPECT_TRUE(bytes.startsWith("{\\rtf")) << name.toStdString() << " plain " << plain;
            } else {
                EXPECT_EQ(bytes, QByteArray("Ahoj")) << name.toStdString() << " plain " << plain;
            }
            EXPECT_EQ(form->RichEdit1->PlainText(), plain);
        }
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(ViewModesTest, OpensReadRichTextOrShowTheSourceByExtensionAndMode)
{
    const QStringList names = {"a.zrm", "b.rtf", "c.RTF", "d.txt", "e.htm", "f.html", "g.mola", "bez", "h.doc"};
    for (const bool plain : {false, true}) {
        if (plain)
            form->plainTextItem->trigger();
        for (const QString& name : names) {
            const QString ext = name.section(u'.', 1).toLower();
            const bool rich = plain ? ext == QLatin1String("rtf") : ext != QLatin1String("txt");
            open(folder.writeDocument(QString::number(plain) + name, kRtf));
            if (rich) {
                EXPECT_EQ(form->RichEdit1->Text(), kRtfText) << name.toStdString() << " plain " << plain;
            } else {
                EXPECT_EQ(form->RichEdit1->Text(), QString::fromLatin1(kRtf)) << name.toStdString() << " plain " << plain;
            }
        }
    }
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(ViewModesTest, FilesThatAreNoRichTextAreReadAsTextWhateverTheirName)
{
    for (const QString& name : {QStringLiteral("page.htm"), QStringLiteral("page.html"), QStringLiteral("page.zrm"),
                                QStringLiteral("page.rtf")}) {
        open(folder.writeDocument(name, kPage));
        EXPECT_EQ(form->RichEdit1->Text(), QString::fromLatin1(kPage).replace(u'\n', QStringLiteral("\r\n"))) << name.toStdString();
    }
    // The last-file item reads by the same rule: a .txt file holding rich text shows its source.
    const QString source = folder.writeDocument(QStringLiteral("zdroj.txt"), kRtf);
    folder.write(QStringLiteral("data.ini"), source.toUtf8());
    form = start();
    form->recentFileItem->trigger();
    EXPECT_EQ(form->RichEdit1->Text(), QString::fromLatin1(kRtf));
    EXPECT_EQ(platform.errors(), QStringList());
}

TEST_F(ViewModesTest, SavingARichDocumentInPlainTextModeUnderZrmWritesItsSource)
{
    const QString path = folder.writeDocument(QStringLiteral("list.zrm"), kRtf);
    form->plainTextItem->trigger();
    open(path);
    EXPECT_EQ(form->RichEdit1->Text(), QString::fromLatin1(kRtf));
    type(QStringLiteral("%"));
    form->saveItem->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "%" + kRtf);
}

// ---- plain-text mode ---------------------------------------------------------------------

TEST_F(ViewModesTest, PlainTextDropsTheFormattingAndBackGivesTheDefaultFormat)
{
    open(folder.writeDocument(QStringLiteral("list.rtf"), kRtf));
    RichEdit& edit = *form->RichEdit1;
    edit.setSelectionStart(7);
    ASSERT_EQ(edit.SelectionAttributes().Style(), fs::Bold);
    type(QStringLiteral("!"));

    form->plainTextItem->trigger();
    EXPECT_TRUE(form->plainTextItem->isChecked());
    EXPECT_TRUE(edit.PlainText());
    EXPECT_TRUE(edit.Modified());
    edit.setSelectionStart(7);
    EXPECT_EQ(edit.SelectionAttributes().Style(), 0);

    form->plainTextItem->trigger();
    EXPECT_FALSE(form->plainTextItem->isChecked());
    EXPECT_FALSE(edit.PlainText());
    EXPECT_EQ(edit.Text(), QStringLiteral("Dobrý d!eň\r\nDruhý riadok"));
    edit.setSelectionStart(7);
    EXPECT_EQ(edit.SelectionAttributes().Style(), 0);
    EXPECT_EQ(edit.SelectionAttributes().Name(), edit.DefaultAttributes().Name());

    // New and Open leave the mode and its mark alone.
    form->plainTextItem->trigger();
    platform.answerQuestion(Answer::No);
    form->newItem->trigger();
    EXPECT_TRUE(form->plainTextItem->isChecked());
    EXPECT_TRUE(edit.PlainText());
}

// Dropping the formatting is an edit like others: one undo step that brings back the formats,
// the bullets, the pictures and the mode with its mark, and a change that closing asks about.
TEST_F(ViewModesTest, PlainTextIsOneStepThatUndoTakesBackWithTheMode)
{
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.save(&png, "PNG");
    const QByteArray rtf = kRtf.chopped(1) + "\\par{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}odr\\'e1\\'9eka"
                                             "\\par{\\pict\\pngblip\\picw8\\pich8 " + png.data().toHex() + "}\\par}";
    open(folder.writeDocument(QStringLiteral("list.zrm"), rtf));
    RichEdit& edit = *form->RichEdit1;
    const QString formatted = edit.Text();
    auto pictures = [&] {
        int count = 0;
        for (QTextBlock b = edit.widget()->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                count += it.fragment().charFormat().isImageFormat();
        return count;
    };
    auto bullets = [&] { return edit.widget()->document()->findBlockByNumber(2).textList() != nullptr; };
    ASSERT_EQ(pictures(), 1);
    ASSERT_TRUE(bullets());
    ASSERT_FALSE(edit.CanUndo());

    form->plainTextItem->trigger();
    EXPECT_TRUE(edit.PlainText());
    EXPECT_EQ(pictures(), 0);
    EXPECT_FALSE(bullets());
    EXPECT_TRUE(edit.Modified());
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    EXPECT_TRUE(form->undoItem->isEnabled());

    QTest::keyClick(edit.widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(edit.PlainText());
    EXPECT_FALSE(form->plainTextItem->isChecked());
    EXPECT_EQ(edit.Text(), formatted);
    EXPECT_EQ(pictures(), 1);
    EXPECT_TRUE(bullets());
    edit.setSelectionStart(7);
    EXPECT_EQ(edit.SelectionAttributes().Style(), fs::Bold);

    QTest::keyClick(edit.widget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(edit.PlainText());
    EXPECT_TRUE(form->plainTextItem->isChecked());
    EXPECT_EQ(pictures(), 0);

    // Closing asks about the change.
    platform.answerQuestion(Answer::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(platform.questions(), QStringList{QStringLiteral("Chcete uložiť rozpísaný dokument?")});
}

TEST_F(ViewModesTest, AfterAnEasyModeStartTheFirstClickOnlySetsTheMark)
{
    folder.write(QStringLiteral("easy.ini"), "0");
    form = start();
    RichEdit& edit = *form->RichEdit1;
    EXPECT_TRUE(edit.PlainText());
    EXPECT_FALSE(form->plainTextItem->isChecked());

    form->plainTextItem->trigger();
    EXPECT_TRUE(form->plainTextItem->isChecked());
    EXPECT_TRUE(edit.PlainText());

    form->plainTextItem->trigger();
    EXPECT_FALSE(form->plainTextItem->isChecked());
    EXPECT_FALSE(edit.PlainText());
}

// ---- HTML mode ---------------------------------------------------------------------------

TEST_F(ViewModesTest, HtmlModeColoursThePageSourceAsOneChange)
{
    open(folder.writeDocument(QStringLiteral("page.htm"), kPage));
    ASSERT_FALSE(form->htmlModeItem->isChecked());
    QSignalSpy changes(form->RichEdit1, &RichEdit::OnChange);
    form->htmlModeItem->trigger();

    EXPECT_TRUE(form->htmlModeItem->isChecked());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(panel(*form, 2), QStringLiteral("Zmenený"));
    RichEdit& edit = *form->RichEdit1;
    // The caret ends at the end of the document, nothing selected.
    EXPECT_EQ(edit.SelectionStart(), edit.TextLength());
    EXPECT_EQ(edit.SelectionLength(), 0);
    // Text typed at the end takes the colour of the insertion point: text.
    type(QStringLiteral("z"));
    EXPECT_EQ(colorLetters(), QStringLiteral("mmmmmm"                                       // <html>
                                             "mmmmmmmmmmmmmqmm" "ttttttttttt" "mmm" "mmmmmmm" // <body ...>...</body>
                                             "mmmmmmm"                                        // </html>
                                             "t"));                                           // z

    // Saved as a page, the colours go with the rich text.
    const QByteArray saved = saveAs(QStringLiteral("farby.htm"));
    EXPECT_TRUE(saved.startsWith("{\\rtf"));
    EXPECT_TRUE(saved.contains("\\red0\\green0\\blue255"));
    EXPECT_TRUE(saved.contains("\\red255\\green0\\blue0"));
    EXPECT_TRUE(saved.contains("\\red0\\green128\\blue0"));
    open(folder.filePath(QStringLiteral("farby.htm")));
    EXPECT_EQ(colorAt(0), kRed);
    EXPECT_EQ(colorAt(20), kGreen);

    // The undo takes the colouring back at once: the page shows in the document's black.
    open(folder.writeDocument(QStringLiteral("page2.htm"), kPage));
    form->htmlModeItem->trigger(); // off
    form->htmlModeItem->trigger(); // on again
    EXPECT_EQ(colorAt(30), kBlue);
    edit.Undo();
    EXPECT_EQ(colorLetters(), QString(colorLetters().size(), u'k'));
}

TEST_F(ViewModesTest, HtmlModeOffMakesEverythingBlackAlsoWhatTheUserColoured)
{
    type(QStringLiteral("<b>farebné</b>"));
    RichEdit& edit = *form->RichEdit1;
    edit.setSelectionStart(3);
    edit.setSelectionLength(7);
    edit.SelectionAttributes().setColor(0x00FF00FF);
    form->htmlModeItem->trigger();
    EXPECT_EQ(colorLetters(), QStringLiteral("mmmtttttttmmmm"));
    form->htmlModeItem->trigger();
    EXPECT_FALSE(form->htmlModeItem->isChecked());
    EXPECT_EQ(colorLetters(), QString(14, u'k'));
}

TEST_F(ViewModesTest, TextLoadedAfterHtmlModeIsNotColouredUntilTheNextClick)
{
    form->htmlModeItem->trigger();
    platform.answerQuestion(Answer::No);
    form->newItem->trigger();
    EXPECT_TRUE(form->htmlModeItem->isChecked());
    open(folder.writeDocument(QStringLiteral("page.html"), kPage));
    EXPECT_TRUE(form->htmlModeItem->isChecked());
    EXPECT_EQ(colorAt(0), kBlack);
    EXPECT_EQ(colorAt(20), kBlack);
    form->htmlModeItem->trigger();
    EXPECT_FALSE(form->htmlModeItem->isChecked());
    EXPECT_EQ(colorLetters(), QString(colorLetters().size(), u'k'));
}

TEST_F(ViewModesTest, HtmlModeInPlainTextModeColoursTheShownText)
{
    form->plainTextItem->trigger();
    open(folder.writeDocument(QStringLiteral("page.htm"), kPage));
    form->htmlModeItem->trigger();
    EXPECT_EQ(colorAt(0), kRed);
    EXPECT_EQ(colorAt(20), kGreen);
    // Saved as text, the colours stay behind; the page keeps its own line ends.
    EXPECT_EQ(saveAs(QStringLiteral("page.txt")), kPage);
}

// ---- the colouring rule ------------------------------------------------------------------

// The colours as letters: t text, m markup, q quoted; the end colour after a slash.
QString letters(const QString& text)
{
    const TagColoring coloring = tagColoring(text, {1, 2, 3});
    QString out;
    for (const TagColoring::Run& run : coloring.runs)
        out += QString(run.length, QChar(u"?tmq"[run.color]));
    return out + u'/' + QChar(u"?tmq"[coloring.endColor]);
}

TEST(TagColoring, MarkupQuotesAndStrayCharactersFollowTheRule)
{
    EXPECT_EQ(letters(QString()), QStringLiteral("/t"));
    EXPECT_EQ(letters(QStringLiteral("a<b c=\"d\">e")), QStringLiteral("tmmmmmmqmmt/t"));
    // Closing characters outside markup are text; any opener pairs with any closer.
    EXPECT_EQ(letters(QStringLiteral("x}y>z")), QStringLiteral("ttttt/t"));
    EXPECT_EQ(letters(QStringLiteral("{a>b<c}d")), QStringLiteral("mmmtmmmt/t"));
    EXPECT_EQ(letters(QStringLiteral("<<a>b")), QStringLiteral("mmmmt/t"));
    // A double quote outside markup is text.
    EXPECT_EQ(letters(QStringLiteral("\"a\"<b>")), QStringLiteral("tttmmm/t"));
    // An unbalanced quote carries over into the next markup until a quote inside closes it.
    EXPECT_EQ(letters(QStringLiteral("<a \"b>c<d\"e>f")), QStringLiteral("mmmmqqtqqmmmt/t"));
    // The colour at the end follows the state the text leaves.
    EXPECT_EQ(letters(QStringLiteral("<a")), QStringLiteral("mm/m"));
    EXPECT_EQ(letters(QStringLiteral("<a \"b")), QStringLiteral("mmmmq/q"));
    // Paragraph breaks are characters like any other.
    EXPECT_EQ(letters(QStringLiteral("<a\rb>\r")), QStringLiteral("mmmmmt/t"));
}

// The rule as one pass per position through the control's selection, for comparison: the
// colour of each pass from the characters read, then each position given its colour. The
// colours go on from the end backwards: the control's colouring of one character right after
// a character it has just given the same format merges the text fragment it is walking and
// does not come back (a fault of the control, not of the rule).
void colorTagsPerPosition(RichEdit& edit, const TagColors& colors)
{
    const int n = int(edit.Text().size());
    bool inMarkup = false, inQuote = false, quoteOpened = false;
    ColorRef current = colors.text;
    std::vector<ColorRef> passes;
    for (int i = 0; i <= n; ++i) {
        edit.setSelectionStart(i);
        edit.setSelectionLength(1);
        const QString c = edit.SelectedText();
        if (c == u"<" || c == u"{")
            inMarkup = true;
        if (inMarkup && c == u"\"") {
            if (inQuote) {
                inQuote = false;
            } else {
                inQuote = true;
                quoteOpened = true;
            }
        }
        if (inMarkup && inQuote)
            current = quoteOpened ? current : colors.quoted;
        else
            current = inMarkup ? colors.markup : colors.text;
        passes.push_back(current);
        quoteOpened = false;
        if (c == u">" || c == u"}")
            inMarkup = false;
    }
    for (int i = n; i >= 0; --i) {
        edit.setSelectionStart(i);
        edit.setSelectionLength(1);
        edit.SelectionAttributes().setColor(passes[size_t(i)]);
    }
    // The last pass leaves the caret at the end with its colour, nothing selected.
    edit.setSelectionStart(n);
    edit.SelectionAttributes().setColor(passes.back());
}

// Every character's format and every paragraph's own character format, as text.
QStringList formats(const RichEdit& edit)
{
    QStringList out;
    const auto describe = [](const QTextCharFormat& f) {
        return (f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QStringLiteral("auto"))
               + (f.fontWeight() >= QFont::Bold ? QStringLiteral(" bold") : QString());
    };
    for (QTextBlock b = edit.widget()->document()->begin(); b.isValid(); b = b.next()) {
        out << QStringLiteral("paragraph ") + describe(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (int i = 0; i < it.fragment().length(); ++i)
                out << describe(it.fragment().charFormat());
    }
    return out;
}

class ColorTagsControls : public ::testing::Test {
protected:
    void load(const QByteArray& rtf)
    {
        for (RichEdit* edit : {&bulk, &perPosition}) {
            edit->resize(400, 300);
            edit->show();
            QByteArray bytes = rtf;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            edit->LoadStream(buffer);
        }
    }
    void expectSameResult(const TagColors& colors)
    {
        ColorTags(bulk, colors);
        colorTagsPerPosition(perPosition, colors);
        EXPECT_EQ(formats(bulk), formats(perPosition));
        EXPECT_EQ(bulk.SelectionStart(), perPosition.SelectionStart());
        EXPECT_EQ(bulk.SelectionLength(), 0);
        EXPECT_EQ(bulk.SelectionAttributes().Color(), perPosition.SelectionAttributes().Color());
    }
    RichEdit bulk;
    RichEdit perPosition;
};

TEST_F(ColorTagsControls, BulkColouringGivesWhatOnePassPerPositionGives)
{
    load("{\\rtf1\\ansi{\\colortbl;\\red0\\green255\\blue0;}{\\b <p class=}\"x{\\cf1 y\">}a\\par "
         "\\par \"<i>\"{\\b b\\}}\\par c{\\cf1 \\{} d\\line <a\\par}");
    expectSameResult({kBlue, kRed, kGreen});
    expectSameResult({kBlack, kBlack, kBlack});
}

TEST_F(ColorTagsControls, BulkColouringMatchesOnRandomMarkup)
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 4; ++round) {
        QByteArray rtf = "{\\rtf1\\ansi ";
        for (int i = 0; i < 300; ++i) {
            const int pick = random.bounded(9);
            const char* const pieces[] = {"<", ">", "\\{", "\\}", "\"", "\"", "a ", "a", "\\par "};
            rtf += pieces[pick];
        }
        rtf += "}";
        load(rtf);
        expectSameResult({kBlue, kRed, kGreen});
    }
}

} // namespace
