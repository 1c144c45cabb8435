#include "RtfTestUtil.h"

#include "richtext/DocFormats.h"
#include "richtext/rtf/Rtf.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace zorim::test {

std::unique_ptr<QTextDocument> loadRtf(const QByteArray& rtf, bool* accepted)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    const bool ok = readRtf(rtf, cursor);
    if (accepted)
        *accepted = ok;
    return doc;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

CharFormat formatAt(const QTextDocument& doc, int pos)
{
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(pos + 1);
    return readCharFormat(c.charFormat(), doc.defaultFont());
}

int find(const QTextDocument& doc, const QString& text)
{
    const QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << "missing: " << text.toStdString();
    return c.isNull() ? 0 : c.selectionStart();
}

std::vector<CharRecord> charRecords(const QTextDocument& doc)
{
    std::vector<CharRecord> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const CharFormat cf = readCharFormat(f.charFormat(), doc.defaultFont());
            const auto pic = pictureFromFormat(f.charFormat());
            for (const QChar ch : f.text())
                out.push_back({ch, cf, pic});
        }
        if (b.next().isValid())
            out.push_back({QChar(u'\n'), {}, std::nullopt});
    }
    return out;
}

std::vector<ParaFormat> paraRecords(const QTextDocument& doc)
{
    std::vector<ParaFormat> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out.push_back(readParaFormat(b));
    return out;
}

} // namespace zorim::test
