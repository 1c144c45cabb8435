// The RTF writer: the document as the Windows rich edit control wrote it. The body is written
// first, collecting fonts and colours; the header with their tables is put before it at the end.
#include "Rtf.h"

#include "Objects.h"
#include "Picture.h"
#include "RtfNumbering.h"
#include "RtfTables.h"
#include "richtext/DocFormats.h"
#include "text/Codepage.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <utility>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace zorim {
namespace {

using rtf::numberLabel;
using rtf::numberingWord;

constexpr char kHex[] = "0123456789abcdef";
constexpr uint8_t kSymbolCharset = 2;

// What the reader assumes before any control word: the state the body's words change.
struct Written {
    int font = -1;
    int halfPoints = 24;
    int color = 0;
    int back = 0;
    uint32_t effects = 0; // bold, italic, underline, strikeout, sub, super
};

constexpr uint32_t kWrittenEffects = cfe::Bold | cfe::Italic | cfe::Underline | cfe::Strikeout | cfe::Subscript | cfe::Superscript;

struct FontKey {
    QString face;
    uint8_t charset = 0;
    uint8_t pitchAndFamily = 0;
    bool operator<(const FontKey& o) const
    {
        return std::tie(face, charset, pitchAndFamily) < std::tie(o.face, o.charset, o.pitchAndFamily);
    }
};

// The character set a font is written with. Every \'hh byte of a run is in the code page of
// its font's written set, so the set must name a page we encode: a font whose set names none
// (DEFAULT_CHARSET above all, what typed text carries) is written as Eastern European, the
// document's own page.
uint8_t writtenCharset(uint8_t charset)
{
    if (charset == kSymbolCharset)
        return charset;
    const int codepage = codepageForCharset(charset);
    return codepage && isKnownCodepage(codepage) ? charset : kEastEuropeCharset;
}

int codepageOfWritten(uint8_t charset) { return codepageForCharset(writtenCharset(charset)); }

class Writer {
public:
    Writer(const QTextDocument& doc, const RtfWriteOptions& options)
        : m_doc(&doc), m_options(options), m_defaultFont(doc.defaultFont()) {}

    // A writer of text alone (a font's name), with no document behind it.
    explicit Writer(const RtfWriteOptions& options) : m_doc(nullptr), m_options(options) {}

    QByteArray write(int from, int to)
    {
        body(*m_doc, from, to);
        return finish();
    }
    // The paragraphs of [from, to) of the document; the tables and the state of the paragraphs
    // go on from the document written before.
    void body(const QTextDocument& doc, int from, int to);
    // The header with the tables the body has filled, and the body; once.
    QByteArray finish();

private:
    QByteArray header();
    int fontIndex(const CharFormat& cf);
    int symbolFont();
    int colorIndex(ColorRef ref);
    void paragraph(const QTextBlock& block, bool startsHere);
    QTextBlock table(const rtf::TablePart& part); // gives the part's last block
    void run(const CharFormat& cf, const QString& text);
    void charState(const CharFormat& cf);
    void text(const QString& text, int codepage, bool symbol);
    void picture(const QTextCharFormat& format);
    bool openScope(const CharFormat& cf);
    void closeScope(bool scoped);
    void openLink(const QString& target);
    void closeLink();
    void word(const char* name) { m_body += name; m_needSpace = true; }
    void word(const char* name, int value) { word(name); m_body += QByteArray::number(value); }

    const QTextDocument* m_doc; // the document the body is being written from
    PageSetup m_page;           // the page the document states, as it was read
    RtfWriteOptions m_options;
    QFont m_defaultFont;
    QByteArray m_body;
    bool m_needSpace = false; // a control word was written last: text needs a delimiter

    std::map<FontKey, int> m_fontIndex;
    std::vector<FontKey> m_fonts;
    int m_symbolFont = -1;
    std::map<QRgb, int> m_colorIndex;
    std::vector<QColor> m_colors;

