#include "html/TrodeDraw.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include "control/ItemFont.h"
#include "control/ModiControls.h"
#include "control/TextShaping.h"
#include "html/CssValues.h"

namespace kavel {

namespace {

constexpr TColor kWhite = 0xFFFFFF;

int Right(const QRect& r) {
    return r.x() + r.width();
}
int Bottom(const QRect& r) {
    return r.y() + r.height();
}
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

// The lines of an element's borders, solid ones of one colour gathered so that each such
// run goes to the page as one filled shape instead of one per pixel line.
class BorderLines {
  public:
    explicit BorderLines(QPainter& canvas) : canvas_(canvas) {}
    ~BorderLines() { Flush(); }

    // A one-pixel line over the pixels [from, to) of a row (horizontal) or a column.
    void Line(TColor color, TPenStyle style, bool horizontal, int at, int from, int to) {
        if (style == psClear || to <= from) return;
        if (style == psSolid) {
            if (!solid_.empty() && color != color_) Flush();
            color_ = color;
            solid_.push_back(horizontal ? QRectF(from, at, to - from, 1)
                                        : QRectF(at, from, 1, to - from));
            return;
        }
        Flush();
        QPen pen(ToQColor(color), 1, TPRNShape::QtPenStyle(style), Qt::FlatCap);
        canvas_.save();
        canvas_.setPen(pen);
        if (horizontal) {
            canvas_.drawLine(QPointF(from, at + 0.5), QPointF(to, at + 0.5));
        } else {
            canvas_.drawLine(QPointF(at + 0.5, from), QPointF(at + 0.5, to));
        }
        canvas_.restore();
    }

  private:
    void Flush() {
        if (solid_.empty()) return;
        const QPen pen = canvas_.pen();
        const QBrush brush = canvas_.brush();
        canvas_.setPen(Qt::NoPen);
        canvas_.setBrush(ToQColor(color_));
        canvas_.drawRects(solid_.data(), int(solid_.size()));
        canvas_.setBrush(brush);
        canvas_.setPen(pen);
        solid_.clear();
    }

