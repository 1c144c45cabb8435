// Word documents (.docx) as LibreOffice and AbiWord write them, read by us: both programs make
// them at test time from RTF of ours, so the documents are theirs and the expectations ours.
#include "RtfTestUtil.h"
#include "TestSupport.h"

#include "richtext/document/DocFormats.h"
#include "richtext/formats/docx/Docx.h"
#include "richtext/formats/odt/Odt.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/ListLevels.h"
#include "richtext/document/Notes.h"
#include "richtext/document/Sections.h"
#include "richtext/formats/rtf/RtfNotes.h"
#include "richtext/formats/rtf/Picture.h"
#include "richtext/formats/rtf/Rtf.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;
using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QTextDocument> loadDocx(const QByteArray& bytes)
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    EXPECT_TRUE(readDocx(bytes, cursor));
    return doc;
}

// A document of what the reader must carry: bold and italic runs, a heading, a bulleted list,
// a table of two rows with a table in a cell, a footnote and an endnote, a second section on a
// landscape page.
QByteArray featureRtf()
{
    return "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Arial;}}"
           "{\\stylesheet{\\s0 Normal;}{\\s1\\outlinelevel0\\b\\fs32 heading 1;}}"
           "\\pard\\s1\\outlinelevel0\\b\\fs32 Nadpis\\par"
           "\\pard\\plain\\fs24 Text {\\b tu\\'e8n\\'fd} a {\\i kurz\\'edva}.\\par"
           "{\\*\\listtable{\\list\\listid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}}"
           "{\\list\\listid2{\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}"
           "{\\listlevel\\levelnfc4\\levelstartat1{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}\\fi-360\\li1440}}}"
           "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}"
           "\\pard\\ls1\\ilvl0\\fi-360\\li720 prv\\'e1\\par\\pard\\ls1\\ilvl0\\fi-360\\li720 druh\\'e1\\par"
           "\\pard\\ls2\\ilvl0\\fi-360\\li720 bod\\par\\pard\\ls2\\ilvl1\\fi-360\\li1440 podbod\\par"
           "\\pard\\trowd\\cellx2000\\cellx4000\\intbl A1\\cell B1\\cell\\row"
           "\\trowd\\cellx2000\\cellx4000\\intbl A2\\cell B2\\par\\pard\\intbl\\itap2 V1\\nestcell V2\\nestcell"
           "{\\*\\nesttableprops\\trowd\\cellx2500\\cellx3500\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\itap1\\cell\\row"
           "\\pard Koniec{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} Pozn\\'e1mka pod \\'e8iarou.}"
           " a{\\super\\chftn}{\\footnote\\ftnalt\\pard\\plain{\\super\\chftn} Na konci.}.\\par"
           "\\sect\\sectd\\lndscpsxn\\pgwsxn16838\\pghsxn11906\\pard Na \\'9a\\'edrku.\\par}";
}

// The second list's item a level down shows its level's label, under the first level's "3.".
void expectListLevels(const QTextDocument& doc)
{
    const QString text = doc.toPlainText();
    const QTextBlock top = doc.findBlock(int(text.indexOf(u"\nbod\n"_s)) + 1), sub = doc.findBlock(int(text.indexOf(u"podbod"_s)));
    EXPECT_EQ(listLabel(top).toStdString(), "3.");
    EXPECT_EQ(listLevelOf(sub), 1);
    EXPECT_EQ(listLabel(sub).toStdString(), "a)");
}

// The table in the second row's last cell is a table of that cell.
void expectNestedTable(const QTextDocument& doc)
{
    const QTextBlock v2 = doc.findBlock(int(doc.toPlainText().indexOf(u"V2"_s)));
    QTextTable* inner = QTextCursor(v2).currentTable();
    ASSERT_NE(inner, nullptr);
    EXPECT_NE(qobject_cast<QTextTable*>(inner->parentFrame()), nullptr);
    EXPECT_EQ(inner->cellAt(v2.position()).column(), 1);
}

