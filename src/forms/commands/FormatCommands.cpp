#include "forms/commands/FormatCommands.h"

#include "forms/widgets/ColorStrip.h"
#include "forms/IntegerText.h"
#include "forms/mainwindow/MainWindow.h"
#include "platform/Platform.h"
#include "richtext/document/DocFormats.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QToolButton>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zorim {
namespace {

// The font dialog shows the editor's font as a Qt font with its colour.
FontChoice fontChoice(const FontDesc& font)
{
    QFont f(font.name);
    f.setPointSize(std::max(1, font.size));
    f.setBold(font.style & fs::Bold);
    f.setItalic(font.style & fs::Italic);
    f.setUnderline(font.style & fs::Underline);
    f.setStrikeOut(font.style & fs::StrikeOut);
    if (font.weight > 0)
        f.setWeight(QFont::Weight(std::clamp(font.weight, 1, 1000)));
    // The automatic colour is the dialog's own choice, not the colour it stands for now.
    const bool automatic = font.color == kClWindowText || font.color == kClDefault;
    return {f, automatic ? QColor() : colorFromRef(font.color)};
}

// The dialog's font as the control assigns it. The dialog has no choice of character set,
// so the set it was opened with stays.
FontDesc fontDesc(const FontChoice& choice, uint8_t charset)
{
    const QFont& f = choice.font;
    FontDesc font;
    font.name = f.family();
    font.size = f.pointSize() > 0 ? f.pointSize() : int(f.pointSizeF() + 0.5);
    font.style = (f.bold() ? fs::Bold : 0) | (f.italic() ? fs::Italic : 0) | (f.underline() ? fs::Underline : 0)
                 | (f.strikeOut() ? fs::StrikeOut : 0);
    font.color = choice.color.isValid() ? refFromColor(choice.color) : kClWindowText;
    font.charset = charset;
    font.pitch = QFontInfo(f).fixedPitch() ? 1 : 2;
    font.weight = f.weight();
    return font;
}

// The attributes (cfm bits) in which one font differs from another; a weight of 0 is the
// style's own (700 bold, else 400).
uint32_t changedAttributes(const FontDesc& from, const FontDesc& to)
{
    const auto weight = [](const FontDesc& f) { return f.weight > 0 ? f.weight : (f.style & fs::Bold) ? 700 : 400; };
    uint32_t mask = 0;
    if (to.name != from.name)
        mask |= cfm::Face;
    if (to.size != from.size)
        mask |= cfm::Size;
    const int styles = to.style ^ from.style;
    mask |= ((styles & fs::Bold) ? cfm::Bold : 0) | ((styles & fs::Italic) ? cfm::Italic : 0)
          | ((styles & fs::Underline) ? cfm::Underline : 0) | ((styles & fs::StrikeOut) ? cfm::Strikeout : 0);
    if (weight(to) != weight(from))
        mask |= cfm::Weight | cfm::Bold;
    if (to.color != from.color)
        mask |= cfm::Color;
    return mask;
}

// The stored indent moved by a step, held within int however large the stored value is.
int steppedIndent(int stored, int step)
{
    return int(std::clamp<int64_t>(int64_t(stored) + step, std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max()));
}

constexpr int kIndentStep = 20; // points

} // namespace

// ---- font name and size --------------------------------------------------------------------

void FormatCommands::applyFontName()
{
    const QComboBox* box = c_.form.fontNameBox;
    if (box->currentIndex() >= 0)
        c_.RichEdit1.SelectionAttributes().setName(box->currentText());
}

// Runs on every edit of the text: typing 1 and 4 applies 1 point, then 14. Any integer goes to
// the control as typed; the control keeps sizes within what it can show.
void FormatCommands::applyFontSize()
{
    c_.RichEdit1.SelectionAttributes().setSize(StrToInt(c_.form.fontSizeBox->currentText()));
}

// ---- styles ----------------------------------------------------------------------------------

// A style button adds or removes its style as it is now pressed or released. The whole set is
// written back, so every character of the selection takes the other three styles as read.
void FormatCommands::setStyleFromButton(const QToolButton* button, int style)
{
    TextAttributes& selection = c_.RichEdit1.SelectionAttributes();
    const int set = selection.Style();
    selection.setStyle(button->isChecked() ? (set | style) : (set & ~style));
}

// The style menu items only ever switch their style on.
void FormatCommands::addStyle(int style)
{
    TextAttributes& selection = c_.RichEdit1.SelectionAttributes();
    selection.setStyle(selection.Style() | style);
}

void FormatCommands::bold() { setStyleFromButton(c_.form.boldButton, fs::Bold); }
void FormatCommands::italic() { setStyleFromButton(c_.form.italicButton, fs::Italic); }
void FormatCommands::underline() { setStyleFromButton(c_.form.underlineButton, fs::Underline); }
void FormatCommands::addBold() { addStyle(fs::Bold); }
void FormatCommands::addItalic() { addStyle(fs::Italic); }
void FormatCommands::addUnderline() { addStyle(fs::Underline); }
void FormatCommands::addStrikeOut() { addStyle(fs::StrikeOut); }

