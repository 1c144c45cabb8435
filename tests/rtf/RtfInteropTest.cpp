// What LibreOffice and AbiWord make of the RTF we write. Both programs are part of the test
// run: a missing one fails these tests with the package to install.
#include "RtfTestUtil.h"

#include "richtext/rtf/Rtf.h"

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
