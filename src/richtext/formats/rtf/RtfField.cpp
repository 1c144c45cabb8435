#include "RtfField.h"

namespace zorim::rtf {

std::optional<QString> hyperlinkTarget(const QString& inst)
{
    qsizetype i = 0;
    const qsizetype n = inst.size();
    auto skipSpace = [&] { while (i < n && inst[i].isSpace()) ++i; };
    auto readArg = [&]() -> QString {
        skipSpace();
        QString out;
        if (i < n && inst[i] == u'"') {
            ++i;
            while (i < n && inst[i] != u'"') {
                if (inst[i] == u'\\' && i + 1 < n && (inst[i + 1] == u'"' || inst[i + 1] == u'\\'))
                    ++i;
                out += inst[i++];
            }
            ++i;
        } else {
            while (i < n && !inst[i].isSpace())
                out += inst[i++];
        }
        return out;
    };
    skipSpace();
    if (inst.mid(i, 9).compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    i += 9;
    QString url, place;
    bool haveUrl = false;
    while (true) {
        skipSpace();
        if (i >= n)
            break;
        if (inst[i] == u'\\' && i + 1 < n) {
            const QChar sw = inst[i + 1].toLower();
            i += 2;
            if (sw == u'l')
                place = readArg();
            else if (sw == u'o' || sw == u't')
                readArg();
            continue;
        }
        const QString arg = readArg();
        if (!haveUrl) {
            url = arg;
            haveUrl = true;
        }
    }
    if (!place.isEmpty())
        url += u'#' + place;
    if (url.isEmpty())
        return std::nullopt;
    return url;
}

} // namespace zorim::rtf
