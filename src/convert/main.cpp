// zorim-convert: converts documents as the program opens and saves them, one or many, files,
// folders or standard input and output; or prints a document's text. See --help.
#include "convert/Batch.h"
#include "convert/CommandLine.h"
#include "convert/Conversion.h"
#include "text/FileNames.h"

#include <QFile>
#include <cstdio>

namespace {

const char* const kHelp =
    "Použitie: zorim-convert VSTUP VÝSTUP\n"
    "          zorim-convert --to FORMÁT [-o PRIEČINOK] SÚBOR...\n"
    "          zorim-convert --text VSTUP\n"
    "\n"
    "Načíta dokument VSTUP tak ako editor ZORIM (formát podľa prípony a obsahu) a uloží ho\n"
    "do súboru VÝSTUP vo formáte podľa jeho prípony: .txt ako text, .rtf a .zrm ako RTF,\n"
    ".docx ako dokument Word, .odt ako OpenDocument. S voľbou --to (rtf, zrm, txt, docx alebo odt) sa každý SÚBOR zapíše pod vlastným menom s príponou\n"
    "formátu do PRIEČINKA (-o, --outdir), inak vedľa vstupu; priečinok ako SÚBOR znamená\n"
    "dokumenty v ňom. Pri viacerých súboroch alebo priečinku je --to povinné.\n"
    "\"-\" ako vstup číta štandardný vstup, ako výstup (VÝSTUP alebo -o -) píše na štandardný\n"
    "výstup. Viac súborov sa prevádza súbežne (-j N: N naraz, inak jeden na jadro).\n"
    "Každý výstup sa zapíše celý alebo vôbec; pri chybe zostane pôvodný súbor nedotknutý.\n"
    "S voľbou --text vypíše text dokumentu v UTF-8 na štandardný výstup, odsek na riadok.\n"
    "Návratový kód: 0 pri úspechu, 1 keď niektorý súbor zlyhal (so správou na chybovom výstupe).\n"
    "\n"
    "Usage: zorim-convert IN OUT\n"
    "       zorim-convert --to FORMAT [-o DIR] FILE...\n"
    "       zorim-convert --text IN\n"
    "\n"
    "Loads the document IN as the ZORIM editor does (format by extension and content) and\n"
    "saves it to OUT in the format its extension names: .txt as text, .rtf and .zrm as RTF,\n"
    ".docx as a Word document, .odt as OpenDocument. With --to (rtf, zrm, txt, docx or odt) each FILE is written under its own name with the format's\n"
    "extension into DIR (-o, --outdir), else beside the input; a folder as FILE stands for the\n"
    "documents in it. --to is required with several files or a folder.\n"
    "\"-\" as the input reads standard input, as the output (OUT or -o -) writes standard\n"
    "output. Several files convert in parallel (-j N: N at once, else one per core).\n"
    "Every output is written whole or not at all; on failure an existing file is left untouched.\n"
    "With --text, writes the document's text as UTF-8 to standard output, a paragraph a line.\n"
    "Exit status: 0 on success, 1 when any file failed (with a message on standard error).\n";

} // namespace

int main(int argc, char** argv)
{
    using namespace zorim::convert;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << zorim::fileNameFromBytes(argv[i]); // a file name keeps its bytes, UTF-8 or not;
    const Request request = parseCommandLine(args);
    if (request.mode == Request::Mode::Help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (!request.usageError.isEmpty()) {
        report(request.usageError + QStringLiteral(" (zorim-convert --help)"));
        return 1;
    }
    switch (request.mode) {
    case Request::Mode::Worker:
        return runWorker(argc, argv);
    case Request::Mode::Text:
        return runText(request.jobs.front().input, argc, argv);
    default:
        return runBatch(request, argc, argv);
    }
}
