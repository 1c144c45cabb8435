// What LibreOffice and AbiWord make of the RTF we write. Both programs are part of the test
// run: a missing one fails these tests with the package to install.
#include "RtfTestUtil.h"

#include "richtext/DocFormats.h"
#include "richtext/rtf/Rtf.h"

#include <QTextCursor>
#include <gtest/gtest.h>

using namespace zorim;
using namespace zorim::test;

TEST(RtfCodepages, OtherProgramsReadWhatWeWrite)
{
    const QString text = everyKindOfText();
    const std::vector<uint8_t> charsets{kDefaultCharset, kEastEuropeCharset, uint8_t(255), uint8_t(128)};
    std::vector<QByteArray> rtfs;
    for (const uint8_t charset : charsets)
        rtfs.push_back(writeRtf(*typedDocument(text, "Arial", charset)));
    for (const char* program : {"soffice", "abiword"}) {
        const bool abiword = QString(program) == "abiword";
        // AbiWord shows an optional hyphen by leaving it out of its text.
        const QString expected = abiword ? QString(text).remove(QChar(0x00AD)) : text;
        const auto shown = readByOtherProgram(program, rtfs);
        for (size_t i = 0; i < rtfs.size(); ++i) {
            // AbiWord reads an OEM font (set 255) in the document's page, not in the DOS page
            // the set stands for.
            if (!(abiword && charsets[i] == 255)) {
                EXPECT_EQ(shown[i], expected) << program << " charset " << int(charsets[i]);
            }
        }
    }
}

// The letter's structure, written by us, saved by the other program and read back by us.
TEST(RtfInterop, PageStructureComesBackFromOtherPrograms)
{
    const auto letter = structuredLetter();
    const auto expected = paraRecords(*letter);
    // A footnote's number and text, as we keep them.
    const auto note = loadRtf("{\\rtf1 Text{\\super\\chftn}{\\footnote{\\super\\chftn} pod ciarou.} dalej.}");
    for (const char* program : {"soffice", "abiword"}) {
        const auto saved = convertByOtherProgram(program, {writeRtf(*letter), writeRtf(*note)}, "rtf");
        EXPECT_EQ(loadRtf(saved[1])->toPlainText(), note->toPlainText()) << program;
        const auto back = loadRtf(saved[0]);
        EXPECT_EQ(back->toPlainText(), letter->toPlainText()) << program;
        const auto paras = paraRecords(*back);
        ASSERT_EQ(paras.size(), expected.size()) << program;
        for (size_t i = 0; i < paras.size(); ++i) {
            SCOPED_TRACE(testing::Message() << program << " paragraph " << i);
            // AbiWord keeps lengths in inches, a twip off now and then.
            EXPECT_NEAR(paras[i].spaceBefore, expected[i].spaceBefore, 1);
            EXPECT_NEAR(paras[i].spaceAfter, expected[i].spaceAfter, 1);
            EXPECT_EQ(paras[i].lineSpacing, expected[i].lineSpacing);
            EXPECT_EQ(paras[i].lineMultiple, expected[i].lineMultiple);
            EXPECT_EQ(paras[i].pageBreakBefore, expected[i].pageBreakBefore);
        }
        QTextCursor hidden(back.get());
        hidden.setPosition(6);
        EXPECT_EQ(hiddenTextOf(hidden.charFormat()), QString::fromUtf8("skrytá poznámka")) << program;
        const PageSetup page = readPageSetup(*back), letterPage = readPageSetup(*letter);
        EXPECT_NEAR(page.paperWidth, letterPage.paperWidth, 1) << program;
        EXPECT_NEAR(page.paperHeight, letterPage.paperHeight, 1) << program;
        EXPECT_EQ(page.landscape, letterPage.landscape) << program;
        EXPECT_NEAR(page.marginLeft, letterPage.marginLeft, 1) << program;
        EXPECT_NEAR(page.marginRight, letterPage.marginRight, 1) << program;
        EXPECT_NEAR(page.marginTop, letterPage.marginTop, 1) << program;
        EXPECT_NEAR(page.marginBottom, letterPage.marginBottom, 1) << program;
    }
}
