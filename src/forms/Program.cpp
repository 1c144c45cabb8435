#include "forms/Program.h"

#include "forms/Errors.h"
#include "forms/ProgramInfo.h"
#include "forms/dialogs/AboutBox.h"
#include "forms/mainwindow/MainWindow.h"
#include "forms/dialogs/HyperlinkDialog.h"
#include "forms/dialogs/CalculatorWindow.h"
#include "forms/dialogs/PageSetupDialog.h"
#include "forms/dialogs/GoToLineDialog.h"
#include "forms/dialogs/HelpWindow.h"
#include "forms/dialogs/ClipboardViewer.h"
#include "forms/dialogs/ReplaceDialog.h"
#include "forms/dialogs/FindDialog.h"
#include "forms/dialogs/StatisticsDialog.h"
#include "platform/QtPlatform.h"
#include "settings/SettingsStore.h"
#include "text/FileNames.h"

#include <QApplication>

#include <cstdio>
#include <optional>

namespace zorim {

Windows::Windows() = default;
Windows::~Windows() = default;

void createInOrder(Platform& platform, const std::vector<std::function<void()>>& steps)
{
    for (const auto& step : steps) {
        try {
            step();
        } catch (const std::exception& error) {
            platform.error(nullptr, errorMessage(error));
        }
    }
}

std::unique_ptr<Windows> createWindows(Platform& platform, SettingsStore& settings, const QStringList& arguments)
{
    auto w = std::make_unique<Windows>();
    createInOrder(platform, {
        [&] {
            w->mainWindow = std::make_unique<MainWindow>(platform, settings, arguments);
            if (!w->mainWindow->endedFromOutside())
                w->mainWindow->show();
        },
        [&] { w->aboutBox = std::make_unique<AboutBox>(platform); },
        [&] { w->pageSetup = std::make_unique<PageSetupDialog>(platform, settings); },
        [&] { w->goToLine = std::make_unique<GoToLineDialog>(platform, settings); },
        [&] { w->help = std::make_unique<HelpWindow>(platform, settings); },
        [&] { w->clipboardViewer = std::make_unique<ClipboardViewer>(platform); },
        [&] { w->replace = std::make_unique<ReplaceDialog>(platform, settings); },
        [&] { w->find = std::make_unique<FindDialog>(platform, settings); },
        [&] { w->statistics = std::make_unique<StatisticsDialog>(platform); },
        [&] { w->hyperlink = std::make_unique<HyperlinkDialog>(platform); },
        [&] { w->calculator = std::make_unique<CalculatorWindow>(); },
    });
    // The main window's commands reach the other windows through their context.
    if (w->mainWindow) {
        w->mainWindow->setOtherWindows({w->aboutBox.get(), w->pageSetup.get(), w->goToLine.get(), w->help.get(), w->clipboardViewer.get(),
                                   w->replace.get(), w->find.get(), w->statistics.get(), w->hyperlink.get(), w->calculator.get()});
    }
    return w;
}

namespace {

const char* const kHelp =
    "Použitie: zorim [DOKUMENT]\n"
    "\n"
    "Slovenský textový editor. Otvorí DOKUMENT (RTF .zrm a .rtf, text .txt), ak je zadaný.\n"
    "  -h, --help     vypíše tento návod a skončí\n"
    "  -v, --version  vypíše verziu a skončí\n"
    "Prevod dokumentov bez okna: zorim-convert --help.\n"
    "\n"
    "Usage: zorim [DOCUMENT]\n"
    "\n"
    "Slovak word processor. Opens DOCUMENT (RTF .zrm and .rtf, text .txt) when one is named.\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "Converting documents without a window: zorim-convert --help.\n";

// --help and --version are answered on the terminal, before anything of a window exists.
std::optional<int> answerOnTerminal(const QStringList& arguments)
{
    for (const QString& a : arguments) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (a == QLatin1String("--version") || a == QLatin1String("-v")) {
            std::printf("zorim %s\n", qPrintable(programVersion()));
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace

int runProgram(int argc, char** argv)
{
    // The command line as given: the application object takes out the options it knows.
    // A file name keeps its bytes, also when they are no UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]);
    if (const std::optional<int> answered = answerOnTerminal(arguments))
        return *answered;

    QApplication app(argc, argv);
    installSlovakTranslations(app);
    // The desktop pairs the windows with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("zorim"));

    QtPlatform platform;
    SettingsStore settings;
    return runWindows(platform, settings, arguments);
}

int runWindows(Platform& platform, SettingsStore& settings, const QStringList& arguments)
{
    const std::unique_ptr<Windows> windows = createWindows(platform, settings, arguments);
    if (!windows->mainWindow)
        return 1;
    // Ended from outside while a start-up box was shown: its snapshot is kept, nothing more runs.
    if (windows->mainWindow->endedFromOutside())
        return 0;
    // Every window of the program, dialogs included, shows the main window's icon.
    QApplication::setWindowIcon(windows->mainWindow->windowIcon());
    // Closing the main window ends the program, whatever other window is open.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(windows->mainWindow.get(), &MainWindow::closed, qApp, &QCoreApplication::quit);
    return QApplication::exec();
}

} // namespace zorim
