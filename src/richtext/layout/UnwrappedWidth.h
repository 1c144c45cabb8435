#pragma once
// The page of a view whose lines are not wrapped: laid out as wide as the widest line, so that
// the view's own horizontal scroll bar reaches it, and measured as the document is laid out.
class QTextEdit;

namespace zorim {

// The view's page width (its fixed line-wrap width) follows the widest laid-out line from now on.
void followWidestLine(QTextEdit* view);
void stopFollowingWidestLine(QTextEdit* view);

} // namespace zorim
