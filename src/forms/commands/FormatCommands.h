#pragma once
// The character and paragraph formatting commands: font, styles, indexes, colours, sizes,
// alignment, bullets and the indent steps, from the menu, the toolbars and the boxes.
#include "forms/commands/CommandContext.h"
#include "richtext/editor/RichEdit.h"

class QAction;
class QToolButton;

namespace zorim {

class ColorStrip;

class FormatCommands {
public:
    explicit FormatCommands(CommandContext& context) : c_(context) {}

    void chooseFont();
    // The style menu items: each only ever switches its style on.
    void addBold();
    void addItalic();
    void addUnderline();
    void addStrikeOut();
    // The style buttons: each sets its style as the button is now pressed or released.
    void bold();
    void italic();
    void underline();
    void superscript();
    void subscript();
    void indentLess();
    void indentMore();
    // The font and size boxes: what the box shows goes to the selection.
    void applyFontName();
    void applyFontSize();
    void alignLeft();
    void alignCenter();
    void alignRight();
    void bullets();
    void chooseTextColor();
    void chooseBackgroundColor();

private:
    void setStyleFromButton(const QToolButton* button, int style);
    void addStyle(int style);
    void chooseColor(ColorStrip* strip, bool background);
    void switchIndex(QAction* item, QToolButton* button, VerticalPosition position);
    void align(ParaAlignment alignment, QAction* own);

    CommandContext& c_;
};

} // namespace zorim