// The second section starts at its paragraph, on its own landscape page.
void expectSections(const QTextDocument& doc)
{
    const std::vector<SectionSpan> sections = sectionsOf(doc);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(doc.findBlock(sections[1].start).text(), QString::fromUtf8("Na šírku."));
    EXPECT_TRUE(sections[1].setup.page.landscape);
    EXPECT_NEAR(sections[1].setup.page.paperWidth, 16838, 20);
    EXPECT_FALSE(sections[0].setup.page.landscape);
}

// The document's notes' texts, footnotes first, each in the order it comes.
QStringList noteTexts(const QTextDocument& doc)
{
    QStringList footnotes, endnotes;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (const auto note = noteOf(it.fragment().charFormat())) {
                QTextDocument content;
                readNoteContent(*note, content);
                (note->endnote ? endnotes : footnotes) << content.toPlainText().trimmed();
            }
    return footnotes + endnotes;
}

} // namespace

TEST(DocxInterop, ReadsWhatOtherProgramsWrite)
{
    const auto letter = structuredLetter();
    for (const char* program : {"soffice", "abiword"}) {
        SCOPED_TRACE(program);
        const auto saved = convertByOtherProgram(program, {writeRtf(*letter), featureRtf()}, "docx");
        // The letter: its text as LibreOffice shows the file, paragraph spacing and the page.
        const auto back = loadDocx(saved[0]);
        // Its text export writes hidden text as any other, and AbiWord does not hide it.
        const QString hidden = QString::fromUtf8("skrytá poznámka");
        const QString shown = readByOtherProgram("soffice", {saved[0]})[0].remove(hidden);
        EXPECT_EQ(back->toPlainText().remove(QChar::ObjectReplacementCharacter).remove(hidden).trimmed().toStdString(),
                  shown.toStdString());
        if (QString(program) == "soffice") { // AbiWord leaves the hidden remark and a paragraph out of its file
            const auto paras = paraRecords(*back), expected = paraRecords(*letter);
            ASSERT_EQ(paras.size(), expected.size());
            for (size_t i = 0; i < paras.size(); ++i) {
                SCOPED_TRACE(testing::Message() << "paragraph " << i);
                EXPECT_NEAR(paras[i].spaceBefore, expected[i].spaceBefore, 1);
                EXPECT_NEAR(paras[i].spaceAfter, expected[i].spaceAfter, 1);
                EXPECT_EQ(paras[i].pageBreakBefore, expected[i].pageBreakBefore);
            }
        }
        const PageSetup page = readPageSetup(*back), letterPage = readPageSetup(*letter);
        EXPECT_NEAR(page.paperWidth, letterPage.paperWidth, 2);
        EXPECT_NEAR(page.paperHeight, letterPage.paperHeight, 2);
        EXPECT_NEAR(page.marginLeft, letterPage.marginLeft, 2);
        EXPECT_NEAR(page.marginTop, letterPage.marginTop, 2);
        // The features: formats, heading, list, table.
        const auto doc = loadDocx(saved[1]);
        const QString text = doc->toPlainText();
        EXPECT_TRUE(text.contains(QString::fromUtf8("Text tučný a kurzíva."))) << text.toStdString();
        QTextCursor c(doc.get());
        c.setPosition(int(text.indexOf(QString::fromUtf8("tučný"))) + 1);
        EXPECT_TRUE(c.charFormat().fontWeight() >= QFont::Bold);
        c.setPosition(int(text.indexOf(QString::fromUtf8("kurzíva"))) + 1);
        EXPECT_TRUE(c.charFormat().fontItalic());
        const QTextBlock heading = doc->findBlock(int(text.indexOf("Nadpis")));
        EXPECT_EQ(readParaFormat(heading).numbering, pfn::None);
        const QTextBlock item = doc->findBlock(int(text.indexOf(QString::fromUtf8("prvá"))));
        EXPECT_EQ(readParaFormat(item).numbering, pfn::Bullet);
        QTextTable* table = nullptr;
        for (QTextBlock b = doc->begin(); b.isValid() && !table; b = b.next())
            table = QTextCursor(b).currentTable();
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->rows(), 2);
        EXPECT_EQ(table->columns(), 2);
        EXPECT_EQ(QTextCursor(table->cellAt(1, 1).firstCursorPosition()).block().text(), "B2");
        if (QString(program) == "soffice") { // the notes as LibreOffice writes them
            EXPECT_EQ(noteTexts(*doc), QStringList({QString::fromUtf8("Poznámka pod čiarou."), "Na konci."}));
            expectListLevels(*doc);
            expectNestedTable(*doc);
            expectSections(*doc);
        }
    }
}