    QPainter& canvas_;
    TColor color_ = 0;
    std::vector<QRectF> solid_;
};

// The four borders along r, one-pixel lines per unit of width, corners mitred.
void DrawBorders(QPainter& canvas, const TDPBord& b, const QRect& r) {
    const int wL = b.Widths[bsLeft], wT = b.Widths[bsTop];
    const int wR = b.Widths[bsRight], wB = b.Widths[bsBottom];
    const int left = r.x(), top = r.y(), right = Right(r), bottom = Bottom(r);
    // The common table cell, four one-pixel solid sides of one colour, is one outline: the
    // same pixels as its four lines, and one drawing instead of four.
    const bool outline =
        wL == 1 && wT == 1 && wR == 1 && wB == 1 && right - left >= 2 && bottom - top >= 2 &&
        std::all_of(std::begin(b.Styles), std::end(b.Styles),
                    [](TPenStyle s) { return s == psSolid; }) &&
        b.LeftColor == b.TopColor && b.LeftColor == b.RightColor && b.LeftColor == b.BottomColor;
    if (outline) {
        const QPen pen = canvas.pen();
        const QBrush brush = canvas.brush();
        canvas.setPen(QPen(ToQColor(b.LeftColor), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
        canvas.setBrush(brush);
        canvas.setPen(pen);
        return;
    }
    BorderLines lines(canvas);
    for (int i = 0; i < wL; ++i) {
        lines.Line(b.LeftColor, b.Styles[bsLeft], false, left + i, top + i * wT / wL,
                   bottom - 1 - i * wB / wL + 1);
    }
    for (int i = 0; i < wT; ++i) {
        lines.Line(b.TopColor, b.Styles[bsTop], true, top + i, left + i * wL / wT,
                   right - 1 - i * wR / wT + 1);
    }
    for (int i = 1; i <= wB; ++i) {
        lines.Line(b.BottomColor, b.Styles[bsBottom], true, bottom - i, left - 1 + i * wL / wB,
                   right - i * wR / wB);
    }
    for (int i = 1; i <= wR; ++i) {
        lines.Line(b.RightColor, b.Styles[bsRight], false, right - i, top - 1 + i * wT / wR,
                   bottom - i * wB / wR);
    }
}

// Characters of the CJK blocks (and their full-width forms and supplementary planes).
bool IsWide(const QString& text, int i) {
    const char16_t u = text.at(i).unicode();
    if (QChar::isSurrogate(u)) return true;
    return (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7AF) ||
           (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

// The fonts of a run, its own and the CJK face, with their metrics.
struct RunFonts {
    QFont font, wide;
    QFontMetricsF metrics, wideMetrics;
    double ascent, descent;  // kept: the metrics look the font engine up on every call
};

// Made once per face, size and style: a font made anew for each of thousands of table cells
// looks its face up in Qt's font cache again every time.
const RunFonts& FontsFor(const QString& name, int pixels, TFontStyles style, int weight,
                         bool shaping) {
    using Key = std::tuple<QString, int, int, int, bool>;
    static std::map<Key, RunFonts>* const cache = [] {
        auto* fonts = new std::map<Key, RunFonts>;
        // Fonts are let go while the application that made them is still there.
        qAddPostRoutine([] { cache->clear(); });
        return fonts;
    }();
    const Key key{name, pixels, int(style), weight, shaping};
    if (const auto found = cache->find(key); found != cache->end()) return found->second;
    if (cache->size() >= 256) cache->clear();
    QFont font = ItemFont(name, 1, style, 96);
    font.setPixelSize(pixels);
    font.setWeight(FaceWeight(weight));
    // As text items: glyphs straight from the font's map unless the script needs shaping.
    font.setStyleStrategy(shaping ? QFont::PreferDefault : QFont::PreferNoShaping);
    QFont wide = font;
    wide.setFamily(kDefaultFontName);
    const QFontMetricsF metrics(font);
    return cache
        ->emplace(key, RunFonts{font, wide, metrics, QFontMetricsF(wide), metrics.ascent(),
                                metrics.descent()})
        .first->second;
}

// How a box lies against the window [wt, wb) of a slice.
enum class Cut { Whole, StartsHere, Middle, EndsHere };

Cut CutOf(const QRect& r, int wt, int wb) {
    const bool topIn = r.y() >= wt, bottomIn = Bottom(r) <= wb;
    if (topIn) return bottomIn ? Cut::Whole : Cut::StartsHere;
    return bottomIn ? Cut::EndsHere : Cut::Middle;
}

class SliceDrawer {
  public:
    SliceDrawer(QPainter* canvas, QPoint origin, int foot, int head, int pass, int y, int h,
                int ppi)
        : canvas_(canvas),
          origin_(origin),
          foot_(foot),
          head_(head),
          pass_(pass),
          y_(y),
          h_(h),
          ppi_(ppi),
          wt_(origin.y()),
          wb_(origin.y() + h) {}

    int Root(TPRNTrode& node) {
        int reached = y_;
        if (node.TagName == node.PartTag) PartBox(node);
        Children(node, reached);
        return reached;
    }

  private:
    void BoxAt(const TPRNTrode& node, const QRect& r) {
        if (canvas_) DrawElementBox(*canvas_, node, r);
    }
    void PictureAt(const TPRNTrode& node, int top, int height, const QRect& dest) {
        if (canvas_) DrawPicturePart(*canvas_, node, top, height, dest);
    }
    void InteriorAt(const TPRNTrode& node, const QRect& r) {
        if (canvas_) FillPictureInterior(*canvas_, node, r);
    }
    void TextAt(const TPRNTrode& node, const QRect& r, const QString& text, int ppi, bool input) {
        if (canvas_) DrawTextRun(*canvas_, node, r, text, ppi, input);
    }

    bool TablePart(const TPRNTrode& node) const { return node.PartTag == QLatin1String("table"); }

    void PartBox(TPRNTrode& node) {
        QRect r = node.Bounds.translated(origin_);
        if (r.height() > h_) r.setHeight(h_);
        const int rest = node.ContentBottom - y_;
        const bool last = rest <= r.height();
        if (last) r.setHeight(std::max(0, rest));
        if (TablePart(node)) {
            const TDPBord& b = node.Border;
            const int cs = node.CellSpacing;
            int top = r.y(), bottom = Bottom(r);
            if (y_ <= 0) {
                top -= head_;
                bottom += foot_ + b.Widths[bsBottom] + 2 * cs;
            } else {
                top -= head_ + b.Widths[bsTop] + cs;
                bottom += last ? b.Widths[bsBottom] + cs : foot_ + cs;
            }
            r = Edges(r.x(), top, Right(r), bottom);
        }
        if (TablePart(node) || node.PartTag == QLatin1String("body")) {
            BoxAt(node, r);
        }
        node.DrawPass = pass_;
    }

    void Picture(TPRNTrode& c, const QRect& r, int& reached) {
        const int bottom = c.Bounds.y() + c.Bounds.height();
        switch (CutOf(r, wt_, wb_)) {
            case Cut::Whole:
                PictureAt(c, 0, c.PictureHeight, r);
                if (c.HasText) InteriorAt(c, r);
                reached = std::max(reached, bottom);
                c.DrawPass = pass_;
                break;
            case Cut::StartsHere:
                PictureAt(c, 0, wb_ - r.y(), Edges(r.x(), r.y(), Right(r), wb_));
                reached = std::max(reached, y_ + h_);
                c.DrawPass = pass_ - 2;
                break;
            case Cut::Middle:
                PictureAt(c, wt_ - r.y(), h_, Edges(r.x(), wt_, Right(r), wb_));
                reached = std::max(reached, y_ + h_);
                break;
            case Cut::EndsHere:
                if (Bottom(r) > wt_) {
                    PictureAt(c, wt_ - r.y(), Bottom(r) - wt_,
                              Edges(r.x(), wt_, Right(r), Bottom(r)));
                }
                reached = std::max(reached, bottom);
                c.DrawPass = pass_;
                break;
        }
    }

    void Box(TPRNTrode& c, const QRect& r, bool tablePart, int& reached) {
        const int bottom = c.Bounds.y() + c.Bounds.height();
        const Cut cut = CutOf(r, wt_, wb_);
        if (tablePart) {
            // Cells that cross the page are left to the row walk of the table.
            if (cut == Cut::Whole) {
                BoxAt(c, r);
                reached = std::max(reached, bottom);
                c.DrawPass = pass_;
            }
            return;
        }
        const bool table = c.TagName == QLatin1String("table");
        const int wT = table ? c.Border.Widths[bsTop] : 0;
        const int wB = table ? c.Border.Widths[bsBottom] : 0;
        switch (cut) {
            case Cut::Whole:
                BoxAt(c, r);
                reached = std::max(reached, bottom);
                c.DrawPass = pass_;
                break;
            case Cut::StartsHere:
                BoxAt(c, Edges(r.x(), r.y(), Right(r), wb_ + wB));
                reached = std::max(reached, y_ + h_);
                c.DrawPass = pass_ - 2;
                break;
            case Cut::Middle:
                BoxAt(c, Edges(r.x(), wt_ - wT, Right(r), wb_ + wB));
                reached = std::max(reached, y_ + h_);
                break;
            case Cut::EndsHere:
                BoxAt(c, Edges(r.x(), wt_ - wT, Right(r), Bottom(r)));
                reached = std::max(reached, bottom);
                c.DrawPass = pass_;
                break;
        }
    }

    void Runs(TPRNTrode& c, bool tablePart, int& reached) {
        const bool input = c.TagName == QLatin1String("input");
        for (TLineText& run : c.Runs) {
            if (run.DrawPass >= pass_) continue;
            const QRect r = run.Rect.translated(origin_.x(), origin_.y() - y_);
            const int needed = tablePart ? r.height() : r.height() / 2;
            // A line goes on the page that holds its middle (a table's: all of it).
            if (tablePart ? r.y() + needed > wb_ : r.y() + needed >= wb_) continue;
            TextAt(c, r, run.Text, ppi_, input);
            run.DrawPass = pass_;
            reached = std::max(reached, Bottom(run.Rect));
        }
    }

    void Children(TPRNTrode& node, int& reached) {
        const bool tablePart = TablePart(node);
        for (const auto& child : node.Children) {
            if (!child || !child->Visible) continue;
            TPRNTrode& c = *child;
            const QRect r = c.Bounds.translated(origin_.x(), origin_.y() - y_);
            const int k = pass_ - c.DrawPass;
            if (r.y() < wb_ && k > 0) {
                if (c.PictureWidth > 0) {
                    Picture(c, r, reached);
                } else if (c.NodeType == 1 && !IsTableStructure(c.TagName)) {
                    Box(c, r, tablePart, reached);
                }
            }
            if (c.NodeType == 1) Children(c, reached);
            Runs(c, tablePart, reached);
        }
    }

    QPainter* canvas_;  // null: measuring only
    QPoint origin_;
    int foot_, head_, pass_, y_, h_, ppi_;
    int wt_, wb_;
};

}  // namespace

void DrawTextRun(QPainter& canvas, const TPRNTrode& node, const QRect& r, const QString& text,
                 int ppi, bool inputValue) {
    if (text.trimmed().isEmpty()) return;
    // Text is drawn in a font sixteen times the size, scaled down: font sizes come in whole
    // pixels, the browser's in fractions (10 pt is 13.33 px).
    constexpr double kFine = 16;
    const double pixels = node.FontSize / 10.0 * ppi / 72.0;
    const int weight = node.WeightDelta + ((node.FontStyle & fsBold) ? 700 : 400);
    // Chinese, Japanese and Korean characters are drawn in the control's CJK face, each
    // stretch on its own: recorded pages keep one font per piece of text, and a piece that
    // fell back to another face would come back on another baseline.
    const RunFonts& fonts = FontsFor(node.FontName, std::max(1, int(std::lround(pixels * kFine))),
                                     node.FontStyle, std::max(100, weight), TextNeedsShaping(text));
    const QFont &font = fonts.font, &wide = fonts.wide;
    std::vector<std::pair<QString, bool>> pieces;
    // Text already in that face is one piece.
    if (font.family() == wide.family()) pieces.emplace_back(text, false);
    for (int i = pieces.empty() ? 0 : int(text.size()); i < text.size();) {
        const bool isWide = IsWide(text, i);
        int j = i + 1;
        while (j < text.size() && IsWide(text, j) == isWide) ++j;
        pieces.emplace_back(text.mid(i, j - i), isWide);
        i = j;
    }
    const QFontMetricsF &metrics = fonts.metrics, &wideMetrics = fonts.wideMetrics;
    const auto advanceOf = [&](const std::pair<QString, bool>& piece) {
        return (piece.second ? wideMetrics : metrics).horizontalAdvance(piece.first);
    };
    // The baseline from the node's own face, as the browser places it.
    const double width = r.width() * kFine, height = r.height() * kFine;
    double x = 0;
    const double ascent = fonts.ascent, descent = fonts.descent;
    double baseline = (height - ascent - descent) / 2 + ascent;
    if (inputValue) {
        double advance = 0;
        for (const auto& piece : pieces) advance += advanceOf(piece);
        if (node.HorzAlign == kAlignRight) x = width - advance;
        if (node.HorzAlign == kAlignCenter) x = (width - advance) / 2;
        if (node.VertAlign == kAlignTop) baseline = ascent;
        if (node.VertAlign == kAlignBottom) baseline = height - descent;
    }
    // Only what is changed here is put back: saving the painter's whole state for each of
    // thousands of table cells costs more than drawing their text.
    const QTransform transform = canvas.worldTransform();
    const QPen pen = canvas.pen();
    const QFont previous = canvas.font();
    canvas.translate(r.topLeft());
    canvas.scale(1 / kFine, 1 / kFine);
    canvas.setPen(ToQColor(node.FontColor));
    for (size_t i = 0; i < pieces.size(); ++i) {
        canvas.setFont(pieces[i].second ? wide : font);
        canvas.drawText(QPointF(x, baseline), pieces[i].first);
        if (i + 1 < pieces.size()) x += advanceOf(pieces[i]);
    }
    canvas.setFont(previous);
    canvas.setPen(pen);
    canvas.setWorldTransform(transform);
}

void FillBox(QPainter& canvas, TColor color, const QRect& r) {
    if (r.width() > 0 && r.height() > 0) canvas.fillRect(r, ToQColor(color));
}

void DrawElementBox(QPainter& canvas, const TPRNTrode& node, const QRect& r) {
    if (node.BackColor != kWhite) FillBox(canvas, node.BackColor, r);
    DrawBorders(canvas, node.Border, r);
}

void FillPictureInterior(QPainter& canvas, const TPRNTrode& node, const QRect& r) {
    const TDPBord& b = node.Border;
    const QRect inside = Edges(r.x() + b.Widths[bsLeft] + 1, r.y() + b.Widths[bsTop] + 1,
                               r.x() + node.Bounds.width() - b.Widths[bsRight] - 1,
                               r.y() + node.Bounds.height() - b.Widths[bsBottom] - 1);
    FillBox(canvas, node.BackColor, inside);
}

void DrawPicturePart(QPainter& canvas, const TPRNTrode& node, int top, int height,
                     const QRect& dest) {
    const QImage& picture = node.Picture;
    if (picture.isNull() || node.PictureWidth <= 0 || node.PictureHeight <= 0 || height <= 0 ||
        dest.isEmpty()) {
        return;
    }
    const double sy = double(picture.height()) / node.PictureHeight;
    const QRectF source(0, top * sy, picture.width(), height * sy);
    const QRect pixels = source.toAlignedRect() & picture.rect();
    if (pixels.isEmpty()) return;
    canvas.drawImage(QRectF(dest), picture.copy(pixels), source.translated(-pixels.topLeft()));
}

void DrawTableFrame(QPainter& canvas, const TPRNTrode& table, const QRect& frame) {
    const TDPBord& b = table.Border;
    const int cs = table.CellSpacing;
    // With shared borders the cells' outer lines are the table's.
    const QRect outer =
        table.CollapsedBorders
            ? frame
            : Edges(frame.x() - b.Widths[bsLeft] - cs, frame.y() - b.Widths[bsTop] - cs,
                    Right(frame) + b.Widths[bsRight] + cs, Bottom(frame) + b.Widths[bsBottom] + cs);
    if (table.BackColor != kWhite) {
        FillBox(canvas, table.BackColor, Edges(outer.x(), outer.y(), frame.x(), Bottom(outer)));
        FillBox(canvas, table.BackColor, Edges(outer.x(), outer.y(), Right(outer), frame.y()));
        FillBox(canvas, table.BackColor,
                Edges(outer.x(), Bottom(frame), Right(outer), Bottom(outer)));
        FillBox(canvas, table.BackColor,
                Edges(Right(frame), outer.y(), Right(outer), Bottom(outer)));
    }
    DrawBorders(canvas, b, outer);
}

int DrawDocumentSlice(QPainter* canvas, TPRNTrode& node, QPoint origin, int footHeight,
                      int headHeight, int pass, int y, int h, int ppi) {
    return SliceDrawer(canvas, origin, footHeight, headHeight, pass, y, h, ppi).Root(node);
}

}  // namespace kavel
