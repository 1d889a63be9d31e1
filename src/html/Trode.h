// The converted form of a laid-out HTML document: a tree of nodes that page drawing replays
// on any canvas without the browser. Every element keeps its rectangle (item coordinates, in
// the control's pixels), font, colours, alignment, visibility and borders; every piece of
// text keeps the rectangles the browser gave its lines. The control never breaks lines.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "control/ItemTypes.h"
#include "platform/Color.h"
#include "platform/LaidOutDocument.h"

namespace kavel {

// One piece of text on one line, where the browser put it.
struct TLineText {
    QString Text;
    QRect Rect;
    int DrawPass = 0;       // the pass in which the paged drawing output it
    bool WideFont = false;  // starts with a double-byte character
    bool Printed = false;   // output by the table row walk in this output
};

// The borders of an element: widths and pen styles left, top, right, bottom.
struct TDPBord {
    std::array<int, 4> Widths{};
    TColor LightColor = 0;
    TColor DarkColor = 0;
    TColor LeftColor = 0, RightColor = 0, TopColor = 0, BottomColor = 0;
    std::array<TPenStyle, 4> Styles{psSolid, psSolid, psSolid, psSolid};
    QString BorderAttr;
    QString BorderColorAttr;
    QString BorderColorLightAttr;
    QString BorderColorDarkAttr;
};

// Rows and row groups: they draw no box of their own, their cells do.
inline bool IsTableStructure(const QString& tag) {
    return tag == QLatin1String("tr") || tag == QLatin1String("tbody") ||
           tag == QLatin1String("thead") || tag == QLatin1String("tfoot");
}

enum TBorderSide { bsLeft = 0, bsTop = 1, bsRight = 2, bsBottom = 3 };

class TPRNTrode {
  public:
    int BaseFontSize = 120;  // tenths of a point, of the root
    QString SkipTag;
    QString PartTag;
    int OriginX = 0, OriginY = 0;
    QString TagName;  // lower case; "#text" for text
    QString TagPath;
    NodeId Element = kNoNode;
    QString Text;  // a text node's value; an element's text only where it was needed
    QRect Bounds;
    TDPBord Border;
    int PictureWidth = 0, PictureHeight = 0;
    QImage Picture;    // an element printed as a picture, taken when the tree was built
    int NodeType = 1;  // 1 element, 3 text
    int HorzAlign = 0;
    int VertAlign = 8;
    int CellSpacing = 2;
    bool Visible = true;
    bool StrikeOut = false;
    bool HasText = true;
    bool PrintedMark = false;
    bool CollapsedBorders = false;  // a table or cell whose borders its neighbours share
    int Escapement = 0;
    int WeightDelta = 0;
    QString FontName;
    TColor FontColor = 0;
    int FontSize = 120;  // tenths of a point
    TFontStyles FontStyle = 0;
    TColor BackColor = 0xFFFFFF;  // white: no background
    std::vector<std::unique_ptr<TPRNTrode>> Children;
    std::vector<TLineText> Runs;
    int ContentBottom = 0;
    int DrawPass = 0;
};

}  // namespace kavel
