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

// About 11 MB of RTF as LibreOffice writes generated paragraphs: a style sheet, and every
// paragraph naming its style and restating the style's properties in full, each run in
// LibreOffice's words ({\rtlch \ltrch\loch ...}) with the font per script.
inline const QByteArray& libreOfficeLikeRtf()
{
    static const QByteArray rtf = [] {
        std::mt19937 rng(41);
        auto pick = [&](int n) { return int(rng() % unsigned(n)); };
        const char* words[] = {"Slovensk\\'e1", "republika", "dokument", "\\'9eiados\\'9d", "pr\\'e1ca", "a", "na",
                               "text", "\\u269\\'e8", "odsek", "kapitola", "\\'fadaje", "zmluva", "strana"};
        // What each style restates in every paragraph of it.
        const QByteArray styleWords[] = {
            "\\ql\\widctlpar\\hyphpar0\\ltrpar\\cf0\\kerning1\\dbch\\af8\\langfe2052\\dbch\\af9\\afs24\\alang1081"
            "\\loch\\f3\\hich\\af3\\fs24\\lang1051",
            "\\ql\\widctlpar\\hyphpar0\\sb240\\sa120\\keepn\\ltrpar\\cf0\\kerning1\\dbch\\af10\\langfe2052\\dbch\\af9"
            "\\afs28\\alang1081\\loch\\f5\\hich\\af5\\fs28\\lang1051",
            "\\sl276\\slmult1\\ql\\widctlpar\\hyphpar0\\sb0\\sa140\\ltrpar\\cf0\\kerning1\\dbch\\af8\\langfe2052"
            "\\dbch\\af9\\afs24\\alang1081\\loch\\f3\\hich\\af3\\fs24\\lang1051",
            "\\ql\\widctlpar\\hyphpar0\\sb120\\sa120\\ltrpar\\cf0\\i\\kerning1\\dbch\\af8\\langfe2052\\dbch\\af11"
            "\\afs24\\alang1081\\ai\\loch\\f3\\hich\\af3\\fs24\\lang1051",
        };
        const int styleNumbers[] = {0, 15, 16, 18};
        const char* styleNames[] = {"Normal", "Heading", "Text Body", "Caption"};
        QByteArray out = "{\\rtf1\\ansi\\deff4\\adeflang1025\r\n"
                         "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 "
                         "Symbol;}{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\froman\\fprq2\\fcharset238 Liberation "
                         "Serif{\\*\\falt Times New Roman};}{\\f4\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt "
                         "Times New Roman};}{\\f5\\fswiss\\fprq2\\fcharset238 Liberation Sans{\\*\\falt Arial};}"
                         "{\\f8\\fnil\\fprq2\\fcharset0 Noto Sans CJK SC;}{\\f9\\fnil\\fprq2\\fcharset0 Noto Sans "
                         "Devanagari;}{\\f10\\fnil\\fprq2\\fcharset0 Noto Sans CJK SC;}{\\f11\\fswiss\\fprq0\\fcharset128 "
                         "Noto Sans Devanagari;}}\r\n"
                         "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red128\\green128\\blue128;}\r\n"
                         "{\\stylesheet";
        for (int s = 0; s < 4; ++s) {
            out += "{\\s" + QByteArray::number(styleNumbers[s]) + (s > 0 ? "\\sbasedon0" : "") + "\\snext"
                   + QByteArray::number(s == 1 ? 16 : styleNumbers[s]) + styleWords[s] + ' ' + styleNames[s] + ";}\r\n";
        }
        out += "}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
               "{\\info{\\creatim\\yr2026\\mo1\\dy1\\hr10\\min0}{\\revtim\\yr2026\\mo1\\dy1\\hr10\\min5}"
               "{\\printim\\yr0\\mo0\\dy0\\hr0\\min0}}{\\*\\userprops}\\deftab709\r\n"
               "\\hyphauto1\\viewscale100\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134"
               "\\margb1134\\sectd\\sbknone\\sftnnar\\saftnnrlc\\sectunlocked1\\pgwsxn11906\\pghsxn16838"
               "\\marglsxn1134\\margrsxn1134\\margtsxn1134\\margbsxn1134\\pgndec\\ftnbj\\ftnstart1\\ftnrstcont"
               "\\ftnnar\\aenddoc\\aftnrstcont\\aftnstart1\\aftnnrlc\r\n{\\*\\ftnsep\\chftnsep}";
        while (out.size() < 11'000'000) {
            const int s = pick(10) == 0 ? 1 : pick(8) == 0 ? 3 : pick(2) * 2;
            out += "\\pgndec\\pard\\plain \\s" + QByteArray::number(styleNumbers[s]) + styleWords[s] + styleWords[s].left(40);
            for (int r = 0, runs = 1 + pick(4); r < runs; ++r) {
                out += "{\\rtlch \\ltrch\\loch";
                if (pick(5) == 0)
                    out += "\\b\\ab\\rtlch \\ltrch\\loch";
                if (pick(7) == 0)
                    out += "\\i\\ai";
                out += "\r\n";
                for (int w = 0, n = 3 + pick(15); w < n; ++w)
                    out += QByteArray(words[pick(14)]) + ' ';
                out += "}";
            }
            out += "\r\n\\par ";
        }
        out += "}";
        return out;
    }();
    return rtf;
}
