#pragma once
// A document laid out in lines and pages by ParagraphLayout: what a view shows, and what
// anything else that asks a document for its lines or pages makes.
#include "richtext/document/RichDocument.h"
#include "richtext/layout/ParagraphLayout.h"

namespace zorim {

class LaidOutDocument : public RichDocument {
public:
    explicit LaidOutDocument(QObject* parent = nullptr, Layout layout = Layout::Made)
        : RichDocument(parent, layout, ParagraphLayout::maker())
    {
    }
};

} // namespace zorim
