// Code pages in RTF: every \'hh byte the writer writes is in the page its font declares, and
// the reader decodes the pages other programs write (double-byte East Asian, Mac, DOS).
#include "RtfTestUtil.h"

#include "richtext/document/DocFormats.h"
#include "richtext/formats/rtf/Rtf.h"
#include "text/Codepage.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <map>

using namespace zorim;
using namespace zorim::test;

namespace {

// Reads RTF the way a reader that trusts only the declared pages does: each font's
// \fcharset (or the document's \ansicpg) decides the bytes. Enough of the syntax for what
// our writer writes.
QString readByDeclaredPages(const QByteArray& rtf)
{
    std::map<int, int> fontPage;
    const QRegularExpression fontDef(R"(\{\\f(\d+)[^{}]*?\\fcharset(\d+))");
    for (auto it = fontDef.globalMatch(QString::fromLatin1(rtf)); it.hasNext();) {
        const auto m = it.next();
        fontPage[m.captured(1).toInt()] = codepageForCharset(m.captured(2).toInt());
    }
    const qsizetype body = rtf.indexOf("\\viewkind4");
    QString out;
    int page = 0;
    int skip = 0;
    for (qsizetype i = body; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '\\' && rtf[i + 1] == '\'') {
            const char byte = char(rtf.mid(i + 2, 2).toInt(nullptr, 16));
            if (skip > 0) {
                --skip;
            } else {
                EXPECT_TRUE(isKnownCodepage(page)) << "a byte in a font without a code page";
                out += decodeCodepage(QByteArray(1, byte), page);
            }
            i += 3;
        } else if (c == '\\' && QChar(rtf[i + 1]).isLetter()) {
            qsizetype j = i + 1;
            while (QChar(rtf[j]).isLetter())
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            if (rtf[k] == '-')
                ++k;
            while (QChar(rtf[k]).isDigit())
                ++k;
            const int value = rtf.mid(j, k - j).toInt();
            if (rtf[k] == ' ')
                ++k;
            if (word == "f")
                page = fontPage.count(value) ? fontPage[value] : 0;
            else if (word == "u") {
                out += QChar(char16_t(value < 0 ? value + 65536 : value));
                skip = 1;
            } else if (word == "tab")
                out += u'\t';
            i = k - 1;
        } else if (c == '\\') {
            const char symbol = rtf[++i];
            out += symbol == '~' ? QChar(0x00A0) : symbol == '-' ? QChar(0x00AD) : symbol == '_' ? QChar(0x2011) : QChar(symbol);
        } else if (c != '{' && c != '}' && c != '\r' && c != '\n') {
            if (skip > 0)
                --skip;
            else
                out += QChar(c);
        }
    }
    return out;
}

} // namespace

TEST(RtfCodepages, WhatIsWrittenIsInThePageItDeclares)
{
    const QString text = everyKindOfText();
    // Typed text has the default character set; files bring OEM, Mac, Japanese, Western and
    // Cyrillic fonts, and the program keeps their numbers.
    for (const uint8_t charset : {uint8_t(1), uint8_t(238), uint8_t(255), uint8_t(128), uint8_t(77), uint8_t(0),
                                  uint8_t(204), uint8_t(134), uint8_t(3)}) {
        SCOPED_TRACE(int(charset));
        const auto doc = typedDocument(text, QString::fromUtf8("Písmo Ł"), charset);
        const QByteArray rtf = writeRtf(*doc);
        EXPECT_EQ(readByDeclaredPages(rtf), text);
        const auto back = loadRtf(rtf);
        EXPECT_EQ(back->toRawText(), text);
        EXPECT_EQ(formatAt(*back, 0).faceName, QString::fromUtf8("Písmo Ł"));
        if (charset == 1 || charset == 3)
            EXPECT_EQ(formatAt(*back, 0).charset, kEastEuropeCharset); // what the Windows-1250 bytes are in
        else
            EXPECT_EQ(formatAt(*back, 0).charset, charset);
        EXPECT_EQ(writeRtf(*back), rtf);
    }
    // The example from the field: no byte of this is in another page than the one declared.
    const QByteArray typed = writeRtf(*typedDocument(QString::fromUtf8("café Łódź “quoted”"), "Arial", kDefaultCharset));
    EXPECT_TRUE(typed.contains("\\fcharset238 Arial;")) << typed.toStdString();
    EXPECT_TRUE(typed.contains("caf\\'e9 \\'a3\\'f3d\\'9f \\'93quoted\\'94")) << typed.toStdString();
}

