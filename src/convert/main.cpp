// zorim-convert IN OUT: loads IN as the program opens a document (the format by extension
// and content, a failed rich-text load taken again as text) and saves OUT by its extension:
// .txt as text (Windows-1250, or UTF-8 with a byte order mark when the text needs it), .rtf
// and .zrm as RTF. OUT is written whole or not at all. zorim-convert --text IN prints the
// document's text as UTF-8, one line per paragraph.
#include "richtext/RichDocument.h"
#include "richtext/RichEdit.h"
#include "text/FileNames.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

const char* const kHelp =
    "Použitie: zorim-convert VSTUP VÝSTUP\n"
    "          zorim-convert --text VSTUP\n"
    "\n"
    "Načíta dokument VSTUP tak ako editor ZORIM (formát podľa prípony a obsahu) a uloží ho\n"
    "do súboru VÝSTUP vo formáte podľa jeho prípony: .txt ako text, .rtf a .zrm ako RTF.\n"
    "VÝSTUP sa zapíše celý alebo vôbec; pri chybe zostane pôvodný súbor nedotknutý.\n"
    "S voľbou --text vypíše text dokumentu v UTF-8 na štandardný výstup, odsek na riadok.\n"
    "Návratový kód: 0 pri úspechu, 1 pri akejkoľvek chybe (so správou na chybovom výstupe).\n"
    "\n"
    "Usage: zorim-convert IN OUT\n"
    "       zorim-convert --text IN\n"
    "\n"
    "Loads the document IN as the ZORIM editor does (format by extension and content) and\n"
    "saves it to OUT in the format its extension names: .txt as text, .rtf and .zrm as RTF.\n"
    "OUT is written whole or not at all; on failure an existing OUT is left untouched.\n"
    "With --text, writes the document's text as UTF-8 to standard output, a paragraph a line.\n"
    "Exit status: 0 on success, 1 on any failure (with a message on standard error).\n";

int fail(const QString& message)
{
    std::fprintf(stderr, "zorim-convert: %s\n", message.toLocal8Bit().constData());
    return 1;
}

// Qt's notes about the session (no runtime folder, no window manager) are no concern of a
// batch conversion; only its errors are shown.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "zorim-convert: %s\n", message.toLocal8Bit().constData());
}

bool knownOutput(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    return ext == QLatin1String("txt") || ext == QLatin1String("rtf") || ext == QLatin1String("zrm");
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << zorim::fileNameFromBytes(argv[i]); // a file name keeps its bytes, UTF-8 or not
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const bool toText = !args.isEmpty() && args.first() == QLatin1String("--text");
    if (toText)
        args.removeFirst();
    if (args.size() != (toText ? 1 : 2)) {
        std::fputs(kHelp, stderr);
        return 1;
    }
    const QString in = args[0];
    const QString out = toText ? QString() : args[1];
    if (!toText && !knownOutput(out))
        return fail(QStringLiteral("%1: unknown output type (.txt, .rtf or .zrm)").arg(out));

    // The control needs no screen: the document is never shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    zorim::RichEdit edit(nullptr, zorim::RichEdit::Kind::Document);
    try {
        edit.Lines().LoadFile(in);
    } catch (const zorim::RichEditError& e) {
        return fail(e.message().contains(in) ? e.message() : QStringLiteral("%1: %2").arg(in, e.message()));
    }
    // What the output will lack is said; the rest converts.
    if (const int omitted = edit.document().omittedPictures())
        fail(QStringLiteral("%1: Dokument obsahuje viac obrázkov, ako ZORIM dokáže zobraziť; %2 sa vynechalo.").arg(in).arg(omitted));
    if (toText) {
        // Written a piece at a time, so a large document's text is not held twice more.
        const QString text = edit.document().text();
        constexpr qsizetype kPiece = 1 << 20;
        for (qsizetype at = 0; at < text.size(); at += kPiece) {
            QString piece = text.mid(at, kPiece);
            piece.remove(QChar::ObjectReplacementCharacter); // a picture or an object has no text
            QByteArray bytes = piece.toUtf8();
            bytes.removeIf([](char c) { return c == '\r'; }); // CR LF to LF: the text holds no other CR
            if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()))
                return fail(QStringLiteral("cannot write the text of %1").arg(in));
        }
        if (std::fflush(stdout) != 0)
            return fail(QStringLiteral("cannot write the text of %1").arg(in));
        return 0;
    }
    try {
        edit.Lines().SaveFile(out);
    } catch (const zorim::RichEditError& e) {
        return fail(e.message().contains(out) ? e.message() : QStringLiteral("%1: %2").arg(out, e.message()));
    }
    return 0;
}
