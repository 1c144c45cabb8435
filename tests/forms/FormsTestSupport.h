#pragma once
// The main window started as the program starts it, in a temporary program folder, on the
// scripted platform.
#include "FilePermissions.h"
#include "ProgramFolder.h"
#include "QStringPrinter.h"
#include "ScriptedPlatform.h"
#include "forms/widgets/StatusBar.h"
#include "forms/widgets/CaptionBar.h"
#include "forms/mainwindow/MainWindow.h"
#include "forms/commands/Commands.h"
#include "richtext/editor/RichEdit.h"
#include "settings/SettingsStore.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <memory>

namespace zorim::test {

// The window refreshes its selection display once the event loop turns after a key: this
// runs what the keys left queued, as the event loop would.
inline void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); }

// Typing as the keyboard delivers it: one key with its text per character, Slovak letters too
// (QTest's key names cover ASCII alone).
inline void typeText(QWidget* target, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    settle();
}

class MainWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<MainWindow> start(const QStringList& arguments = {})
    {
        return std::make_unique<MainWindow>(platform, settings, arguments);
    }
    static QString panel(const MainWindow& form, int index) { return form.StatusBar1->panelText(index); }

    ProgramFolder folder;
    SettingsStore settings{folder.path()};
    ScriptedPlatform platform;
};

} // namespace zorim::test
