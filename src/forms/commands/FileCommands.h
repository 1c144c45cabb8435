#pragma once
// The file commands: new, open, save, save as, print, send, the last saved file, insert a
// text file, exit; the tray menu's twins of new, open, save and exit.
#include "forms/commands/CommandContext.h"

#include <QString>

namespace zorim {

class FileCommands {
public:
    explicit FileCommands(CommandContext& context) : c_(context) {}

    // Asked by the exit command and by the close box.
    static const QString kExitQuestion;

    // Súbor
    void Nov1Click();
    void Otvor1Click();
    void Ulo1Click();
    void Uloako1Click();
    void Vytlai1Click();
    void Odosla1Click();
    void PoslednySuborClick();
    void Koniefc1Click();
    // Vložiť: insert a text file; its twin in the context menu
    void Objekt1Click();
    void Textovsbor1Click();
    // The tray menu
    void Nov3Click();
    void Otvori2Click();
    void Uloi2Click();
    void Koniec1Click();
    // ToolBar1
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    // Saving: an untitled document goes through saveAs, which asks for a name. The close box
    // shares them. Both throw on failure.
    void save();
    void saveAs();

private:
    CommandContext& c_;
};

} // namespace zorim
