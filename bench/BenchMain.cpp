// Benchmarks run inside a headless QApplication, as the program's own code expects one.
#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Spelling's personal word lists go to a folder of the run's own, never the user's.
    QTemporaryDir enchantFolder;
    qputenv("ENCHANT_CONFIG_DIR", enchantFolder.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
