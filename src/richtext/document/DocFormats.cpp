#include "richtext/document/DocFormats.h"
#include "richtext/document/KeptGroups.h"
#include "richtext/document/ListLevels.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace zorim {
namespace {

constexpr int kMinHeightTwips = 1 * kTwipsPerPoint;
constexpr int kMaxHeightTwips = 1638 * kTwipsPerPoint;
constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;
constexpr int kLabelRoomTwips = 360;

QTextListFormat::Style listStyleFor(uint16_t code)
{
    switch (code) {
    case pfn::Arabic: return QTextListFormat::ListDecimal;
    case pfn::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case pfn::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case pfn::LowerRoman: return QTextListFormat::ListLowerRoman;
    case pfn::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
    }
}

// The numbering a paragraph shows: its list's, at its level.
uint16_t numberingOf(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    return list ? listLevelOf(list->format(), listLevelOf(block)).numbering : pfn::None;
}

int roundToInt(double v) { return static_cast<int>(std::lround(v)); }

// The layout margins follow from the twips: the first line stands at the start indent, the
// following lines at start + offset. A bulleted paragraph draws its bullet at the start
// indent and puts all its text at start + offset.
void placeMargins(QTextBlockFormat& bf, bool numbered)
{
    const int start = bf.intProperty(docprop::StartIndentTwips);
    const int offset = bf.intProperty(docprop::OffsetTwips);
    const int following = std::max(0, start + offset);
    bf.setLeftMargin(following / kTwipsPerPixel);
    // A label with no room before the text (no hanging indent) stands at the start indent and
    // the first line's text after it, at the next quarter inch, as a label's tab puts it.
    if (numbered)
        bf.setTextIndent(following <= std::max(0, start) ? kLabelRoomTwips / kTwipsPerPixel : 0);
    else
        bf.setTextIndent((std::max(0, start) - following) / kTwipsPerPixel);
}

void setNumbering(QTextCursor& cursor, const QTextBlock& block, uint16_t code)
{
    QTextList* current = block.textList();
    if (numberingOf(block) == code && (code != pfn::None))
        return;
    if (current)
        current->remove(block);
    // A paragraph leaving its list leaves its level; joining the list before it, it takes
    // the level of the paragraph it follows.
    const QTextBlock prev = block.previous();
    const bool join = code != pfn::None && prev.isValid() && prev.textList() && numberingOf(prev) == code;
    const int level = join ? listLevelOf(prev) : 0;
    if (block.blockFormat().hasProperty(docprop::ListLevel) || level > 0) {
        QTextBlockFormat bf = block.blockFormat();
        if (level > 0)
            bf.setProperty(docprop::ListLevel, level);
        else
            bf.clearProperty(docprop::ListLevel);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(bf);
    }
    if (code == pfn::None)
        return;
    if (join) {
        prev.textList()->add(block);
        return;
    }
    QTextListFormat lf;
    lf.setStyle(listStyleFor(code));
    lf.setIndent(0);
    lf.setProperty(docprop::NumberingCode, int(code));
    lf.setProperty(docprop::ListKey, newListKey());
    cursor.setPosition(block.position());
    cursor.createList(lf);
}

} // namespace

int32_t clampHeightTwips(int64_t twips)
{
    return static_cast<int32_t>(std::clamp<int64_t>(twips, kMinHeightTwips, kMaxHeightTwips));
}

