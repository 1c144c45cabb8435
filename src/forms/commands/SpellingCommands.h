#pragma once
// Spelling: the switch in the tools menu (kept in its state file) and the corrections the
// context menu offers over a misspelled word. The marks themselves are the editor control's
// (RichEdit::spelling).
#include "forms/commands/CommandContext.h"

namespace zorim {

class SpellingCommands {
public:
    explicit SpellingCommands(CommandContext& context) : c_(context) {}

    // Marks on or off, written to the state file first.
    void switchSpellCheck();
    // The correction of the item, for the word the context menu was opened on.
    void useSuggestion1();
    void useSuggestion2();
    void useSuggestion3();
    void useSuggestion4();
    void useSuggestion5();
    void addWordToDictionary();
    void ignoreWord();

    // The context menu opens: over a misspelled word, its corrections and the two word
    // entries show at the top; anywhere else they hide.
    void PopupMenu1Popup();
    // Start-up: the switch as its state file has it (on when there is none); without Enchant
    // or the Slovak dictionary the item is greyed, saying which package to install.
    void restoreSpellCheck();

private:
    void useSuggestion(int index);
    CommandContext& c_;
};

} // namespace zorim
