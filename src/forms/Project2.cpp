#include "forms/Project2.h"

#include "forms/Errors.h"
#include "forms/ProgramInfo.h"
#include "forms/TAboutBox.h"
#include "forms/TForm1.h"
#include "forms/TForm10.h"
#include "forms/TForm11.h"
#include "forms/TForm3.h"
#include "forms/TForm4.h"
#include "forms/TForm5.h"
#include "forms/TForm6.h"
#include "forms/TForm7.h"
#include "forms/TForm8.h"
#include "forms/TForm9.h"
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
            w->Form1 = std::make_unique<TForm1>(platform, settings, arguments);
            w->Form1->show();
        },
        [&] { w->AboutBox = std::make_unique<TAboutBox>(platform); },
        [&] { w->Form3 = std::make_unique<TForm3>(platform, settings); },
        [&] { w->Form4 = std::make_unique<TForm4>(platform, settings); },
        [&] { w->Form5 = std::make_unique<TForm5>(platform, settings); },
        [&] { w->Form6 = std::make_unique<TForm6>(platform); },
        [&] { w->Form7 = std::make_unique<TForm7>(platform, settings); },
        [&] { w->Form8 = std::make_unique<TForm8>(platform, settings); },
        [&] { w->Form9 = std::make_unique<TForm9>(platform); },
        [&] { w->Form10 = std::make_unique<TForm10>(platform); },
        [&] { w->Form11 = std::make_unique<TForm11>(); },
    });
    // The main window's commands reach the other windows through their context.
    if (w->Form1) {
        w->Form1->setOtherWindows({w->AboutBox.get(), w->Form3.get(), w->Form4.get(), w->Form5.get(), w->Form6.get(),
                                   w->Form7.get(), w->Form8.get(), w->Form9.get(), w->Form10.get(), w->Form11.get()});
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

int Project2(int argc, char** argv)
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
    const std::unique_ptr<Windows> windows = createWindows(platform, settings, arguments);
    if (!windows->Form1)
        return 1;
    // Every window of the program, dialogs included, shows the main window's icon.
    QApplication::setWindowIcon(windows->Form1->windowIcon());
    // Closing the main window ends the program, whatever other window is open.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(windows->Form1.get(), &TForm1::closed, &app, &QCoreApplication::quit);
    return app.exec();
}

} // namespace zorim
