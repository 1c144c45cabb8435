#include "text/Codepage.h"
#include "text/FileNames.h"

#include <gtest/gtest.h>

using namespace zorim;

TEST(Codepage, SlovakLettersRoundTripThroughWindows1250)
{
    const QString slovak = QString::fromUtf8("Žluťoučký kôň úpěl ďábelské ódy ĽŠČŤŽÝÁÍÉ äô „“ –");
    bool lossless = false;
    const QByteArray bytes = encodeCodepage(slovak, kCp1250, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(bytes.size(), slovak.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x8E); // Ž
    EXPECT_EQ(decodeCodepage(bytes, kCp1250), slovak);
}

TEST(Codepage, UndefinedBytesSurviveAndMissingCharactersAreReported)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(encodeCodepage(decodeCodepage(all, 1250), 1250), all);
    bool lossless = true;
    EXPECT_EQ(encodeCodepage(QString::fromUtf8("a€Ωb"), 1250, &lossless), QByteArray("a\x80?b"));
    EXPECT_FALSE(lossless);
    EXPECT_EQ(codepageForCharset(238), 1250);
    EXPECT_EQ(codepageForCharset(204), 1251);
    EXPECT_EQ(decodeCodepage("\xD6", 1251), QString::fromUtf8("Ц"));
}

TEST(Codepage, TextDocumentsPickTheirEncoding)
{
    const QString slovak = QString::fromUtf8("Dobrý deň, ľudia");
    // Windows-1250 bytes are read as such; UTF-8 with or without a mark as UTF-8.
    EXPECT_EQ(decodeTextDocument(encodeCodepage(slovak)), slovak);
    EXPECT_EQ(decodeTextDocument(slovak.toUtf8()), slovak);
    EXPECT_EQ(decodeTextDocument("\xEF\xBB\xBF" + slovak.toUtf8()), slovak);
    EXPECT_EQ(decodeTextDocument("plain ascii"), "plain ascii");
    // A truncated UTF-8 sequence is no UTF-8.
    EXPECT_EQ(decodeTextDocument("ab\xC5"), QString::fromUtf8("abĹ"));

    EXPECT_EQ(encodeTextDocument(slovak), encodeCodepage(slovak));
    const QString greek = QString::fromUtf8("Ελληνικά a ľ");
    EXPECT_EQ(encodeTextDocument(greek), "\xEF\xBB\xBF" + greek.toUtf8());
}

TEST(FileNames, AnyBytesComeBackAndUtf8ReadsAsItself)
{
    // Every byte value at every place of a short name, and cut or over-long UTF-8.
    for (int b = 1; b < 256; ++b) {
        if (b == '/')
            continue;
        const QByteArray name = QByteArray("a") + char(b) + "\xc5\xbe" + char(b) + "\xc5";
        EXPECT_EQ(zorim::fileNameBytes(zorim::fileNameFromBytes(name)), name) << b;
    }
    EXPECT_EQ(zorim::fileNameBytes(zorim::fileNameFromBytes("\xc0\xaf\xed\xa0\x80")), "\xc0\xaf\xed\xa0\x80");
    const QString slovak = QStringLiteral("Ďakujem ťa 😀.rtf");
    EXPECT_EQ(zorim::fileNameFromBytes(slovak.toUtf8()), slovak);
    EXPECT_EQ(zorim::fileNameBytes(slovak), slovak.toUtf8());
}