TEST(RtfCodepages, DoubleByteDocumentsAndFonts)
{
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg936 \\'b2\\'e2\\'ca\\'d4}")->toRawText(), QString::fromUtf8("测试"));
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg932 \\'82\\'b1\\'82\\'f1}")->toRawText(), QString::fromUtf8("こん"));
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg949 \\'c7\\'d1\\'b1\\'b9}")->toRawText(), QString::fromUtf8("한국"));
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4\\'a4\\'e5}")->toRawText(), QString::fromUtf8("中文"));
    // Fonts of the double-byte sets, their names in their own page, next to a Western font;
    // raw bytes pair up as \'hh do, and a half-width katakana byte stands alone.
    const auto doc = loadRtf("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                             "{\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 Mincho;}{\\f2\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
                             "\\f0 \\'e9 {\\f1 \\'82\\'b1\\'82\\'f1\\'b1 x}{\\f2 \xb2\xe2\\'ca\\'d4}\\'e9}");
    EXPECT_EQ(doc->toRawText(), QString::fromUtf8("é こんｱ x测试é"));
    EXPECT_EQ(formatAt(*doc, 2).faceName, QString::fromUtf8("ＭＳ Mincho"));
    EXPECT_EQ(formatAt(*doc, 7).faceName, QString::fromUtf8("宋体"));
    // \ucN counts bytes, a pair two of them, escaped or raw; a pair whose first byte ends the
    // count goes whole (writers that count pairs as one).
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg936 \\u27979\\'b2\\'e2\\u35797\xca\xd4!}")->toRawText(),
              QString::fromUtf8("测试!"));
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg936\\uc2 \\u27979\\'b2\\'e2\\'ca\\'d4!}")->toRawText(),
              QString::fromUtf8("测试!"));
    EXPECT_EQ(loadRtf("{\\rtf1{\\fonttbl{\\f1\\fcharset128 MS Gothic;}}\\f1\\uc2\\u24180\\'94\\'4eabc\\u24180\\'94\\'4e\\par x}")
                  ->toRawText(),
              QString::fromUtf8("年abc年\u2029x"));
    // A font in UTF-8, its bytes escaped or raw; a sequence cut short is one unknown character.
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\cpg65001 A;}}\\f0 \\'e4\\'b8\\'ad\xe5\x9c\x8b \\'e4\\'b8 x}")->toRawText(),
              QString::fromUtf8("中國 \uFFFD x"));
    // A lead byte cut off by a group's end or a control word does not eat what follows.
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg932 {\\'82}a\\'82\\par b}")->toRawText(),
              QString::fromUtf8("\uFFFDa\uFFFD\u2029b"));
}

TEST(RtfCodepages, MacAndDosPages)
{
    EXPECT_EQ(loadRtf("{\\rtf1\\mac \\'80\\'8e\\'a5}")->toRawText(), QString::fromUtf8("Äé•"));
    EXPECT_EQ(loadRtf("{\\rtf1\\pc \\'81ber}")->toRawText(), QString::fromUtf8("über"));
    EXPECT_EQ(loadRtf("{\\rtf1\\pca \\'81ber \\'d5}")->toRawText(), QString::fromUtf8("über ı"));
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg10000 \\'8a}")->toRawText(), QString::fromUtf8("ä"));
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi\\ansicpg10001 \\'82\\'b1}")->toRawText(), QString::fromUtf8("こ"));
    const auto doc = loadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset77 Geneva;}{\\f1\\fcharset255 Terminal;}}"
                             "\\f0\\'8e\\f1\\'82\\'9c}");
    EXPECT_EQ(doc->toRawText(), QString::fromUtf8("éé£"));
    // A set number beyond the Windows sets names no page: the document's page holds.
    EXPECT_EQ(loadRtf("{\\rtf1\\mac{\\fonttbl{\\f0\\fcharset256 Times;}}\\f0 \\'80\\'8e}")->toRawText(), QString::fromUtf8("Äé"));
    // A font may name its code page outright.
    EXPECT_EQ(loadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg1250 A;}{\\f1\\cpg936 B;}}\\f0\\'9e\\f1\\'b2\\'e2}")
                  ->toRawText(),
              QString::fromUtf8("ž测"));
}

TEST(Codepage, PagesOfTheCLibrary)
{
    for (const int cp : {437, 850, 852, 10000, 932, 936, 949, 950})
        EXPECT_TRUE(isKnownCodepage(cp)) << cp;
    EXPECT_FALSE(isKnownCodepage(4242));
    EXPECT_EQ(codepageForCharset(128), 932);
    EXPECT_EQ(codepageForCharset(77), 10000);
    EXPECT_EQ(codepageForCharset(254), 437);
    EXPECT_EQ(codepageForCharset(255), 850);
    EXPECT_EQ(decodeCodepage("\x8a\xbb", codepageForCharset(88)), QString::fromUtf8("äĽ"));
    EXPECT_EQ(decodeCodepage("\xb2\xe2\xca\xd4", 936), QString::fromUtf8("测试"));
    EXPECT_EQ(decodeCodepage("a\x82", 932), QString::fromUtf8("a\uFFFD"));
    EXPECT_EQ(decodeCodepage("\x82 ", 932), QString::fromUtf8("\uFFFD "));
    // Single-byte pages of the C library encode as well as they decode.
    bool lossless = false;
    EXPECT_EQ(encodeCodepage(QString::fromUtf8("Äé•"), 10000, &lossless), QByteArray("\x80\x8e\xa5"));
    EXPECT_TRUE(lossless);
    EXPECT_EQ(encodeCodepageChar(u'測', 950), -1);
    // Bytes a double-byte page leaves undefined are no Latin-1 letters, so a Japanese font's
    // ý þ ÿ are written as \uN.
    EXPECT_EQ(decodeCodepage("\xfd", 932), QString(QChar::ReplacementCharacter));
    const QByteArray rtf = writeRtf(*typedDocument(QString::fromUtf8("ýþÿ"), "MS Gothic", 128));
    EXPECT_TRUE(rtf.contains("\\u253?\\u254?\\u255?")) << rtf.toStdString();
}
