#pragma once
// The one place where the control's attribute records meet the text document's formats.
// Everything that builds or reads a document (the engine, the RTF reader and writer) goes
// through these functions, so that an attribute means the same in all of them.
#include "richtext/document/CharFormat.h"

#include <QColor>
#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextBlock;
class QTextDocument;

namespace zorim {

// Screen layout unit: documents are laid out at 96 pixels per inch, so 15 twips a pixel.
inline constexpr double kTwipsPerPixel = 15.0;
inline constexpr double kTwipsPerInch = 1440.0;

// 0x00BBGGRR to a colour and back (system colours are resolved against the palette).
QColor colorFromRef(ColorRef ref);
ColorRef refFromColor(const QColor& color);
// A system colour (top bit set) as the colour it stands for now; any other value as it is.
ColorRef resolveSystemColor(ColorRef color);
// Black or white, whichever reads on the background: black where its relative luminance is
// above the point where both give the same contrast.
QColor inkOn(const QColor& background);

// Properties the document carries beyond Qt's own.
namespace docprop {
inline constexpr int Charset = QTextFormat::UserProperty + 1;
inline constexpr int PitchAndFamily = QTextFormat::UserProperty + 2;
inline constexpr int HeightTwips = QTextFormat::UserProperty + 3;   // exact height, so 10.5 pt stays 210
inline constexpr int StartIndentTwips = QTextFormat::UserProperty + 10;
inline constexpr int OffsetTwips = QTextFormat::UserProperty + 11;
inline constexpr int NumberingCode = QTextFormat::UserProperty + 12;
inline constexpr int SpaceBeforeTwips = QTextFormat::UserProperty + 13;
inline constexpr int SpaceAfterTwips = QTextFormat::UserProperty + 14;
inline constexpr int LineSpacingTwips = QTextFormat::UserProperty + 15;
inline constexpr int LineMultiple = QTextFormat::UserProperty + 16;
inline constexpr int PageSetupTwips = QTextFormat::UserProperty + 17; // on the root frame
inline constexpr int HiddenText = QTextFormat::UserProperty + 18;     // of a hidden-text object
// A run's language as a Windows language number (RTF's \lang: 1051 Slovak, 1033 English);
// a run without one is Slovak (kSlovakLanguage), and a Slovak run has none, so that runs that
// differ in nothing else share one format.
inline constexpr int Language = QTextFormat::UserProperty + 30;
inline constexpr int NoProof = QTextFormat::UserProperty + 31; // true: spelling leaves the run alone
// The face a run read from a file that named none for it was shown in (the document's
// default): while the run keeps that face it is written with none, so that other programs
// show it in their own default face as they did the file.
inline constexpr int DefaultFace = QTextFormat::UserProperty + 38;
// A run read from a file that gave it no size (12 points): while it has that size it is
// written with none, so that other programs give it the size they gave it before (a
// paragraph style's).
inline constexpr int SizeUnstated = QTextFormat::UserProperty + 39;
// Right-to-left and complex-script text as RTF states it: the run's direction (\rtlch), the
// font of its other scripts (\af: face, and charset | pitch and family << 8) and their size
// (\afs, half-points). A paragraph's direction is Qt's own layout direction.
inline constexpr int RtlRun = QTextFormat::UserProperty + 64;
inline constexpr int AssocFace = QTextFormat::UserProperty + 65;
inline constexpr int AssocFontBits = QTextFormat::UserProperty + 66;
inline constexpr int AssocHalfPoints = QTextFormat::UserProperty + 67;
// A run's character style: its number in the document's kept style sheet (RTF's \csN), kept,
// not applied (the run's own formatting is what shows); a run of no style has none.
inline constexpr int CharStyle = QTextFormat::UserProperty + 32;
// A field other than a link: its result is the run's own text, shown and edited as any text;
// the runs carry the instruction and the field's number, and runs side by side that share
// the number are one field (the writer writes them back as one).
inline constexpr int FieldInstruction = QTextFormat::UserProperty + 80;
inline constexpr int FieldId = QTextFormat::UserProperty + 81;
// A bookmark's start or end: an object character that shows nothing, holding the name.
inline constexpr int BookmarkStart = QTextFormat::UserProperty + 82;
inline constexpr int BookmarkEnd = QTextFormat::UserProperty + 83;
} // namespace docprop

// Reads every attribute of a character format; what the format leaves unset comes from the
// document's default font (automatic colours when no colour is set). The returned mask is cfm::All.
CharFormat readCharFormat(const QTextCharFormat& format, const QFont& defaultFont);

// Writes the masked attributes of rec into format, leaving every other attribute alone.
// Face names are cut at kMaxFaceName characters; heights are clamped to 1..1638 points.
void applyCharFormat(QTextCharFormat& format, const CharFormat& rec);

// Reads a paragraph's attributes (mask pfm::All).
ParaFormat readParaFormat(const QTextBlock& block);

// Writes the masked attributes of rec to every paragraph the cursor's selection touches
// (the cursor's own paragraph when nothing is selected). Numbering puts paragraphs into a
// list of the matching style, joining a neighbouring list of the same style.
void applyParaFormat(QTextCursor cursor, const ParaFormat& rec);

// Hidden text (RTF's \v) is kept as one object character that takes no room and shows
// nothing, its text in its format; the writer writes it back as hidden text.
inline constexpr int kHiddenTextObject = QTextFormat::UserObject + 1;
QTextCharFormat hiddenTextFormat(const QTextCharFormat& base, const QString& text);
// The hidden text an object character's format holds; empty for any other format.
QString hiddenTextOf(const QTextFormat& format);
// A bookmark's start or end as such an object character, and the name it holds.
QTextCharFormat bookmarkFormat(const QTextCharFormat& base, const QString& name, bool start);
struct BookmarkMark {
    QString name; // empty: the format is no bookmark's
    bool start = true;
};
BookmarkMark bookmarkOf(const QTextFormat& format);
// A new field number, unlike any given before in this run of the program, so that fields
// pasted beside each other stay apart.
int newFieldId();

// The page a document states, in twips; a side or margin the document does not state is -1.
// Paper width and height are as the page is printed (wider than high in landscape).
struct PageSetup {
    int32_t paperWidth = -1, paperHeight = -1;
    bool landscape = false;
    int32_t marginLeft = -1, marginRight = -1, marginTop = -1, marginBottom = -1;
    bool operator==(const PageSetup&) const = default;
    bool statesPaper() const { return paperWidth > 0 && paperHeight > 0; }
};

// The page kept with the document (all -1 when it states none), and keeping one.
PageSetup readPageSetup(const QTextDocument& doc);
void applyPageSetup(QTextDocument& doc, const PageSetup& page);

// Clamps a height in twips to what the document can show: 1 to 1638 points.
int32_t clampHeightTwips(int64_t twips);

} // namespace zorim
