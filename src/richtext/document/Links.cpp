#include "richtext/document/Links.h"

#include <QRegularExpression>
#include <QTextBlock>

namespace zorim {
namespace {

// Web and mail addresses as the control recognises them while text is typed or inserted.
const QRegularExpression& urlPattern()
{
    static const QRegularExpression re(
        QStringLiteral(R"((?:(?:https?|ftp|file|news|nntp|telnet|gopher|wais|prospero)://|mailto:|www\.)[^\s<>"]+)"
                       R"(|[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\.[A-Za-z0-9-]+)+)"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// Trailing punctuation closes the sentence, not the address.
int trimmedUrlLength(const QString& text, int start, int length)
{
    while (length > 0) {
        const QChar c = text[start + length - 1];
        if (c == u'.' || c == u',' || c == u';' || c == u':' || c == u'!' || c == u'?' || c == u')'
            || c == u'\'' || c == u'"')
            --length;
        else
            break;
    }
    return length;
}

// Text that cannot hold an address: no '@', no "://", no "www." and no "mailto:".
bool mayHoldUrl(const QString& text)
{
    return text.contains(u'@') || text.contains(QLatin1String("://")) || text.contains(QLatin1String("www."), Qt::CaseInsensitive)
        || text.contains(QLatin1String("mailto:"), Qt::CaseInsensitive);
}

} // namespace

void forEachDetectedUrl(const QString& text, const std::function<void(int, int)>& f)
{
    if (!mayHoldUrl(text))
        return;
    auto it = urlPattern().globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const int len = trimmedUrlLength(text, int(m.capturedStart()), int(m.capturedLength()));
        if (len > 0)
            f(int(m.capturedStart()), len);
    }
}

CharRange linkRangeAt(const QTextBlock& block, int pos, bool detect)
{
    if (!block.isValid())
        return {-1, -1};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (pos < frag.position() || pos >= frag.position() + frag.length())
            continue;
        const QTextCharFormat f = frag.charFormat();
        if (!f.isAnchor())
            break;
        int a = frag.position();
        int b = frag.position() + frag.length();
        auto back = it;
        while (back != block.begin()) {
            --back;
            const QTextCharFormat g = back.fragment().charFormat();
            if (!g.isAnchor() || g.anchorHref() != f.anchorHref())
                break;
            a = back.fragment().position();
        }
        for (auto fwd = ++it; !fwd.atEnd(); ++fwd) {
            const QTextCharFormat g = fwd.fragment().charFormat();
            if (!g.isAnchor() || g.anchorHref() != f.anchorHref())
                break;
            b = fwd.fragment().position() + fwd.fragment().length();
        }
        return {a, b};
    }
    if (!detect)
        return {-1, -1};
    const int at = pos - block.position();
    CharRange result{-1, -1};
    forEachDetectedUrl(block.text(), [&](int start, int len) {
        if (at >= start && at < start + len)
            result = {block.position() + start, block.position() + start + len};
    });
    return result;
}

QList<QTextLayout::FormatRange> linkFormats(const QTextBlock& block, bool detect)
{
    QList<QTextLayout::FormatRange> out;
    QTextCharFormat link;
    link.setForeground(QColor(0, 0, 255));
    link.setFontUnderline(true);
    auto add = [&](int start, int length) { out.append({start, length, link}); };
    if (detect)
        forEachDetectedUrl(block.text(), add);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (frag.isValid() && frag.charFormat().isAnchor())
            add(frag.position() - block.position(), frag.length());
    }
    return out;
}

} // namespace zorim
