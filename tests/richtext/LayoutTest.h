#pragma once
// A shown document control for the layout tests, with its document, its paragraph layout and
// a wait for the paragraphs above the ones asked for to settle.
#include "richtext/ParagraphLayout.h"
#include "richtext/RichEdit.h"
#include "richtext/RichView.h"

#include <QSignalSpy>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace zorim::test {

struct Layout : ::testing::Test {
    RichEdit edit;
    void SetUp() override
    {
        edit.resize(400, 300);
        edit.show();
    }
    QTextDocument* doc() { return edit.view().document(); }
    ParagraphLayout* layout() { return qobject_cast<ParagraphLayout*>(doc()->documentLayout()); }
    // Runs the event loop until the paragraphs above the ones asked for are laid out.
    bool settle()
    {
        QSignalSpy settled(layout(), &ParagraphLayout::settled);
        return layout()->isSettled() || settled.wait(10000);
    }
};

} // namespace zorim::test
