#include "forms/dialogs/GoToLineDialog.h"

#include "forms/dialogs/DialogStyle.h"
#include "settings/SettingsStore.h"
#include "settings/StateFiles.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <algorithm>
#include <limits>

namespace zorim {

// ---- SpinEdit -----------------------------------------------------------------------------

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    setValue(0);
}

int SpinEdit::valueOf(const QString& text)
{
    // A plain decimal integer with an optional sign; anything else, a number beyond the
    // range of int included, is 0.
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

int SpinEdit::Value() const { return valueOf(text()); }

void SpinEdit::setValue(int value) { lineEdit()->setText(QString::number(value)); }

void SpinEdit::stepBy(int steps)
{
    const qint64 next = qint64(Value()) + steps;
    setValue(int(std::clamp<qint64>(next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const { return StepUpEnabled | StepDownEnabled; }

QValidator::State SpinEdit::validate(QString& /*input*/, int& /*pos*/) const
{
    return QValidator::Acceptable; // pasted text stays as it is and counts as 0
}

void SpinEdit::keyPressEvent(QKeyEvent* event)
{
    // Typed characters only: shortcuts such as Ctrl+V (paste) pass on.
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && typed.size() == 1 && typed.at(0).isPrint()) {
        const QChar ch = typed.at(0);
        const bool allowed = ch.isDigit() || ch == u'+' || ch == u'-' || QLocale().decimalPoint().contains(ch);
        if (!allowed) {
            event->accept();
            return;
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

// ---- GoToLineDialog -------------------------------------------------------------------------------

GoToLineDialog::GoToLineDialog(Platform& platform, SettingsStore& settings, QWidget* parent)
    : ModalDialog(platform, parent), settings_(settings)
{
    dialog::setUpToolWindow(*this, QStringLiteral("Riadok"), 160, 140);
    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 137, 65);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Label1 = dialog::label(Panel1, {6, 8, 128, 16}, QStringLiteral("Prejsť na riadok:"), dialog::verdana(13, true));
    SpinEdit1 = new SpinEdit(Panel1);
    SpinEdit1->setGeometry(32, 32, 73, 23);
    SpinEdit1->setFont(dialog::verdana(12, true));
    SpinEdit1->setAccessibleName(QStringLiteral("Prejsť na riadok"));
    Button1 = dialog::button(this, {8, 80, 65, 25}, QStringLiteral("OK"), 13);
    Button2 = dialog::button(this, {80, 80, 65, 25}, QStringLiteral("Storno"), 13);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &GoToLineDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &GoToLineDialog::Button2Click);
    SpinEdit1->setFocus();
}

void GoToLineDialog::Button1Click()
{
    handOver([this] {
        settings_.writeInteger(statefile::GoToLine, SpinEdit1->Value());
    });
}

void GoToLineDialog::Button2Click() { reject(); }

} // namespace zorim
