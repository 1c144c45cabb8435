#pragma once
// What the XML readers share: properties a style or a run states, laid over those below it
// (document defaults, then the style chain, then the run's own), and colours as XML writes them.
#include "richtext/document/CharFormat.h"

#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace zorim::package {

// Properties indexed as the builder's states are; the ones left out come from below.
template <size_t N>
struct Stated {
    std::array<std::optional<int32_t>, N> v;
    void set(uint8_t i, int32_t value) { v[i] = value; }
    // `over` states on top of this.
    void take(const Stated& over)
    {
        for (size_t i = 0; i < N; ++i)
            if (over.v[i])
                v[i] = over.v[i];
    }
    template <typename State>
    void applyTo(State& s) const
    {
        for (size_t i = 0; i < N; ++i)
            if (v[i])
                s[uint8_t(i)] = *v[i];
    }
};

// "RRGGBB", with or without a leading '#'; nothing for anything else ("auto").
inline std::optional<ColorRef> hexColor(QStringView hex)
{
    if (hex.startsWith(u'#'))
        hex = hex.sliced(1);
    if (hex.size() != 6)
        return std::nullopt;
    bool ok = false;
    const uint32_t rgb = hex.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return ColorRef(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

} // namespace zorim::package