namespace {

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 40));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

bool holdsPicture(const QTextDocument& doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (pictureFromFormat(it.fragment().charFormat()))
                return true;
    return false;
}

} // namespace

// Ours read by them, Word and OpenDocument: what they make of our file, saved again in their hands and read by us,
// has the text, the formats, the heading, the list, the table, the picture and the page.
TEST(DocxInterop, OtherProgramsReadWhatWeWrite)
{
    const auto letter = structuredLetter();
    const auto features = loadRtf(featureRtf().chopped(1) + "\\pard Obr\\'e1zok {\\pict\\pngblip\\picw6\\pich4 " +
                                  pngOf(6, 4).toHex() + "}\\par}");
    for (const auto& [program, format] : {std::pair{"soffice", "docx"}, {"abiword", "docx"}, {"soffice", "odt"}, {"abiword", "odt"}}) {
        SCOPED_TRACE(testing::Message() << program << " " << format);
        const bool odt = QString(format) == "odt";
        const std::vector<QByteArray> ours = odt ? std::vector{writeOdt(*letter), writeOdt(*features)}
                                                 : std::vector{writeDocx(*letter), writeDocx(*features)};
        const auto saved = convertByOtherProgram(program, ours, format);
        const auto read = [odt](const QByteArray& bytes) {
            auto doc = std::make_unique<QTextDocument>();
            QTextCursor cursor(doc.get());
            EXPECT_TRUE(odt ? readOdt(bytes, cursor) : readDocx(bytes, cursor));
            return doc;
        };
        const auto back = read(saved[0]);
        // Their file's text as LibreOffice shows it (AbiWord keeps hidden text but shows it, and
        // its OpenDocument puts an empty paragraph before a page break).
        const QString hidden = QString::fromUtf8("skrytá poznámka");
        EXPECT_EQ(back->toPlainText().remove(QChar::ObjectReplacementCharacter).remove(hidden).trimmed().toStdString(),
                  readByOtherProgram("soffice", {saved[0]})[0].remove(hidden).toStdString());
        if (!(odt && QString(program) == "abiword")) { // whose OpenDocument has a letter page of its own
            const PageSetup page = readPageSetup(*back), letterPage = readPageSetup(*letter);
            EXPECT_NEAR(page.paperWidth, letterPage.paperWidth, 20);
            EXPECT_NEAR(page.paperHeight, letterPage.paperHeight, 20);
            EXPECT_NEAR(page.marginLeft, letterPage.marginLeft, 20);
        }
        const auto doc = read(saved[1]);
        const QString text = doc->toPlainText();
        QTextCursor c(doc.get());
        c.setPosition(int(text.indexOf(QString::fromUtf8("tučný"))) + 1);
        EXPECT_TRUE(c.charFormat().fontWeight() >= QFont::Bold);
        c.setPosition(int(text.indexOf(QString::fromUtf8("kurzíva"))) + 1);
        EXPECT_TRUE(c.charFormat().fontItalic());
        EXPECT_EQ(doc->findBlock(int(text.indexOf("Nadpis"))).blockFormat().intProperty(docprop::OutlineLevel), 0);
        EXPECT_EQ(readParaFormat(doc->findBlock(int(text.indexOf(QString::fromUtf8("druhá"))))).numbering, pfn::Bullet);
        EXPECT_TRUE(text.contains(QString::fromUtf8("A1\nB1\nA2\nB2"))) << text.toStdString();
        EXPECT_TRUE(holdsPicture(*doc));
        if (QString(program) == "soffice") {
            EXPECT_EQ(noteTexts(*doc), QStringList({QString::fromUtf8("Poznámka pod čiarou."), "Na konci."}));
            expectListLevels(*doc);
            expectNestedTable(*doc);
            if (!odt)
                expectSections(*doc);
        }
    }
}

