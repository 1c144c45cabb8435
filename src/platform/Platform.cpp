#include "platform/Platform.h"

#include <QUrl>

namespace zorim {

QString openableLink(const QString& address)
{
    QString text = address.trimmed();
    if (text.isEmpty() || text.size() > kMaxLinkLength)
        return {};
    for (const QChar ch : text) {
        if (ch.category() == QChar::Other_Control || ch.isSpace())
            return {};
    }
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        text.prepend(QLatin1String("http://"));
    else if (text.startsWith(QLatin1String("ftp."), Qt::CaseInsensitive))
        text.prepend(QLatin1String("ftp://"));

    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp")) {
        if (url.host().isEmpty())
            return {};
    } else if (scheme == QLatin1String("mailto")) {
        if (url.path().isEmpty() || !url.path().contains(QLatin1Char('@')))
            return {};
    } else {
        return {};
    }
    return text;
}

QStringList qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return result;
}

} // namespace zorim
