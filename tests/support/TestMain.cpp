// Every test program runs inside a QApplication, headless (CTest sets QT_QPA_PLATFORM).
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Spelling's personal word lists go to a folder of the run's own, never the user's.
    QTemporaryDir enchantFolder;
    qputenv("ENCHANT_CONFIG_DIR", enchantFolder.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
