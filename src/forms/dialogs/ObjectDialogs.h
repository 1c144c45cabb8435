#pragma once
// The dialogs of objects in the document: insert object (a new object of a kind this
// program can make, a file embedded, or a link to a file), paste special (the forms the
// clipboard offers) and an object's properties.
#include "richtext/document/EmbeddedContent.h"

#include <QDialog>
#include <QString>

#include <span>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMimeData;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace zorim {

class Platform;

// A kind of object the insert-object dialog can create: an empty document of that type.
struct NewObjectKind {
    const char* name;      // as listed
    const char* fileName;  // the new object's file name
    const char* contents;  // the empty document
};
std::span<const NewObjectKind> newObjectKinds();
EmbeddedObject newObject(const NewObjectKind& kind);

class InsertObjectDialog : public QDialog {
    Q_OBJECT
public:
    InsertObjectDialog(Platform& platform, QWidget* parent = nullptr);

    bool createNew() const;
    int kindIndex() const; // of newObjectKinds()
    QString fileName() const;
    bool link() const;

    QRadioButton* RadioButton1 = nullptr; // "Vytvoriť nový"
    QRadioButton* RadioButton2 = nullptr; // "Vytvoriť zo súboru"
    QListWidget* ListBox1 = nullptr;      // the kinds
    QLineEdit* Edit1 = nullptr;           // the file
    QPushButton* Button3 = nullptr;       // "Prehľadávať..."
    QCheckBox* CheckBox1 = nullptr;       // "Prepojiť"
    QLabel* Label1 = nullptr;             // what OK will do
    QPushButton* Button1 = nullptr;       // "OK"
    QPushButton* Button2 = nullptr;       // "Storno"

private:
    void update();
    Platform& platform_;
    QStackedWidget* pages_ = nullptr;
};

// The forms the paste-special dialog can offer, in its order.
enum class PasteForm { EmbeddedObject, LinkSource, RichText, RichTextNoObjects, Text, Bitmap };

struct PasteEntry {
    PasteForm form;
    QString name;   // as listed
    QString result; // what is inserted, for the result text
};

// What the clipboard content offers, in the dialog's order: files (embedded or linked), rich
// text with and without objects, unformatted text, a bitmap.
std::vector<PasteEntry> pasteEntries(const QMimeData* data);

class PasteSpecialDialog : public QDialog {
    Q_OBJECT
public:
    PasteSpecialDialog(std::vector<PasteEntry> entries, QWidget* parent = nullptr);

    // The chosen entry; nothing when none is selected.
    std::optional<PasteEntry> chosen() const;

    QLabel* Label1 = nullptr;             // the source
    QRadioButton* RadioButton1 = nullptr; // "Vložiť"
    QRadioButton* RadioButton2 = nullptr; // "Vložiť prepojenie"
    QListWidget* ListBox1 = nullptr;      // the entries of the chosen kind
    QLabel* Label2 = nullptr;             // the result text
    QPushButton* Button1 = nullptr;       // "OK"
    QPushButton* Button2 = nullptr;       // "Storno"

private:
    void fill();
    void update();
    std::vector<PasteEntry> entries_;
    std::vector<int> shown_; // entry index of each row
};

class ObjectPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    ObjectPropertiesDialog(const EmbeddedObject& object, QWidget* parent = nullptr);

    QLabel* Type = nullptr;
    QLabel* Size = nullptr;
    QLabel* Source = nullptr;
    QPushButton* Button1 = nullptr; // "OK"
    QPushButton* Button2 = nullptr; // "Storno"
};

} // namespace zorim
