#pragma once
// GoToLineDialog: go to line. One instance, created at start-up, lives until the program ends; the
// spin field keeps its value between showings. "OK" hands the number to the go-to-line
// command through the state file riadok.ini; "Storno" and the close box write nothing.
#include <QAbstractSpinBox>
#include "forms/dialogs/ModalDialog.h"

class QFrame;
class QLabel;
class QPushButton;

namespace zorim {

class Platform;
class SettingsStore;

// A whole-number field with up and down arrows and no bounds. Typing takes digits, signs and
// the regional decimal separator; other text can still arrive by pasting. Its value is its
// text read as a decimal integer; any other text counts as 0.
class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget* parent = nullptr);
    int Value() const;
    void setValue(int value);
    void stepBy(int steps) override;
    using QAbstractSpinBox::lineEdit; // the text as typed

    // The value of a text as the field reads it.
    static int valueOf(const QString& text);

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
};

class GoToLineDialog : public ModalDialog {
    Q_OBJECT
public:
    GoToLineDialog(Platform& platform, SettingsStore& settings, QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    SpinEdit* SpinEdit1 = nullptr;
    QPushButton* Button1 = nullptr; // "OK"
    QPushButton* Button2 = nullptr; // "Storno"

    void Button1Click();
    void Button2Click();

private:
    SettingsStore& settings_;
};

} // namespace zorim
