#pragma once
// The open document as the window shows it: the file it belongs to, its title, the marker of
// the status bar and the date and time of its last stamp. The commands and the window change
// it here; the caption bar and the status bar follow its signals.
#include <QObject>
#include <QString>

namespace zorim {

class Platform;

class DocumentState : public QObject {
    Q_OBJECT
public:
    explicit DocumentState(Platform& platform, QObject* parent = nullptr);

    // The file name of a document that has no file yet.
    static const QString kUntitled;
    QString fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    bool untitled() const { return fileName_ == kUntitled; }

    // The caption: "ZORIM - " and a file name, a path or "Dokument".
    QString title() const { return title_; }
    void setTitle(const QString& title);
    // The caption for a document called so.
    static QString titleFor(const QString& name);

    // The status bar's file panel shows a name only when told: a load that fails or the
    // last-file command leaves what it showed.
    void showFileName() { showInFilePanel(fileName_); }
    void showInFilePanel(const QString& name);

    // The status bar's marker: nothing, "Zmenený" or "Nový".
    enum class Marker { None, Changed, New };
    void setMarker(Marker marker);
    void setModified(bool modified) { setMarker(modified ? Marker::Changed : Marker::None); }

    // The date and time panels show now.
    void stampDateTime();

signals:
    void titleChanged(const QString& title);
    void filePanelChanged(const QString& text);
    void markerChanged(const QString& text);
    void dateTimeStamped(const QString& date, const QString& time);

private:
    Platform& platform_;
    QString fileName_;
    QString title_;
};

} // namespace zorim
