#pragma once
// The platform of the running program: Qt's standard boxes and dialogs, the desktop's
// services and the system clock.
#include "platform/Platform.h"

#include <memory>

class QCoreApplication;
class QSystemTrayIcon;

namespace zorim {

// Installs Qt's Slovak translation, so the standard dialogs and boxes speak the program's
// language whatever the desktop's language is. False when the translation is not installed.
bool installSlovakTranslations(QCoreApplication& app);

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    Answer question(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;

    std::optional<QString> openFileName(QWidget* parent, const FileDialogSetup& setup) override;
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogSetup& setup) override;
    std::optional<QString> pictureFileName(QWidget* parent, const FileDialogSetup& setup) override;
    std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;

    int showModal(QDialog& dialog) override;

    bool startDetached(const QString& program, const QStringList& arguments) override;
    bool openFile(const QString& path) override;
    bool openLink(const QString& address) override;

    void showTrayIcon(const QIcon& icon, const QString& toolTip, QMenu* menu) override;
    void hideTrayIcon() override;

    void endProgram() override;

    QDateTime now() override;
    QString shortDate(const QDate& date) override;
    QString longTime(const QTime& time) override;
    QLocale locale() override;
    void showPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;

private:
    std::unique_ptr<QSystemTrayIcon> tray_;
};

} // namespace zorim
