#include "richtext/layout/LaidOutDocument.h"
#include "richtext/document/DocumentFiles.h"
#include "richtext/document/RichDocument.h"
#include "text/Codepage.h"

#include <gtest/gtest.h>
#include <random>

using namespace zorim;

namespace {

// Text with every kind of break and the characters a text document treats apart: line and
// paragraph separators, an object placeholder, a frame mark, a link, tabs, letters
// Windows-1250 has and one it lacks.
QString generatedText(std::mt19937& rng)
{
    static const QString parts[] = {
        QStringLiteral("slovo "), QStringLiteral("ďatľa "), QStringLiteral("α"), QStringLiteral("\t"),
        QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\r\r\n"),
        QStringLiteral("\n\n"), QString(QChar(0x2028)), QString(QChar(0x2029)), QString(QChar(0xFFFC)),
        QString(QChar(0xFDD0)), QStringLiteral("http://www.zorim.sk "), QStringLiteral("x"),
    };
    QString text;
    for (int i = 0, n = int(rng() % 120); i < n; ++i)
        text += parts[rng() % std::size(parts)];
    return text;
}

} // namespace

TEST(TextFiles, APlainTextConvertsInPiecesToWhatTheWholeDocumentSaves)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const QString text = generatedText(rng);
        QByteArray bytes;
        switch (round % 4) {
        case 0: bytes = text.toUtf8(); break;
        case 1: bytes = "\xEF\xBB\xBF" + text.toUtf8(); break;
        case 2: bytes = encodeCodepage(text, kCp1250); break;
        default: // bytes no encoding reads alike: zero bytes, cut and stray UTF-8 sequences, marks
            static const QByteArray bad[] = {"a", "\r", "\n", QByteArray(1, '\0'), "\xC5", "\xBE", "\x81",
                                             "\xE2\x80\xA8", "\xE2\x80", "\xEF\xBB\xBF"};
            for (int i = 0, n = int(rng() % 40); i < n; ++i)
                bytes += bad[rng() % std::size(bad)];
            if (rng() % 2)
                bytes.prepend("\xEF\xBB\xBF");
        }
        LaidOutDocument whole(nullptr, RichDocument::Layout::OnDemand);
        setUpAsMainDocument(whole);
        ASSERT_TRUE(loadDocumentBytes(whole, bytes, TextFormat::Text, {}));
        LaidOutDocument pieces(nullptr, RichDocument::Layout::OnDemand);
        setUpAsMainDocument(pieces);
        for (const qsizetype slice : {1, 6, 50}) {
            SCOPED_TRACE(QString::fromLatin1(bytes.toHex()).toStdString() + " in slices of " + std::to_string(slice));
            EXPECT_EQ(convertTextFile(pieces, bytes, TextFormat::Rtf, slice), whole.save(TextFormat::Rtf));
            EXPECT_EQ(convertTextFile(pieces, bytes, TextFormat::Text, slice), whole.save(TextFormat::Text));
        }
    }
}