QColor colorFromRef(ColorRef ref)
{
    if (ref & 0x80000000u) {
        const QPalette pal = QGuiApplication::palette();
        switch (ref & 0xFF) {
        case 4: return pal.color(QPalette::Window);      // menu
        case 5: return pal.color(QPalette::Base);        // window
        case 8: return pal.color(QPalette::Text);        // window text
        case 15: return pal.color(QPalette::Button);     // button face
        default: return pal.color(QPalette::WindowText);
        }
    }
    if (ref == kClDefault)
        return QGuiApplication::palette().color(QPalette::Text);
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

ColorRef refFromColor(const QColor& color)
{
    const QColor c = color.toRgb();
    return ColorRef(c.red()) | (ColorRef(c.green()) << 8) | (ColorRef(c.blue()) << 16);
}

ColorRef resolveSystemColor(ColorRef color)
{
    return (color & 0x80000000u) ? refFromColor(colorFromRef(color)) : color;
}

QColor inkOn(const QColor& background)
{
    const QColor c = background.toRgb();
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
    // (L + 0.05) / 0.05 == 1.05 / (L + 0.05) at L = sqrt(1.05 * 0.05) - 0.05, about 0.179.
    return luminance > 0.179 ? QColor(Qt::black) : QColor(Qt::white);
}

CharFormat readCharFormat(const QTextCharFormat& f, const QFont& defaultFont)
{
    CharFormat r;
    r.mask = cfm::All;
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = f.fontFamilies().toStringList();
        r.faceName = families.isEmpty() ? defaultFont.family() : families.first();
    } else if (f.hasProperty(QTextFormat::FontFamily)) {
        r.faceName = f.stringProperty(QTextFormat::FontFamily);
    } else {
        r.faceName = defaultFont.family();
    }
    r.faceName.truncate(kMaxFaceName);

    if (f.hasProperty(docprop::HeightTwips))
        r.height = f.intProperty(docprop::HeightTwips);
    else if (f.hasProperty(QTextFormat::FontPointSize))
        r.height = roundToInt(f.fontPointSize() * kTwipsPerPoint);
    else
        r.height = roundToInt(std::max(0.0, defaultFont.pointSizeF()) * kTwipsPerPoint);

    r.weight = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : int(defaultFont.weight());
    if (r.weight >= kBoldWeight)
        r.effects |= cfe::Bold;
    if (f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : defaultFont.italic())
        r.effects |= cfe::Italic;
    const bool underline = f.hasProperty(QTextFormat::TextUnderlineStyle)
        ? f.underlineStyle() != QTextCharFormat::NoUnderline
        : (f.hasProperty(QTextFormat::FontUnderline) ? f.fontUnderline() : defaultFont.underline());
    if (underline)
        r.effects |= cfe::Underline;
    if (f.hasProperty(QTextFormat::FontStrikeOut) ? f.fontStrikeOut() : defaultFont.strikeOut())
        r.effects |= cfe::Strikeout;
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        r.effects |= cfe::Subscript;
    else if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        r.effects |= cfe::Superscript;

    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        r.textColor = refFromColor(f.foreground().color());
    else
        r.effects |= cfe::AutoColor;
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        r.backColor = refFromColor(f.background().color());
    else
        r.effects |= cfe::AutoBackColor;

    r.charset = static_cast<uint8_t>(f.hasProperty(docprop::Charset) ? f.intProperty(docprop::Charset) : kDefaultCharset);
    r.pitchAndFamily = static_cast<uint8_t>(f.intProperty(docprop::PitchAndFamily));
    if (f.isAnchor()) {
        r.effects |= cfe::Link;
        r.linkTarget = f.anchorHref();
    }
    const int language = f.intProperty(docprop::Language);
    r.language = language > 0 && language <= 0xFFFF ? uint16_t(language) : kSlovakLanguage;
    r.noProof = f.boolProperty(docprop::NoProof);
    r.charStyle = std::max(0, f.intProperty(docprop::CharStyle));
    return r;
}

