#include "platform/SlovakTexts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHash>
#include <QPushButton>
#include <QTranslator>

#include <utility>

namespace zorim {
namespace {

struct Text {
    const char* context;
    const char* source;
    const char* slovak; // UTF-8
};

// Found by opening every Qt dialog the program shows (colour, font, open and save, print with
// its options and printer properties, the message boxes) with Qt's Slovak translation and
// noting what it left in English. Paper names that are names (Letter, Legal, A4, JIS B5)
// stay as they are.
constexpr Text kTexts[] = {
    {"QPlatformTheme", "OK", "OK"},
    {"QPlatformTheme", "Save", "Uložiť"},
    {"QPlatformTheme", "Save All", "Uložiť všetko"},
    {"QPlatformTheme", "Open", "Otvoriť"},
    {"QPlatformTheme", "&Yes", "&Áno"},
    {"QPlatformTheme", "Yes to &All", "Áno &všetkým"},
    {"QPlatformTheme", "&No", "&Nie"},
    {"QPlatformTheme", "N&o to All", "N&ie všetkým"},
    {"QPlatformTheme", "Abort", "Prerušiť"},
    {"QPlatformTheme", "Retry", "Opakovať"},
    {"QPlatformTheme", "Ignore", "Ignorovať"},
    {"QPlatformTheme", "Close", "Zavrieť"},
    {"QPlatformTheme", "Cancel", "Zrušiť"},
    {"QPlatformTheme", "Discard", "Zahodiť"},
    {"QPlatformTheme", "Help", "Pomocník"},
    {"QPlatformTheme", "Apply", "Použiť"},
    {"QPlatformTheme", "Reset", "Vynulovať"},
    {"QPlatformTheme", "Restore Defaults", "Obnoviť predvolené"},
    {"QAbstractFileIconProvider", "Folder", "Priečinok"},
    {"QAbstractFileIconProvider", "Drive", "Jednotka"},
    {"QColorDialog", "&Pick Screen Color", "&Vybrať farbu z obrazovky"},
    {"QColorDialog", "Cursor at %1, %2\nPress ESC to cancel", "Kurzor na %1, %2\nKlávesom ESC zrušíte"},
    {"QCupsJobWidget", "Job", "Úloha"},
    {"QCupsJobWidget", "Job Control", "Riadenie úlohy"},
    {"QCupsJobWidget", "Scheduled printing:", "Plánovaná tlač:"},
    {"QCupsJobWidget", "Billing information:", "Fakturačné údaje:"},
    {"QCupsJobWidget", "Job priority:", "Priorita úlohy:"},
    {"QCupsJobWidget", "Banner Pages", "Úvodné a záverečné strany"},
    {"QCupsJobWidget", "Start:", "Na začiatku:"},
    {"QCupsJobWidget", "End:", "Na konci:"},
    {"QCupsJobWidget", "Print Immediately", "Tlačiť ihneď"},
    {"QCupsJobWidget", "Hold Indefinitely", "Pozdržať na neurčito"},
    {"QCupsJobWidget", "Day (06:00 to 17:59)", "Cez deň (06:00 až 17:59)"},
    {"QCupsJobWidget", "Night (18:00 to 05:59)", "V noci (18:00 až 05:59)"},
    {"QCupsJobWidget", "Second Shift (16:00 to 23:59)", "Druhá zmena (16:00 až 23:59)"},
    {"QCupsJobWidget", "Third Shift (00:00 to 07:59)", "Tretia zmena (00:00 až 07:59)"},
    {"QCupsJobWidget", "Weekend (Saturday to Sunday)", "Cez víkend (sobota až nedeľa)"},
    {"QCupsJobWidget", "Specific Time", "V určenom čase"},
    {"QCupsJobWidget", "None", "Žiadna"},
    {"QCupsJobWidget", "Standard", "Štandardná"},
    {"QCupsJobWidget", "Unclassified", "Neutajované"},
    {"QCupsJobWidget", "Confidential", "Dôverné"},
    {"QCupsJobWidget", "Classified", "Utajované"},
    {"QCupsJobWidget", "Secret", "Tajné"},
    {"QCupsJobWidget", "Top Secret", "Prísne tajné"},
    {"QPageSetupWidget", "Custom", "Vlastná"},
    {"QPageSetupWidget", "Page Layout", "Rozloženie strán"},
    {"QPageSetupWidget", "Page order:", "Poradie strán:"},
    {"QPageSetupWidget", "Pages per sheet:", "Strán na hárok:"},
    {"QPageSetupWidget", "Pica (P̸)", "Pika (P̸)"},
    {"QPrintDialog", "All Pages", "Všetky strany"},
    {"QPrintDialog", "Odd Pages", "Nepárne strany"},
    {"QPrintDialog", "Even Pages", "Párne strany"},
    {"QPrintDialog", "Left to Right, Top to Bottom", "Zľava doprava, zhora nadol"},
    {"QPrintDialog", "Left to Right, Bottom to Top", "Zľava doprava, zdola nahor"},
    {"QPrintDialog", "Right to Left, Bottom to Top", "Sprava doľava, zdola nahor"},
    {"QPrintDialog", "Right to Left, Top to Bottom", "Sprava doľava, zhora nadol"},
    {"QPrintDialog", "Bottom to Top, Left to Right", "Zdola nahor, zľava doprava"},
    {"QPrintDialog", "Bottom to Top, Right to Left", "Zdola nahor, sprava doľava"},
    {"QPrintDialog", "Top to Bottom, Left to Right", "Zhora nadol, zľava doprava"},
    {"QPrintDialog", "Top to Bottom, Right to Left", "Zhora nadol, sprava doľava"},
    {"QPrintPropertiesDialog", "Printer Properties", "Vlastnosti tlačiarne"},
    {"QPrintPropertiesDialog", "Job Options", "Možnosti úlohy"},
    {"QPrintPropertiesWidget", "Advanced", "Rozšírené"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.", "Niektoré možnosti si odporujú. Opravte ich, prosím."},
    {"QPrintSettingsOutput", "Double Sided Printing", "Obojstranná tlač"},
    {"QPrintSettingsOutput", "Off", "Vypnutá"},
    {"QPrintSettingsOutput", "Long side binding", "Väzba na dlhšej strane"},
    {"QPrintSettingsOutput", "Short side binding", "Väzba na kratšej strane"},
    {"QPrintSettingsOutput", "Pages", "Strany"},
    {"QPrintSettingsOutput", "Page Set:", "Strany:"},
    {"QPrintSettingsOutput", "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.", "Zadajte strany alebo rozsahy oddelené čiarkami. Rozsah sú dve čísla spojené pomlčkou. Napríklad 3,5-7,9 vytlačí strany 3, 5, 6, 7 a 9."},
    {"QPageSize", "%1 x %2 in", "%1 x %2 palcov"},
    {"QPageSize", "A3 Extra", "A3 extra"},
    {"QPageSize", "A4 Extra", "A4 extra"},
    {"QPageSize", "A4 Plus", "A4 plus"},
    {"QPageSize", "A4 Small", "A4 malý"},
    {"QPageSize", "A5 Extra", "A5 extra"},
    {"QPageSize", "Architect A", "Architektonický A"},
    {"QPageSize", "Architect B", "Architektonický B"},
    {"QPageSize", "Architect C", "Architektonický C"},
    {"QPageSize", "Architect D", "Architektonický D"},
    {"QPageSize", "Architect E", "Architektonický E"},
    {"QPageSize", "B5 Extra", "B5 extra"},
    {"QPageSize", "Double Postcard", "Dvojitá pohľadnica"},
    {"QPageSize", "Envelope B4", "Obálka B4"},
    {"QPageSize", "Envelope B5", "Obálka B5"},
    {"QPageSize", "Envelope B6", "Obálka B6"},
    {"QPageSize", "Envelope C0", "Obálka C0"},
    {"QPageSize", "Envelope C1", "Obálka C1"},
    {"QPageSize", "Envelope C2", "Obálka C2"},
    {"QPageSize", "Envelope C3", "Obálka C3"},
    {"QPageSize", "Envelope C4", "Obálka C4"},
    {"QPageSize", "Envelope C5", "Obálka C5"},
    {"QPageSize", "Envelope C6", "Obálka C6"},
    {"QPageSize", "Envelope C65", "Obálka C65"},
    {"QPageSize", "Envelope C7", "Obálka C7"},
    {"QPageSize", "Envelope Chou 3", "Obálka Chou 3"},
    {"QPageSize", "Envelope Chou 4", "Obálka Chou 4"},
    {"QPageSize", "Envelope DL", "Obálka DL"},
    {"QPageSize", "Envelope Invite", "Obálka na pozvánky"},
    {"QPageSize", "Envelope Italian", "Obálka talianska"},
    {"QPageSize", "Envelope Kaku 2", "Obálka Kaku 2"},
    {"QPageSize", "Envelope Kaku 3", "Obálka Kaku 3"},
    {"QPageSize", "Envelope Monarch", "Obálka Monarch"},
    {"QPageSize", "Envelope PRC 1", "Obálka PRC 1"},
    {"QPageSize", "Envelope PRC 10", "Obálka PRC 10"},
    {"QPageSize", "Envelope PRC 2", "Obálka PRC 2"},
    {"QPageSize", "Envelope PRC 3", "Obálka PRC 3"},
    {"QPageSize", "Envelope PRC 4", "Obálka PRC 4"},
    {"QPageSize", "Envelope PRC 5", "Obálka PRC 5"},
    {"QPageSize", "Envelope PRC 6", "Obálka PRC 6"},
    {"QPageSize", "Envelope PRC 7", "Obálka PRC 7"},
    {"QPageSize", "Envelope PRC 8", "Obálka PRC 8"},
    {"QPageSize", "Envelope PRC 9", "Obálka PRC 9"},
    {"QPageSize", "Envelope Personal", "Obálka osobná"},
    {"QPageSize", "Envelope US 10", "Obálka US 10"},
    {"QPageSize", "Envelope US 11", "Obálka US 11"},
    {"QPageSize", "Envelope US 12", "Obálka US 12"},
    {"QPageSize", "Envelope US 14", "Obálka US 14"},
    {"QPageSize", "Envelope US 9", "Obálka US 9"},
    {"QPageSize", "Executive (7.25 x 10.5 in)", "Executive (7,25 x 10,5 palcov)"},
    {"QPageSize", "Executive (7.5 x 10 in)", "Executive (7,5 x 10 palcov)"},
    {"QPageSize", "Fan-fold German (8.5 x 12 in)", "Skladaný nemecký (8,5 x 12 palcov)"},
    {"QPageSize", "Fan-fold German Legal (8.5 x 13 in)", "Skladaný nemecký Legal (8,5 x 13 palcov)"},
    {"QPageSize", "Fan-fold US (14.875 x 11 in)", "Skladaný US (14,875 x 11 palcov)"},
    {"QPageSize", "Folio (8.27 x 13 in)", "Folio (8,27 x 13 palcov)"},
    {"QPageSize", "Legal Extra", "Legal extra"},
    {"QPageSize", "Letter Extra", "Letter extra"},
    {"QPageSize", "Letter Plus", "Letter plus"},
    {"QPageSize", "Letter Small", "Letter malý"},
    {"QPageSize", "Note", "Note (poznámkový)"},
    {"QPageSize", "PRC 32K Big", "PRC 32K veľký"},
    {"QPageSize", "Postcard", "Pohľadnica"},
    {"QPageSize", "Tabloid Extra", "Tabloid extra"},
    {"QPageSize", "Custom", "Vlastná"},
};

class MissingSlovakTexts : public QTranslator {
public:
    explicit MissingSlovakTexts(QObject* parent) : QTranslator(parent)
    {
        for (const Text& t : kTexts)
            texts_.insert(key(t.context, t.source), QString::fromUtf8(t.slovak));
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override
    {
        if (!context || !sourceText)
            return {};
        return texts_.value(key(context, sourceText));
    }

private:
    static QByteArray key(const char* context, const char* source)
    {
        return QByteArray(context) + '\0' + QByteArray(source);
    }
    QHash<QByteArray, QString> texts_;
};

} // namespace

QTranslator* newMissingSlovakTexts(QObject* parent) { return new MissingSlovakTexts(parent); }

void slovakStandardButtons(QWidget& dialog)
{
    static const std::pair<QDialogButtonBox::StandardButton, const char*> names[] = {
        {QDialogButtonBox::Ok, "OK"},     {QDialogButtonBox::Cancel, "Cancel"}, {QDialogButtonBox::Close, "Close"},
        {QDialogButtonBox::Yes, "&Yes"}, {QDialogButtonBox::No, "&No"}};
    for (QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>()) {
        for (const auto& [which, source] : names) {
            QPushButton* button = box->button(which);
            if (!button)
                continue;
            QString shown = button->text();
            shown.remove(QLatin1Char('&')).remove(QLatin1Char('_'));
            if (shown.compare(QString::fromLatin1(source).remove(QLatin1Char('&')), Qt::CaseInsensitive) == 0)
                button->setText(QCoreApplication::translate("QPlatformTheme", source));
        }
    }
}

} // namespace zorim
