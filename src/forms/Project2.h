#pragma once
// The program entry: creates the windows once, in order, and runs until the main window
// closes or the exit command ends the program.
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace zorim {

class Platform;
class SettingsStore;
class TForm1;
class TAboutBox;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;

// Every window of the program; each lives for the whole run.
struct Windows {
    Windows();
    ~Windows();
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm4> Form4;
    std::unique_ptr<TForm5> Form5;
    std::unique_ptr<TForm6> Form6;
    std::unique_ptr<TForm7> Form7;
    std::unique_ptr<TForm8> Form8;
    std::unique_ptr<TForm9> Form9;
    std::unique_ptr<TForm10> Form10;
    std::unique_ptr<TForm11> Form11;
};

// Runs the steps in order. A step that fails shows its message in the error box, and the
// next step runs.
void createInOrder(Platform& platform, const std::vector<std::function<void()>>& steps);

// Creates the main window (running its start-up steps) and shows it, then the other
// windows, hidden until their commands show them.
std::unique_ptr<Windows> createWindows(Platform& platform, SettingsStore& settings, const QStringList& arguments);

// The program: returns its exit code.
int Project2(int argc, char** argv);

} // namespace zorim