// A document of theirs, read and written by us, shows them the same text as their own.
TEST(DocxInterop, TheirDocumentComesBackWithItsText)
{
    const QByteArray theirs = convertByOtherProgram("soffice", {featureRtf()}, "docx")[0];
    const QByteArray ours = writeDocx(*loadDocx(theirs));
    const auto shown = readByOtherProgram("soffice", {theirs, ours});
    EXPECT_EQ(shown[1].toStdString(), shown[0].toStdString());
}

// OpenDocument texts as they write them (LibreOffice zipped and flat, AbiWord zipped), read by us.
TEST(OdtInterop, ReadsWhatOtherProgramsWrite)
{
    const auto letter = structuredLetter();
    const std::vector<QByteArray> rtfs{writeRtf(*letter), featureRtf()};
    std::vector<std::pair<std::string, std::vector<QByteArray>>> files{
        {"soffice odt", convertByOtherProgram("soffice", rtfs, "odt")},
        {"soffice fodt", convertByOtherProgram("soffice", rtfs, "fodt")},
        {"abiword odt", convertByOtherProgram("abiword", rtfs, "odt")}};
    for (const auto& [what, saved] : files) {
        SCOPED_TRACE(what);
        const auto read = [](const QByteArray& bytes) {
            auto doc = std::make_unique<QTextDocument>();
            QTextCursor cursor(doc.get());
            EXPECT_TRUE(readOdt(bytes, cursor));
            return doc;
        };
        const auto back = read(saved[0]);
        const QString hidden = QString::fromUtf8("skrytá poznámka");
        EXPECT_EQ(back->toPlainText().remove(QChar::ObjectReplacementCharacter).remove(hidden).trimmed().toStdString(),
                  readByOtherProgram("soffice", {saved[0]})[0].remove(hidden).toStdString());
        if (what != "abiword odt") { // AbiWord's OpenDocument has a letter page of its own
            const PageSetup page = readPageSetup(*back), letterPage = readPageSetup(*letter);
            EXPECT_NEAR(page.paperWidth, letterPage.paperWidth, 20);
            EXPECT_NEAR(page.paperHeight, letterPage.paperHeight, 20);
            EXPECT_NEAR(page.marginLeft, letterPage.marginLeft, 20);
        }
        const auto doc = read(saved[1]);
        const QString text = doc->toPlainText();
        QTextCursor c(doc.get());
        c.setPosition(int(text.indexOf(QString::fromUtf8("tučný"))) + 1);
        EXPECT_TRUE(c.charFormat().fontWeight() >= QFont::Bold);
        c.setPosition(int(text.indexOf(QString::fromUtf8("kurzíva"))) + 1);
        EXPECT_TRUE(c.charFormat().fontItalic());
        if (what != "abiword odt") { // AbiWord writes the list's label as text
            EXPECT_EQ(readParaFormat(doc->findBlock(int(text.indexOf(QString::fromUtf8("druhá"))))).numbering, pfn::Bullet);
        }
        QTextTable* table = nullptr;
        for (QTextBlock b = doc->begin(); b.isValid() && !table; b = b.next())
            table = QTextCursor(b).currentTable();
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->rows(), 2);
        EXPECT_EQ(table->columns(), 2);
        if (what != "abiword odt") {
            EXPECT_EQ(noteTexts(*doc), QStringList({QString::fromUtf8("Poznámka pod čiarou."), "Na konci."}));
            expectListLevels(*doc);
            expectNestedTable(*doc);
        }
    }
}
