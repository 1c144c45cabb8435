#pragma once
// Line wrapping of the document view. Wrapped, lines break at the editor's right edge and
// there is no horizontal scroll bar; unwrapped, a paragraph stays on one line (apart from its
// own line breaks) and a horizontal scroll bar reaches the widest line.
namespace zorim {

class RichEdit;

bool lineWrapping(const RichEdit& edit);
// The document's content, formatting and selection are kept.
void setLineWrapping(RichEdit& edit, bool wrap);

} // namespace zorim
