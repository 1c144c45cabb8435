#include "forms/mainwindow/LineWrap.h"

#include "richtext/editor/RichEdit.h"
#include "richtext/layout/UnwrappedWidth.h"

#include <QTextEdit>

namespace zorim {

bool lineWrapping(const RichEdit& edit)
{
    return edit.widget()->lineWrapMode() == QTextEdit::WidgetWidth;
}

void setLineWrapping(RichEdit& edit, bool wrap)
{
    QTextEdit* view = edit.widget();
    if (wrap == lineWrapping(edit))
        return;
    stopFollowingWidestLine(view);
    if (wrap) {
        view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        view->setLineWrapMode(QTextEdit::WidgetWidth);
    } else {
        view->setWordWrapMode(QTextOption::NoWrap);
        view->setLineWrapColumnOrWidth(view->viewport()->width());
        view->setLineWrapMode(QTextEdit::FixedPixelWidth);
        followWidestLine(view);
    }
    view->ensureCursorVisible();
}

} // namespace zorim
