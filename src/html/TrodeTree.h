// Building the converted tree of a laid-out document (Trode.h) from the document mirror.
#pragma once

#include <QString>
#include <memory>

#include "html/Trode.h"

namespace kavel {

class BrowserPage;

// Nesting deeper than this is left out of a tree (and said so): the tree is walked
// recursively when it is built, drawn and freed.
constexpr int kMaxTreeDepth = 1000;

struct TreeSource {
    const LaidOutDocument& document;
    BrowserPage* page = nullptr;  // for the pictures of picture elements; none: no pictures
    int pixelsPerInch = 96;       // the control's pixels, in which the tree's rectangles are
    QString* problem = nullptr;   // what was left out, if anything
};

// The tree of the part `partTag` of the shallowest `startTag` element ("body" for the whole
// body); `skipTag` names one element to leave out (the head of a table whose body is
// converted), `offset` how far the part's content is shifted up. An empty root when the
// start or part element is not there; null when the document has no body.
std::unique_ptr<TPRNTrode> BuildTrodeTree(const TreeSource& source, const QString& startTag,
                                          const QString& partTag, const QString& skipTag,
                                          int offset);

// Of the elements under `node` with the tag, the one with the fewest steps up to it (the
// first in document order among equals); kNoNode when there is none.
NodeId FindShallowestByTag(const LaidOutDocument& document, NodeId node, const QString& tag);

// The tree as text, a line per printed node: tag path, rectangle, font, colours, borders and
// runs (for tests and for looking at a conversion).
QString DumpTrodeTree(const TPRNTrode& root);

// The borders of an element, from its computed style and border attributes; `parent` gives
// the inherited border colour attributes.
TDPBord BuildBorder(const LaidOutDocument& document, NodeId element, const TDPBord* parent,
                    int pixelsPerInch);

}  // namespace kavel