void applyCharFormat(QTextCharFormat& f, const CharFormat& rec)
{
    const uint32_t m = rec.mask;
    if (m & cfm::Face) {
        f.setFontFamilies(QStringList{rec.faceName.left(kMaxFaceName)});
        f.setProperty(docprop::PitchAndFamily, int(rec.pitchAndFamily));
    }
    if (m & cfm::Size) {
        const int twips = clampHeightTwips(rec.height);
        f.setFontPointSize(double(twips) / kTwipsPerPoint);
        f.setProperty(docprop::HeightTwips, twips);
    }
    if (m & cfm::Bold)
        f.setFontWeight((rec.effects & cfe::Bold) ? kBoldWeight : kNormalWeight);
    if ((m & cfm::Weight) && rec.weight > 0)
        f.setFontWeight(std::clamp(rec.weight, 1, 1000));
    if (m & cfm::Italic)
        f.setFontItalic(rec.effects & cfe::Italic);
    if (m & cfm::Underline)
        f.setFontUnderline(rec.effects & cfe::Underline);
    if (m & cfm::Strikeout)
        f.setFontStrikeOut(rec.effects & cfe::Strikeout);
    if (m & cfm::SubSuper) {
        if (rec.effects & cfe::Superscript)
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (rec.effects & cfe::Subscript)
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        else
            f.setVerticalAlignment(QTextCharFormat::AlignNormal);
    }
    if (m & cfm::Color) {
        if (rec.effects & cfe::AutoColor)
            f.clearForeground();
        else
            f.setForeground(colorFromRef(rec.textColor));
    }
    if (m & cfm::BackColor) {
        if (rec.effects & cfe::AutoBackColor)
            f.clearBackground();
        else
            f.setBackground(colorFromRef(rec.backColor));
    }
    if (m & cfm::Charset)
        f.setProperty(docprop::Charset, int(rec.charset));
    if (m & cfm::Language) {
        if (rec.language == 0 || rec.language == kSlovakLanguage)
            f.clearProperty(docprop::Language);
        else
            f.setProperty(docprop::Language, int(rec.language));
        if (rec.noProof)
            f.setProperty(docprop::NoProof, true);
        else
            f.clearProperty(docprop::NoProof);
    }
    if (m & cfm::CharStyle) {
        if (rec.charStyle > 0)
            f.setProperty(docprop::CharStyle, int(rec.charStyle));
        else
            f.clearProperty(docprop::CharStyle);
    }
    if (m & cfm::Link) {
        if (rec.effects & cfe::Link) {
            f.setAnchor(true);
            f.setAnchorHref(rec.linkTarget);
        } else {
            f.setAnchor(false);
            f.clearProperty(QTextFormat::AnchorHref);
            f.clearProperty(QTextFormat::IsAnchor);
        }
    }
}

ParaFormat readParaFormat(const QTextBlock& block)
{
    ParaFormat r;
    r.mask = pfm::All;
    const QTextBlockFormat bf = block.blockFormat();
    switch (bf.alignment() & Qt::AlignHorizontal_Mask) {
    case Qt::AlignRight: r.alignment = pfa::Right; break;
    case Qt::AlignHCenter: r.alignment = pfa::Center; break;
    case Qt::AlignJustify: r.alignment = pfa::Justify; break;
    default: r.alignment = pfa::Left; break;
    }
    r.startIndent = bf.intProperty(docprop::StartIndentTwips);
    r.offset = bf.intProperty(docprop::OffsetTwips);
    r.numbering = numberingOf(block);
    r.spaceBefore = bf.intProperty(docprop::SpaceBeforeTwips);
    r.spaceAfter = bf.intProperty(docprop::SpaceAfterTwips);
    r.lineSpacing = bf.intProperty(docprop::LineSpacingTwips);
    r.lineMultiple = bf.boolProperty(docprop::LineMultiple);
    r.pageBreakBefore = bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
    return r;
}

