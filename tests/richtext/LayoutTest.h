#pragma once
// A shown document control for the layout tests, with its document, its paragraph layout and
// a wait for the paragraphs above the ones asked for to settle.
#include "richtext/layout/ParagraphLayout.h"
#include "richtext/editor/RichEdit.h"
#include "richtext/editor/RichView.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
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
    // The document drawn into an image of that size the way the view draws it (black text on
    // white), with no selection and no caret.
    QImage drawn(QSize size)
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        QAbstractTextDocumentLayout::PaintContext ctx;
        ctx.palette.setColor(QPalette::Text, Qt::black);
        ctx.clip = QRectF(QPointF(0, 0), QSizeF(size));
        layout()->draw(&p, ctx);
        return image;
    }
    // Runs the event loop until the paragraphs above the ones asked for are laid out.
    bool settle()
    {
        QSignalSpy settled(layout(), &ParagraphLayout::settled);
        return layout()->isSettled() || settled.wait(10000);
    }
};

} // namespace zorim::test