// ---- the font dialog -------------------------------------------------------------------------

// Opens on the selection's face, size, styles and colour (its first character's when they are
// mixed). A confirmed dialog assigns only what the user changed in it, so OK on an unchanged
// dialog changes nothing, and a new size leaves a selection of several faces its faces.
void FormatCommands::chooseFont()
{
    TextAttributes& selection = c_.RichEdit1.SelectionAttributes();
    FontDesc base;
    base.name = selection.Name();
    base.size = selection.Size();
    base.style = selection.Style();
    base.color = selection.Color();
    base.charset = selection.Charset();
    base.pitch = selection.Pitch();
    base.weight = selection.Weight();
    const std::optional<FontChoice> chosen = c_.platform.chooseFont(&c_.form, fontChoice(base));
    if (chosen) {
        const FontDesc font = fontDesc(*chosen, base.charset);
        selection.assign(font, changedAttributes(base, font));
    }
}

// ---- colours ---------------------------------------------------------------------------------

// The colour dialog opens on the editor's background colour. The strip takes the dialog's
// colour either way: the chosen one, or after a cancel the colour it opened on.
void FormatCommands::chooseColor(ColorStrip* strip, bool background)
{
    const QColor initial = colorFromRef(c_.RichEdit1.Color());
    const std::optional<QColor> chosen = c_.platform.chooseColor(&c_.form, initial);
    if (chosen) {
        TextAttributes& selection = c_.RichEdit1.SelectionAttributes();
        if (background)
            selection.setBackColor(refFromColor(*chosen));
        else
            selection.setColor(refFromColor(*chosen));
    }
    if (strip)
        strip->setColor(chosen.value_or(initial));
}

void FormatCommands::chooseTextColor() { chooseColor(c_.form.textColorStrip, false); }
void FormatCommands::chooseBackgroundColor() { chooseColor(c_.form.backgroundColorStrip, true); }

// ---- superscript and subscript ---------------------------------------------------------------

// The menu item's check mark decides, not the text under the caret (the refresh never sets
// these marks): a checked item returns the text to normal, an unchecked one raises or lowers
// it. Checking one item unchecks the other and pressing one button releases the other.
void FormatCommands::switchIndex(QAction* item, QToolButton* button, VerticalPosition position)
{
    const bool on = !item->isChecked();
    c_.RichEdit1.SelectionAttributes().setVerticalPosition(on ? position : VerticalPosition::Normal);
    item->setChecked(on);
    button->setChecked(on);
}

void FormatCommands::superscript()
{
    switchIndex(c_.form.superscriptItem, c_.form.superscriptButton, VerticalPosition::Superscript);
}

void FormatCommands::subscript()
{
    switchIndex(c_.form.subscriptItem, c_.form.subscriptButton, VerticalPosition::Subscript);
}

// ---- alignment -------------------------------------------------------------------------------

// Sets the alignment and clears the other two alignment marks; the refresh checks the
// paragraph's own.
void FormatCommands::align(ParaAlignment alignment, QAction* own)
{
    c_.RichEdit1.ParagraphAttributes().setAlignment(alignment);
    for (QAction* item : {c_.form.alignLeftItem, c_.form.alignCenterItem, c_.form.alignRightItem})
        if (item != own)
            item->setChecked(false);
}

void FormatCommands::alignLeft() { align(ParaAlignment::Left, c_.form.alignLeftItem); }
void FormatCommands::alignCenter() { align(ParaAlignment::Center, c_.form.alignCenterItem); }
void FormatCommands::alignRight() { align(ParaAlignment::Right, c_.form.alignRightItem); }

// ---- bullets and indents ---------------------------------------------------------------------

// The control gives bulleted paragraphs room for the bullet and takes it back without them.
void FormatCommands::bullets()
{
    c_.RichEdit1.ParagraphAttributes().setNumbering(c_.form.bulletsButton->isChecked() ? 1 : 0);
}

// The indent steps move one value shared by all paragraphs, kept in tab.ini, and give the
// paragraph that value as its start; they do not shift the paragraph from where it is.
void FormatCommands::indentMore()
{
    const int indent = steppedIndent(c_.settings.readInteger(statefile::IndentStep), kIndentStep);
    c_.RichEdit1.ParagraphAttributes().setFirstIndent(indent);
    c_.settings.writeInteger(statefile::IndentStep, indent);
}

// A step left may give the paragraph a negative indent; the stored value stops at 0.
void FormatCommands::indentLess()
{
    const int indent = steppedIndent(c_.settings.readInteger(statefile::IndentStep), -kIndentStep);
    c_.RichEdit1.ParagraphAttributes().setFirstIndent(indent);
    c_.settings.writeInteger(statefile::IndentStep, std::max(indent, 0));
}

} // namespace zorim
