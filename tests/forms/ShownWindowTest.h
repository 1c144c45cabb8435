#pragma once
// The main window started and shown, with typing into the document as the keyboard delivers
// it: each character with its text, Slovak ones too.
#include "FormsTestSupport.h"

#include <QTextEdit>
#include <QtTest/QTest>

namespace zorim::test {

class ShownWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        form = start();
        form->show();
    }
    void type(const QString& text)
    {
        typeText(form->RichEdit1->widget(), text);
    }

    std::unique_ptr<MainWindow> form;
};

} // namespace zorim::test
