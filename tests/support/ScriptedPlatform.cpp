#include "ScriptedPlatform.h"

#include "platform/FontDialog.h"

#include <QWidget>

#include <QDialog>
#include <QPrinter>
#include <gtest/gtest.h>

namespace zorim::test {

const char* kindName(ScriptedPlatform::Kind kind)
{
    using K = ScriptedPlatform::Kind;
    switch (kind) {
    case K::Question: return "question";
    case K::Information: return "information box";
    case K::Message: return "message box";
    case K::Error: return "error box";
    case K::OpenFile: return "open dialog";
    case K::SaveFile: return "save dialog";
    case K::PictureFile: return "picture dialog";
    case K::Font: return "font dialog";
    case K::Color: return "colour dialog";
    case K::Print: return "print dialog";
    case K::Modal: return "modal dialog";
    case K::PrintPreview: return "print preview";
    }
    return "?";
}

ScriptedPlatform::ScriptedPlatform() : clock(QDate(2024, 3, 5), QTime(9, 7, 3)) {}

ScriptedPlatform::~ScriptedPlatform()
{
    for (const Step& step : script_)
        ADD_FAILURE() << "the program never asked for the scripted " << kindName(step.kind);
}

void ScriptedPlatform::answerQuestion(Answer answer) { script_.push_back({Kind::Question, answer}); }
void ScriptedPlatform::answerOpenFile(std::optional<QString> path) { script_.push_back({Kind::OpenFile, path}); }
void ScriptedPlatform::answerSaveFile(std::optional<QString> path) { script_.push_back({Kind::SaveFile, path}); }
void ScriptedPlatform::answerPictureFile(std::optional<QString> path) { script_.push_back({Kind::PictureFile, path}); }
void ScriptedPlatform::answerFont(std::optional<FontChoice> choice) { script_.push_back({Kind::Font, choice}); }
void ScriptedPlatform::answerColor(std::optional<QColor> color) { script_.push_back({Kind::Color, color}); }
void ScriptedPlatform::answerPrint(bool accept) { script_.push_back({Kind::Print, accept}); }
void ScriptedPlatform::answerModal(std::function<int(QDialog&)> handler) { script_.push_back({Kind::Modal, std::move(handler)}); }

namespace {

std::function<int(QDialog&)> playedAsUser(std::function<void(QDialog&)> actions)
{
    return [actions = std::move(actions)](QDialog& dialog) {
        dialog.show();
        actions(dialog);
        EXPECT_FALSE(dialog.isVisible()) << "the dialog is still open";
        dialog.hide();
        return dialog.result();
    };
}

} // namespace

void ScriptedPlatform::answerModalAsUser(std::function<void(QDialog&)> actions)
{
    answerModal(playedAsUser(std::move(actions)));
}

void ScriptedPlatform::answerFontAsUser(std::function<void(QDialog&)> actions)
{
    script_.push_back({Kind::Font, playedAsUser(std::move(actions))});
}

QStringList ScriptedPlatform::texts(Kind kind) const
{
    QStringList result;
    for (const Shown& s : shown_) {
        if (s.kind == kind)
            result << s.text;
    }
    return result;
}

std::optional<ScriptedPlatform::Value> ScriptedPlatform::take(Kind kind, const QString& what)
{
    if (script_.empty() || script_.front().kind != kind) {
        ADD_FAILURE() << "unexpected " << kindName(kind) << ": " << what.toStdString()
                      << (script_.empty() ? std::string(" (nothing scripted)")
                                          : std::string(" (scripted next: ") + kindName(script_.front().kind) + ")");
        return std::nullopt;
    }
    Value value = std::move(script_.front().value);
    script_.pop_front();
    return value;
}

Answer ScriptedPlatform::question(QWidget* parent, const QString& text)
{
    shown_.push_back({Kind::Question, text, {}, parent ? parent->window()->geometry() : QRect()});
    const auto value = take(Kind::Question, text);
    return value ? std::get<Answer>(*value) : Answer::Cancel;
}

bool ScriptedPlatform::confirm(QWidget* parent, const QString& text) { return question(parent, text) == Answer::Yes; }

void ScriptedPlatform::information(QWidget*, const QString& text) { shown_.push_back({Kind::Information, text, {}, {}}); }
void ScriptedPlatform::message(QWidget*, const QString& text) { shown_.push_back({Kind::Message, text, {}, {}}); }
void ScriptedPlatform::error(QWidget*, const QString& text) { shown_.push_back({Kind::Error, text, {}, {}}); }

std::optional<QString> ScriptedPlatform::fileDialog(Kind kind, const FileDialogSetup& setup)
{
    shown_.push_back({kind, setup.title, setup, {}});
    const auto value = take(kind, setup.title);
    return value ? std::get<std::optional<QString>>(*value) : std::nullopt;
}

std::optional<QString> ScriptedPlatform::openFileName(QWidget*, const FileDialogSetup& setup) { return fileDialog(Kind::OpenFile, setup); }
std::optional<QString> ScriptedPlatform::saveFileName(QWidget*, const FileDialogSetup& setup) { return fileDialog(Kind::SaveFile, setup); }
std::optional<QString> ScriptedPlatform::pictureFileName(QWidget*, const FileDialogSetup& setup) { return fileDialog(Kind::PictureFile, setup); }

std::optional<FontChoice> ScriptedPlatform::chooseFont(QWidget* parent, const FontChoice& initial)
{
    shown_.push_back({Kind::Font, initial.font.family(), {}, {}});
    const auto value = take(Kind::Font, initial.font.family());
    if (!value)
        return std::nullopt;
    if (const auto* play = std::get_if<std::function<int(QDialog&)>>(&*value)) {
        FontDialog dialog(initial, parent);
        if ((*play)(dialog) != QDialog::Accepted)
            return std::nullopt;
        return dialog.choice();
    }
    return std::get<std::optional<FontChoice>>(*value);
}

std::optional<QColor> ScriptedPlatform::chooseColor(QWidget*, const QColor& initial)
{
    shown_.push_back({Kind::Color, initial.name(), {}, {}});
    const auto value = take(Kind::Color, initial.name());
    return value ? std::get<std::optional<QColor>>(*value) : std::nullopt;
}

bool ScriptedPlatform::choosePrinter(QWidget*, QPrinter& printer)
{
    shown_.push_back({Kind::Print, {}, {}, {}});
    const auto value = take(Kind::Print, QStringLiteral("print"));
    const bool accepted = value ? std::get<bool>(*value) : false;
    if (accepted && !printToFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
    }
    return accepted;
}

int ScriptedPlatform::showModal(QDialog& dialog)
{
    shown_.push_back({Kind::Modal, dialog.windowTitle(), {}, {}});
    const auto value = take(Kind::Modal, dialog.windowTitle());
    if (!value)
        return QDialog::Rejected;
    return std::get<std::function<int(QDialog&)>>(*value)(dialog);
}

bool ScriptedPlatform::startDetached(const QString& program, const QStringList& arguments)
{
    started_.push_back({program, arguments});
    return startResult;
}

bool ScriptedPlatform::openFile(const QString& path)
{
    openedFiles_ << path;
    return openFileResult;
}

bool ScriptedPlatform::openLink(const QString& address)
{
    const QString link = openableLink(address);
    if (link.isEmpty())
        return false;
    openedLinks_ << link;
    return true;
}

void ScriptedPlatform::showTrayIcon(const QIcon&, const QString& toolTip, QMenu* menu)
{
    trayShown_ = true;
    trayToolTip_ = toolTip;
    trayMenu_ = menu;
}

void ScriptedPlatform::hideTrayIcon() { trayShown_ = false; }
void ScriptedPlatform::endProgram() { ++endProgramCalls_; }
QDateTime ScriptedPlatform::now() { return clock; }
QString ScriptedPlatform::shortDate(const QDate& date) { return date.toString(QStringLiteral("d.M.yyyy")); }
QString ScriptedPlatform::longTime(const QTime& time) { return time.toString(QStringLiteral("H:mm:ss")); }
QLocale ScriptedPlatform::locale() { return regional; }

} // namespace zorim::test

namespace zorim::test {

void ScriptedPlatform::showPrintPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter&)>& paint)
{
    shown_.push_back({Kind::PrintPreview, {}, {}, {}});
    if (!printToFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToFile);
    }
    paint(printer);
}

} // namespace zorim::test
