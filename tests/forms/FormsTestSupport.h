#pragma once
// The main window started as the program starts it, in a temporary program folder, on the
// scripted platform.
#include "FilePermissions.h"
#include "ProgramFolder.h"
#include "QStringPrinter.h"
#include "ScriptedPlatform.h"
#include "forms/StatusBar.h"
#include "forms/CaptionBar.h"
#include "forms/TForm1.h"
#include "forms/commands/Commands.h"
#include "richtext/RichEdit.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>
#include <memory>

namespace zorim::test {

class MainWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<TForm1> start(const QStringList& arguments = {})
    {
        return std::make_unique<TForm1>(platform, settings, arguments);
    }
    static QString panel(const TForm1& form, int index) { return form.StatusBar1->panelText(index); }

    ProgramFolder folder;
    SettingsStore settings{folder.path()};
    ScriptedPlatform platform;
};

} // namespace zorim::test
