#pragma once
// The main window on a state folder of its own, shown, for benchmarks of what a keystroke
// costs the window.
#include "forms/mainwindow/MainWindow.h"
#include "platform/QtPlatform.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace zorim::bench {

struct Window {
    QTemporaryDir folder;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MainWindow> form;

    Window()
    {
        QDir(folder.path()).mkpath(QStringLiteral("data"));
        for (const auto& [name, value] : {std::pair{"tab.ini", "10"}, {"skin.ini", "4"}, {"easy.ini", "1"}, {"data.ini", "Dokument"}}) {
            QFile file(folder.path() + QStringLiteral("/data/") + QString::fromLatin1(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(value);
        }
        platform = std::make_unique<QtPlatform>();
        settings = std::make_unique<SettingsStore>(folder.path());
        form = std::make_unique<MainWindow>(*platform, *settings, QStringList());
        form->show();
    }
};

} // namespace zorim::bench