    Written m_written;
    std::optional<ParaFormat> m_para;
    int m_number = 0; // the number of the last numbered paragraph in a run of them
    int m_paragraphs = 0; // paragraphs written so far
    bool m_inCell = false; // the paragraphs being written are a table cell's
    bool m_inLink = false;
    QString m_linkTarget;
    Written m_beforeLink;
    Written m_beforeScope;
};

int Writer::fontIndex(const CharFormat& cf)
{
    FontKey key{cf.faceName.isEmpty() ? m_defaultFont.family() : cf.faceName, writtenCharset(cf.charset), cf.pitchAndFamily};
    auto it = m_fontIndex.find(key);
    if (it != m_fontIndex.end())
        return it->second;
    const int index = int(m_fonts.size());
    m_fonts.push_back(key);
    m_fontIndex.emplace(key, index);
    return index;
}

int Writer::symbolFont()
{
    if (m_symbolFont < 0) {
        CharFormat cf;
        cf.faceName = QStringLiteral("Symbol");
        cf.charset = kSymbolCharset;
        m_symbolFont = fontIndex(cf);
    }
    return m_symbolFont;
}

int Writer::colorIndex(ColorRef ref)
{
    const QColor color = colorFromRef(ref);
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    auto it = m_colorIndex.find(rgb);
    if (it != m_colorIndex.end())
        return it->second;
    m_colors.push_back(color);
    const int index = int(m_colors.size()); // entry 0 is the automatic colour
    m_colorIndex.emplace(rgb, index);
    return index;
}

void Writer::charState(const CharFormat& cf)
{
    Written want;
    want.font = fontIndex(cf);
    want.halfPoints = std::max(1, int((int64_t(cf.height) + 5) / 10));
    want.color = (cf.effects & cfe::AutoColor) ? 0 : colorIndex(cf.textColor);
    want.back = (cf.effects & cfe::AutoBackColor) ? 0 : colorIndex(cf.backColor);
    want.effects = cf.effects & kWrittenEffects;

    Written& have = m_written;
    const uint32_t changed = want.effects ^ have.effects;
    auto flag = [&](uint32_t bit, const char* onWord, const char* offWord) {
        if (changed & bit)
            word((want.effects & bit) ? onWord : offWord);
    };
    flag(cfe::Bold, "\\b", "\\b0");
    flag(cfe::Italic, "\\i", "\\i0");
    flag(cfe::Underline, "\\ul", "\\ulnone");
    flag(cfe::Strikeout, "\\strike", "\\strike0");
    if (changed & (cfe::Subscript | cfe::Superscript)) {
        if (want.effects & cfe::Superscript)
            word("\\super");
        else if (want.effects & cfe::Subscript)
            word("\\sub");
        else
            word("\\nosupersub"); // not reached: scoped runs end with their group
    }
    if (want.font != have.font)
        word("\\f", want.font);
    if (want.halfPoints != have.halfPoints)
        word("\\fs", want.halfPoints);
    if (want.color != have.color)
        word("\\cf", want.color);
    if (want.back != have.back)
        word("\\highlight", want.back);
    have = want;
}

void Writer::text(const QString& text, int codepage, bool symbol)
{
    for (const QChar qc : text) {
        const char16_t ch = qc.unicode();
        // Plain ASCII is written as it is; everything else needs no delimiter of its own.
        if (ch >= 0x20 && ch < 0x80 && ch != u'\\' && ch != u'{' && ch != u'}') {
            if (m_needSpace) {
                m_body += ' ';
                m_needSpace = false;
            }
            m_body += char(ch);
            continue;
        }
        switch (ch) {
        case u'\\': m_body += "\\\\"; m_needSpace = false; continue;
        case u'{': m_body += "\\{"; m_needSpace = false; continue;
        case u'}': m_body += "\\}"; m_needSpace = false; continue;
        case u'\t': word("\\tab"); continue;
        case 0x00A0: m_body += "\\~"; m_needSpace = false; continue;
        case 0x00AD: m_body += "\\-"; m_needSpace = false; continue;
        case 0x2011: m_body += "\\_"; m_needSpace = false; continue;
        case QChar::LineSeparator: word("\\line"); continue;
        default: break;
        }
        int byte = -1;
        if (symbol && ch >= 0xF080 && ch <= 0xF0FF)
            byte = ch - 0xF000;
        else if (!symbol && ch >= 0x80 && codepage > 0)
            byte = encodeCodepageChar(ch, codepage);
        if (byte >= 0x80) {
            m_body += "\\'";
            m_body += kHex[byte >> 4];
            m_body += kHex[byte & 0xF];
            m_needSpace = false;
        } else {
            // RTF numbers are signed 16-bit: characters above 32767 are written negative.
            m_body += "\\u";
            m_body += QByteArray::number(ch > 32767 ? int(ch) - 65536 : int(ch));
            m_body += '?';
            m_needSpace = false;
        }
    }
}

void Writer::run(const CharFormat& cf, const QString& str)
{
    if (str.isEmpty())
        return;
    const bool link = (cf.effects & cfe::Link) && !cf.linkTarget.isEmpty();
    if (!link && m_inLink)
        closeLink();
    else if (link && (!m_inLink || m_linkTarget != cf.linkTarget)) {
        closeLink();
        openLink(cf.linkTarget);
    }
    const bool scoped = openScope(cf);
    charState(cf);
    const bool symbol = cf.charset == kSymbolCharset;
    text(str, symbol ? 0 : codepageOfWritten(cf.charset), symbol);
    closeScope(scoped);
}

// Sub- and superscript and background colours are written inside a group of their own, so
// that no word is needed to turn them off: readers disagree on \nosupersub and \highlight0.
bool Writer::openScope(const CharFormat& cf)
{
    if (!(cf.effects & (cfe::Subscript | cfe::Superscript)) && (cf.effects & cfe::AutoBackColor))
        return false;
    m_body += '{';
    m_needSpace = false;
    m_beforeScope = m_written;
    return true;
}

void Writer::closeScope(bool scoped)
{
    if (!scoped)
        return;
    m_body += '}';
    m_needSpace = false;
    m_written = m_beforeScope;
}

void Writer::openLink(const QString& target)
{
    // A field's instruction quotes the address; quotes and backslashes in it are escaped
    // for the instruction first, then for RTF.
    QString quoted = target;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    m_body += "{\\field{\\*\\fldinst{HYPERLINK \"";
    m_needSpace = false;
    text(quoted, 0, false); // \uN only: the instruction's font is not ours to know
    m_body += "\"}}{\\fldrslt{";
    m_needSpace = false;
    m_inLink = true;
    m_linkTarget = target;
    m_beforeLink = m_written;
}

void Writer::closeLink()
{
    if (!m_inLink)
        return;
    m_body += "}}}";
    m_needSpace = false;
    m_inLink = false;
    m_written = m_beforeLink; // the field's groups took their formatting with them
}

void Writer::picture(const QTextCharFormat& format)
{
    if (m_options.noObjects)
        return;
    std::optional<Picture> pic = pictureFromFormat(format);
    if (!pic) {
        // A picture that came in some other way: write what is shown, as PNG.
        const QTextImageFormat image = format.toImageFormat();
        const QVariant res = m_doc->resource(QTextDocument::ImageResource, QUrl(image.name()));
        QImage img = res.value<QImage>();
        if (img.isNull())
            return;
        pic = pictureFromImage(img);
        if (image.width() > 0 && image.height() > 0) {
            pic->goalWidth = int32_t(image.width() * kTwipsPerPixel);
            pic->goalHeight = int32_t(image.height() * kTwipsPerPixel);
        }
    }
    if (pic->data.isEmpty())
        return;
    const qsizetype pictAt = m_body.size();
    m_body += "{\\pict";
    switch (pic->kind) {
    case PictureKind::Png: m_body += "\\pngblip"; break;
    case PictureKind::Jpeg: m_body += "\\jpegblip"; break;
    case PictureKind::Dib: m_body += "\\dibitmap0"; break;
    case PictureKind::Wmf: m_body += "\\wmetafile" + QByteArray::number(pic->mapMode); break;
    case PictureKind::Emf: m_body += "\\emfblip"; break;
    }
    m_body += "\\picw" + QByteArray::number(pic->width) + "\\pich" + QByteArray::number(pic->height);
    if (pic->goalWidth > 0)
        m_body += "\\picwgoal" + QByteArray::number(pic->goalWidth);
    if (pic->goalHeight > 0)
        m_body += "\\pichgoal" + QByteArray::number(pic->goalHeight);
    if (pic->scaleX != 100)
        m_body += "\\picscalex" + QByteArray::number(pic->scaleX);
    if (pic->scaleY != 100)
        m_body += "\\picscaley" + QByteArray::number(pic->scaleY);
    m_body += "\r\n";
    const auto* p = reinterpret_cast<const unsigned char*>(pic->data.constData());
    const qsizetype n = pic->data.size();
    const qsizetype start = m_body.size();
    m_body.resize(start + n * 2 + (n / 64 + 1) * 2);
    char* out = m_body.data() + start;
    for (qsizetype i = 0; i < n; ++i) {
        *out++ = kHex[p[i] >> 4];
        *out++ = kHex[p[i] & 0xF];
        if (i % 64 == 63) {
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    m_body.resize(out - m_body.constData());
    m_body += '}';
    if (const auto object = objectFromFormat(format)) { // an object, shown by this picture
        const QByteArray pict = m_body.mid(pictAt);
        m_body.truncate(pictAt);
        m_body += objectToRtf(*object, *pic, pict);
    }
    m_needSpace = false;
}

void Writer::paragraph(const QTextBlock& block, bool startsHere)
{
    const ParaFormat pf = readParaFormat(block);
    const bool numbered = pf.numbering != pfn::None;
    if (numbered && m_para && m_para->numbering == pf.numbering)
        ++m_number;
    else
        m_number = 1;
    if (!m_para || !(*m_para == pf)) {
        m_body += m_inCell ? "\\pard\\intbl" : "\\pard";
        m_needSpace = true;
        if (numbered) {
            if (pf.numbering == pfn::Bullet) {
                const QByteArray sym = QByteArray::number(symbolFont());
                if (startsHere)
                    m_body += "{\\pntext\\f" + sym + "\\'B7\\tab}";
                m_body += "{\\*\\pn\\pnlvlblt\\pnf" + sym + "\\pnindent0{\\pntxtb\\'B7}}";
            } else {
                if (startsHere)
                    m_body += "{\\pntext " + numberLabel(pf.numbering, m_number) + ".\\tab}";
                m_body += QByteArray("{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1") + numberingWord(pf.numbering)
                          + "{\\pntxta.}}";
            }
            m_needSpace = false;
        }
        const int fi = -pf.offset;
        const int li = pf.startIndent + pf.offset;
        if (fi)
            word("\\fi", fi);
        if (li)
            word("\\li", li);
        if (pf.spaceBefore)
            word("\\sb", pf.spaceBefore);
        if (pf.spaceAfter)
            word("\\sa", pf.spaceAfter);
        if (pf.lineSpacing) {
            word("\\sl", pf.lineSpacing);
            word("\\slmult", pf.lineMultiple ? 1 : 0);
        }
        switch (pf.alignment) {
        case pfa::Right: word("\\qr"); break;
        case pfa::Center: word("\\qc"); break;
        case pfa::Justify: word("\\qj"); break;
        default: break;
        }
        m_para = pf;
    } else if (numbered && startsHere) {
        if (pf.numbering == pfn::Bullet)
            m_body += "{\\pntext\\f" + QByteArray::number(symbolFont()) + "\\'B7\\tab}";
        else
            m_body += "{\\pntext " + numberLabel(pf.numbering, m_number) + ".\\tab}";
        m_needSpace = false;
    }
    // A page break as \page at the paragraph's start, which every reader knows (AbiWord
    // ignores \pagebb); before the first paragraph it would make an empty page.
    if (pf.pageBreakBefore && startsHere && m_paragraphs > 0)
        word("\\page");
    ++m_paragraphs;
}

void Writer::body(const QTextDocument& doc, int from, int to)
{
    // The page is the first piece's: the header is written after the pieces are gone.
    if (!m_doc || m_body.isEmpty())
        m_page = readPageSetup(doc);
    m_doc = &doc;
    const int docEnd = std::max(0, m_doc->characterCount() - 1);
    const int end = (to < 0 || to > docEnd) ? docEnd : to;
    from = std::clamp(from, 0, end);
    // Room for the first piece; later pieces let the body grow as it goes (a reservation for each
    // would copy the body each time).
    if (m_body.isEmpty())
        m_body.reserve(qsizetype(end - from) * 2 + 256);

    const bool tables = !m_inCell && !m_doc->rootFrame()->childFrames().isEmpty();
    for (QTextBlock block = m_doc->findBlock(from); block.isValid() && block.position() <= end; block = block.next()) {
        if (const rtf::TablePart part = tables ? rtf::tablePartAt(block, from, end) : rtf::TablePart{}; part.table) {
            block = table(part);
            continue;
        } else if (tables && block.position() >= from && rtf::holdsTablePlace(block)) {
            continue;
        }
        const int blockStart = block.position();
        const int sep = blockStart + block.length() - 1; // position of the paragraph break
        paragraph(block, blockStart >= from);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int fs = frag.position(), fe = fs + frag.length();
            const int a = std::max(fs, from), b = std::min(fe, end);
            if (a >= b)
                continue;
            const QTextCharFormat format = frag.charFormat();
            const CharFormat cf = readCharFormat(format, m_defaultFont);
            if (const QString hidden = hiddenTextOf(format); !hidden.isEmpty()) {
                // Hidden text in a group of its own; a link does not reach into it. Each object
                // character is its own group: two equal hidden runs side by side share one
                // fragment, and one group would read back as one run.
                closeLink();
                CharFormat plain = cf;
                plain.effects &= ~cfe::Link;
                for (int i = a; i < b; ++i) {
                    const Written before = m_written;
                    m_body += "{\\v";
                    m_needSpace = true;
                    run(plain, hidden);
                    m_body += '}';
                    m_needSpace = false;
                    m_written = before;
                }
                continue;
            }
            if (format.isImageFormat()) {
                if (m_options.noObjects)
                    continue;
                // Each object character of an image fragment is one picture.
                const bool link = (cf.effects & cfe::Link) && !cf.linkTarget.isEmpty();
                if (!link)
                    closeLink();
                else if (!m_inLink || m_linkTarget != cf.linkTarget) {
                    closeLink();
                    openLink(cf.linkTarget);
                }
                const bool scoped = openScope(cf);
                charState(cf);
                for (int i = a; i < b; ++i)
                    picture(format);
                closeScope(scoped);
                continue;
            }
            run(cf, frag.text().mid(a - fs, b - a));
        }
        closeLink();
        const bool finalBreak = sep == docEnd && end == docEnd && (from < end || from == 0);
        if (sep < end || finalBreak) {
            m_body += "\\par\r\n";
            m_needSpace = false;
        }
    }
}

QTextBlock Writer::table(const rtf::TablePart& part)
{
    closeLink();
    const auto color = [this](const QColor& c) { return colorIndex(refFromColor(c)); };
    const auto cell = [this](int first, int last) {
        m_para.reset(); // each cell starts with \pard\intbl
        m_inCell = true;
        body(*m_doc, first, last);
        m_inCell = false;
        word("\\cell");
    };
    const QTextBlock last = rtf::writeTable(part, m_body, color, cell);
    m_needSpace = false;
    m_para.reset();
    return last;
}

QByteArray Writer::header()
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1051{\\fonttbl";
    if (m_fonts.empty()) {
        CharFormat cf;
        cf.charset = kEastEuropeCharset;
        fontIndex(cf);
    }
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        const FontKey& f = m_fonts[i];
        static const char* families[] = {"\\fnil", "\\froman", "\\fswiss", "\\fmodern", "\\fscript", "\\fdecor"};
        const int family = (f.pitchAndFamily >> 4) & 0xF;
        out += "{\\f" + QByteArray::number(int(i)) + (family <= 5 ? families[family] : "\\fnil");
        if (f.pitchAndFamily & 0x3)
            out += "\\fprq" + QByteArray::number(f.pitchAndFamily & 0x3);
        out += "\\fcharset" + QByteArray::number(f.charset) + ' ';
        Writer nameWriter(m_options);
        QString face = f.face;
        face.remove(u';'); // the name ends at the first semicolon
        // A font's name is in its own code page, as its text is.
        nameWriter.text(face, f.charset == kSymbolCharset ? kCp1250 : codepageForCharset(f.charset), false);
        out += nameWriter.m_body;
        out += ";}";
    }
    out += "}\r\n";
    if (!m_colors.empty()) {
        out += "{\\colortbl ;";
        for (const QColor& c : m_colors)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                   + QByteArray::number(c.blue()) + ';';
        out += "}\r\n";
    }
    const PageSetup& page = m_page;
    for (const auto& [word, value] : {std::pair<const char*, int32_t>{"\\paperw", page.paperWidth},
                                      {"\\paperh", page.paperHeight}, {"\\margl", page.marginLeft},
                                      {"\\margr", page.marginRight}, {"\\margt", page.marginTop},
                                      {"\\margb", page.marginBottom}}) {
        if (value >= 0)
            out += word + QByteArray::number(value);
    }
    if (page.landscape)
        out += "\\landscape";
    out += "\\viewkind4\\uc1";
    return out;
}

QByteArray Writer::finish()
{
    // The header goes in front of the body in the body's own buffer: the tables are known
    // only now, and a second buffer for the whole output would double the memory it takes.
    const QByteArray head = header();
    static constexpr char tail[] = "}\r\n";
    const qsizetype bodySize = m_body.size();
    m_body.resize(head.size() + bodySize + qsizetype(sizeof tail - 1));
    char* out = m_body.data();
    std::memmove(out + head.size(), out, size_t(bodySize));
    std::memcpy(out, head.constData(), size_t(head.size()));
    std::memcpy(out + head.size() + bodySize, tail, sizeof tail - 1);
    return std::exchange(m_body, QByteArray());
}

} // namespace

QByteArray writeRtf(const QTextDocument& doc, int from, int to, const RtfWriteOptions& options)
{
    Writer writer(doc, options);
    return writer.write(from, to);
}

struct RtfPiecesWriter::State {
    Writer writer;
};

RtfPiecesWriter::RtfPiecesWriter(const RtfWriteOptions& options) : options_(options) {}
RtfPiecesWriter::~RtfPiecesWriter() = default;

void RtfPiecesWriter::add(const QTextDocument& piece)
{
    if (!state_)
        state_ = std::make_unique<State>(State{Writer(piece, options_)});
    state_->writer.body(piece, 0, -1);
}

QByteArray RtfPiecesWriter::finish()
{
    if (!state_) {
        const QTextDocument empty;
        add(empty);
    }
    return state_->writer.finish();
}

} // namespace zorim
