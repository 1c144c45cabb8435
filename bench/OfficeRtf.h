#pragma once
// About 11 MB of RTF shaped like an office suite's output: every run restates its properties
// in a dozen control words, many of which the reader does not know (revision ids, languages,
// bidirectional fonts); a paragraph holds one to six runs of changing font, size and style.
#include <QByteArray>

#include <random>

inline const QByteArray& officeLikeRtf()
{
    static const QByteArray rtf = [] {
        std::mt19937 rng(27);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        const char* words[] = {"Slovensk\\'e1", "republika", "dokument", "\\'9eiados\\'9d", "pr\\'e1ca", "a", "na",
                               "text", "\\u269\\'e8", "odsek", "kapitola", "\\'fadaje", "zmluva", "strana"};
        QByteArray out = "{\\rtf1\\adeflang1025\\ansi\\ansicpg1250\\uc1\\adeff31507\\deff0\\stshfdbch31505"
                         "\\stshfloch31506\\stshfhich31506\\stshfbi31507\\deflang1051\\deflangfe1051\\themelang1051"
                         "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset238\\fprq2 Times New Roman;}"
                         "{\\f1\\fbidi \\fswiss\\fcharset238\\fprq2 Arial;}}\r\n"
                         "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n";
        while (out.size() < 11'000'000) {
            out += "\\pard\\plain \\ltrpar\\s" + QByteArray::number(pick(4)) + "\\ql \\li0\\ri0\\sa160\\sl259\\slmult1"
                   "\\widctlpar\\wrapdefault\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 ";
            for (int r = 0, runs = 1 + pick(6); r < runs; ++r) {
                out += "{\\rtlch\\fcs1 \\af31507\\afs22 \\ltrch\\fcs0 \\f" + QByteArray::number(pick(2)) + "\\fs"
                       + QByteArray::number(18 + 2 * pick(6));
                if (pick(4) == 0)
                    out += "\\b";
                if (pick(5) == 0)
                    out += "\\i";
                out += "\\lang1051\\langfe1033\\langnp1051\\insrsid" + QByteArray::number(1000000 + pick(9000000))
                       + ' ';
                for (int w = 0, n = 3 + pick(12); w < n; ++w)
                    out += QByteArray(words[pick(14)]) + ' ';
                out += "}";
            }
            out += "\\par\r\n";
        }
        out += '}';
        return out;
    }();
    return rtf;
}