void applyParaFormat(QTextCursor cursor, const ParaFormat& rec)
{
    QTextDocument* doc = cursor.document();
    if (!doc)
        return;
    const int first = doc->findBlock(cursor.selectionStart()).blockNumber();
    const int last = doc->findBlock(cursor.selectionEnd()).blockNumber();
    QTextCursor edit(doc);
    for (int n = first; n <= last; ++n) {
        const QTextBlock block = doc->findBlockByNumber(n);
        if (!block.isValid())
            break;
        // Numbering first: joining or leaving a list rewrites the paragraph's format.
        if (rec.mask & pfm::Numbering)
            setNumbering(edit, block, rec.numbering);
        QTextBlockFormat bf = doc->findBlockByNumber(n).blockFormat();
        if (rec.mask & pfm::Alignment) {
            switch (rec.alignment) {
            case pfa::Right: bf.setAlignment(Qt::AlignRight); break;
            case pfa::Center: bf.setAlignment(Qt::AlignHCenter); break;
            case pfa::Justify: bf.setAlignment(Qt::AlignJustify); break;
            default: bf.setAlignment(Qt::AlignLeft); break;
            }
        }
        if (rec.mask & pfm::StartIndent)
            bf.setProperty(docprop::StartIndentTwips, rec.startIndent);
        if (rec.mask & pfm::Offset)
            bf.setProperty(docprop::OffsetTwips, rec.offset);
        if (rec.mask & pfm::SpaceBefore) {
            bf.setProperty(docprop::SpaceBeforeTwips, rec.spaceBefore);
            bf.setTopMargin(std::max(0, rec.spaceBefore) / kTwipsPerPixel);
        }
        if (rec.mask & pfm::SpaceAfter) {
            bf.setProperty(docprop::SpaceAfterTwips, rec.spaceAfter);
            bf.setBottomMargin(std::max(0, rec.spaceAfter) / kTwipsPerPixel);
        }
        if (rec.mask & pfm::LineSpacing) {
            bf.setProperty(docprop::LineSpacingTwips, rec.lineSpacing);
            bf.setProperty(docprop::LineMultiple, rec.lineMultiple);
        }
        if (rec.mask & pfm::PageBreakBefore)
            bf.setPageBreakPolicy(rec.pageBreakBefore ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
        placeMargins(bf, doc->findBlockByNumber(n).textList() != nullptr);
        edit.setPosition(block.position());
        edit.setBlockFormat(bf);
    }
}

PageSetup readPageSetup(const QTextDocument& doc)
{
    PageSetup page;
    const QList<int> v = doc.rootFrame()->frameFormat().property(docprop::PageSetupTwips).value<QList<int>>();
    if (v.size() == 7) {
        page.paperWidth = v[0], page.paperHeight = v[1], page.landscape = v[2] != 0;
        page.marginLeft = v[3], page.marginRight = v[4], page.marginTop = v[5], page.marginBottom = v[6];
    }
    return page;
}

void applyPageSetup(QTextDocument& doc, const PageSetup& page)
{
    QTextFrameFormat format = doc.rootFrame()->frameFormat();
    if (page == PageSetup{})
        format.clearProperty(docprop::PageSetupTwips);
    else
        format.setProperty(docprop::PageSetupTwips,
                           QVariant::fromValue(QList<int>{page.paperWidth, page.paperHeight, page.landscape ? 1 : 0,
                                                          page.marginLeft, page.marginRight, page.marginTop,
                                                          page.marginBottom}));
    doc.rootFrame()->setFrameFormat(format);
}

KeptGroups readKeptGroups(const QTextDocument& doc)
{
    return doc.rootFrame()->frameFormat().property(docprop::KeptGroups).value<KeptGroups>();
}

void applyKeptGroups(QTextDocument& doc, const KeptGroups& kept)
{
    QTextFrameFormat format = doc.rootFrame()->frameFormat();
    if (kept.empty())
        format.clearProperty(docprop::KeptGroups);
    else
        format.setProperty(docprop::KeptGroups, QVariant::fromValue(kept));
    doc.rootFrame()->setFrameFormat(format);
}

QTextCharFormat hiddenTextFormat(const QTextCharFormat& base, const QString& text)
{
    QTextCharFormat format = base;
    format.setObjectType(kHiddenTextObject);
    format.setProperty(docprop::HiddenText, text);
    return format;
}

QTextCharFormat keptCommentFormat(const QTextCharFormat& base, const KeptGroups& comment)
{
    QTextCharFormat format = base;
    format.setObjectType(kHiddenTextObject);
    format.setProperty(docprop::KeptComment, QVariant::fromValue(comment));
    format.setProperty(docprop::KeptCommentKey, int(qHash(comment.groups.empty() ? QByteArray() : comment.groups[0])));
    return format;
}

KeptGroups keptCommentOf(const QTextFormat& format)
{
    return format.objectType() == kHiddenTextObject ? format.property(docprop::KeptComment).value<KeptGroups>()
                                                    : KeptGroups{};
}

QString hiddenTextOf(const QTextFormat& format)
{
    return format.objectType() == kHiddenTextObject ? format.stringProperty(docprop::HiddenText) : QString();
}

QTextCharFormat bookmarkFormat(const QTextCharFormat& base, const QString& name, bool start)
{
    QTextCharFormat format = base;
    format.setObjectType(kHiddenTextObject);
    format.clearProperty(docprop::FieldInstruction); // a mark is no part of a field's result
    format.clearProperty(docprop::FieldId);
    format.setProperty(start ? docprop::BookmarkStart : docprop::BookmarkEnd, name);
    return format;
}

BookmarkMark bookmarkOf(const QTextFormat& format)
{
    if (format.objectType() != kHiddenTextObject)
        return {};
    if (format.hasProperty(docprop::BookmarkStart))
        return {format.stringProperty(docprop::BookmarkStart), true};
    return {format.stringProperty(docprop::BookmarkEnd), false};
}

int newFieldId()
{
    static std::atomic<int> last{0};
    return ++last;
}

} // namespace zorim
