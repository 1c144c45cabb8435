#include "forms/commands/SpellingCommands.h"

#include "forms/mainwindow/MainWindow.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/spelling/SpellCheck.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include <array>

namespace zorim {
namespace {

std::array<QAction*, 5> suggestionItems(MainWindow& f)
{
    return {f.suggestion1Item, f.suggestion2Item, f.suggestion3Item, f.suggestion4Item, f.suggestion5Item};
}

// The misspelled word the context menu was opened on, if it was opened on one.
std::optional<SpellCheck::Word> wordUnderMenu(CommandContext& c)
{
    const int pos = c.form.contextMenuPosition();
    return pos < 0 ? std::nullopt : c.RichEdit1.spelling().misspellingAt(pos);
}

} // namespace

void SpellingCommands::restoreSpellCheck()
{
    MainWindow& f = c_.form;
    SpellCheck& spelling = c_.RichEdit1.spelling();
    const SpellCheck::Availability availability = spelling.availability();
    if (availability != SpellCheck::Availability::Ready) {
        const QString package = availability == SpellCheck::Availability::NoLibrary ? QStringLiteral("libenchant-2-2")
                                                                                     : QStringLiteral("hunspell-sk");
        const QString hint = QStringLiteral("Kontrola pravopisu potrebuje balík %1; nainštalujte ho.").arg(package);
        spelling.setEnabled(false);
        f.spellCheckItem->setChecked(false);
        f.spellCheckItem->setEnabled(false);
        f.spellCheckItem->setToolTip(hint);
        f.spellCheckItem->setStatusTip(hint);
        f.toolsMenu->setToolTipsVisible(true);
        return;
    }
    // On unless the file says "0"; a file that cannot be read says so like any other.
    const bool on = !QFileInfo::exists(c_.settings.filePath(statefile::SpellCheck))
                 || c_.settings.readValue(statefile::SpellCheck) != QLatin1String("0");
    f.spellCheckItem->setChecked(on);
    spelling.setEnabled(on);
}

void SpellingCommands::switchSpellCheck()
{
    MainWindow& f = c_.form;
    if (!f.spellCheckItem->isEnabled())
        return;
    const bool on = !f.spellCheckItem->isChecked();
    c_.settings.writeValue(statefile::SpellCheck, on ? QStringLiteral("1") : QStringLiteral("0"));
    f.spellCheckItem->setChecked(on);
    c_.RichEdit1.spelling().setEnabled(on);
}

void SpellingCommands::PopupMenu1Popup()
{
    MainWindow& f = c_.form;
    const auto word = wordUnderMenu(c_);
    const QStringList offered = word ? c_.RichEdit1.spelling().suggestions(*word) : QStringList();
    const auto items = suggestionItems(f);
    for (size_t i = 0; i < items.size(); ++i) {
        const bool shown = i < size_t(offered.size());
        items[i]->setVisible(shown);
        if (shown) {
            QString caption = offered[qsizetype(i)];
            items[i]->setText(caption.replace(QLatin1Char('&'), QLatin1String("&&")));
            items[i]->setData(offered[qsizetype(i)]);
        }
    }
    f.addWordItem->setVisible(word.has_value());
    f.ignoreWordItem->setVisible(word.has_value());
    f.spellingSeparator->setVisible(word.has_value());
}

void SpellingCommands::useSuggestion(int index)
{
    const auto word = wordUnderMenu(c_);
    const QString replacement = suggestionItems(c_.form)[size_t(index)]->data().toString();
    if (word && !replacement.isEmpty())
        c_.RichEdit1.spelling().correct(*word, replacement);
}

void SpellingCommands::useSuggestion1() { useSuggestion(0); }
void SpellingCommands::useSuggestion2() { useSuggestion(1); }
void SpellingCommands::useSuggestion3() { useSuggestion(2); }
void SpellingCommands::useSuggestion4() { useSuggestion(3); }
void SpellingCommands::useSuggestion5() { useSuggestion(4); }

void SpellingCommands::addWordToDictionary()
{
    if (const auto word = wordUnderMenu(c_))
        c_.RichEdit1.spelling().addToDictionary(*word);
}

void SpellingCommands::ignoreWord()
{
    if (const auto word = wordUnderMenu(c_))
        c_.RichEdit1.spelling().ignore(*word);
}

} // namespace zorim
