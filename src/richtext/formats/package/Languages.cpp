#include "Languages.h"

#include <QString>

#include <array>
#include <utility>

namespace zorim::package {
namespace {

// The languages of the region and its neighbours, and the widest others.
constexpr std::array<std::pair<const char16_t*, uint16_t>, 14> kLanguages{{
    {u"sk-SK", 1051}, {u"cs-CZ", 1029}, {u"en-US", 1033}, {u"en-GB", 2057}, {u"de-DE", 1031}, {u"de-AT", 3079},
    {u"hu-HU", 1038}, {u"pl-PL", 1045}, {u"uk-UA", 1058}, {u"ru-RU", 1049}, {u"fr-FR", 1036}, {u"it-IT", 1040},
    {u"es-ES", 3082}, {u"sl-SI", 1060},
}};

} // namespace

uint16_t languageOfTag(QStringView tag)
{
    for (const auto& [name, number] : kLanguages)
        if (tag.compare(QStringView(name), Qt::CaseInsensitive) == 0)
            return number;
    // A bare language takes its main region.
    for (const auto& [name, number] : kLanguages)
        if (tag.size() == 2 && QStringView(name).first(2).compare(tag, Qt::CaseInsensitive) == 0)
            return number;
    return 0;
}

} // namespace zorim::package

namespace zorim::package {

QString tagOfLanguage(uint16_t language)
{
    for (const auto& [name, number] : kLanguages)
        if (number == language)
            return QString::fromUtf16(name);
    return {};
}

} // namespace zorim::package
