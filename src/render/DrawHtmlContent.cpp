#include "render/DrawHtmlContent.h"

#include <algorithm>
#include <climits>

#include "control/ModiControls.h"
#include "html/TrodeDraw.h"
#include "html/WebFormUnit.h"

namespace kavel {

namespace {

constexpr int kFar = 1 << 24;

bool IsRowGroup(const QString& tag) {
    return tag == QLatin1String("tbody") || tag == QLatin1String("thead");
}

TkvlWebForm* FormOf(const TModiControl& item) {
    return qobject_cast<TkvlWebForm*>(item.ConvertedContent.get());
}

int Bottom(const QRect& r) {
    return r.y() + r.height();
}

// The rectangle everything drawn for a table on this page covers; empty until something is.
class Frame {
  public:
    Frame(int left, int top) : left_(left), top_(top), right_(left), bottom_(top) {}
    void Add(const QRect& r) {
        if (r.width() <= 0 || r.height() <= 0) return;
        if (empty_) {
            left_ = r.x(), top_ = r.y(), right_ = r.x() + r.width(), bottom_ = Bottom(r);
            empty_ = false;
            return;
        }
        left_ = std::min(left_, r.x());
        top_ = std::min(top_, r.y());
        right_ = std::max(right_, r.x() + r.width());
        bottom_ = std::max(bottom_, Bottom(r));
    }
    void Add(const Frame& other) {
        if (!other.empty_) Add(other.Rect());
    }
    int BottomEdge() const { return bottom_; }
    bool Empty() const { return empty_; }
    QRect Rect() const { return QRect(left_, top_, right_ - left_, bottom_ - top_); }

  private:
    int left_, top_, right_, bottom_;
    bool empty_ = true;
};

// A row is filled with its own background, else the table's.
TColor RowColor(const TPRNTrode& row, TColor table) {
    return row.BackColor != 0xFFFFFF ? row.BackColor : table;
}

struct Painting {
    QPainter* canvas;  // null: measuring only
    int ppi;
    // Runs that reach below this page line wait for the next page (a row taller than a page
    // is printed in parts, each line whole on one page).
    int runLimit = INT_MAX;
};

// The runs of a node, moved by `offset`.
void DrawRuns(const Painting& p, TPRNTrode& c, QPoint offset, Frame& frame, bool markPrinted) {
    const bool input = c.TagName == QLatin1String("input");
    for (TLineText& run : c.Runs) {
        const QRect r = run.Rect.translated(offset);
        if (markPrinted) {
            if (run.Printed || r.y() + r.height() > p.runLimit) continue;
            run.Printed = true;
        }
        if (p.canvas) DrawTextRun(*p.canvas, c, r, run.Text, p.ppi, input);
        frame.Add(r);
    }
}

void DrawPicture(const Painting& p, TPRNTrode& c, const QRect& r) {
    if (!p.canvas) return;
    DrawPicturePart(*p.canvas, c, 0, c.PictureHeight, r);
    if (c.HasText) FillPictureInterior(*p.canvas, c, r);
}

// Draws a node and all it holds, moved by `offset`: a row (or anything else) the row walk
// took, or a part of a head or foot. Runs of taken rows are marked as printed.
void DrawTaken(const Painting& p, TPRNTrode& c, QPoint offset, bool top, TColor background,
               Frame& frame, bool markPrinted = true) {
    const QRect r = c.Bounds.translated(offset);
    // A row without a background of its own or of its table is not painted white: that would
    // wipe a cell reaching down from a row above (rowspan).
    if (top && c.TagName == QLatin1String("tr") && p.canvas &&
        RowColor(c, background) != 0xFFFFFF) {
        FillBox(*p.canvas, RowColor(c, background), r);
    }
    if (c.PictureWidth >= 1) {
        DrawPicture(p, c, r);
        frame.Add(r);
    } else if (c.NodeType == 1) {
        if (!IsTableStructure(c.TagName)) {
            if (p.canvas) DrawElementBox(*p.canvas, c, r);
            frame.Add(r);
        }
        for (const auto& inner : c.Children) {
            if (!inner || !inner->Visible) continue;
            if (inner->TagName == QLatin1String("table")) background = inner->BackColor;
            DrawTaken(p, *inner, offset, false, background, frame, markPrinted);
        }
    }
    DrawRuns(p, c, offset, frame, markPrinted);
}

// A head or foot, drawn whole at `at`.
void DrawPart(const Painting& p, TPRNTrode& node, QPoint at, TColor background, Frame& frame) {
    for (const auto& child : node.Children) {
        if (!child || !child->Visible) continue;
        if (child->TagName == QLatin1String("table")) background = child->BackColor;
        DrawTaken(p, *child, at, true, background, frame, false);
    }
}

// The rows of a table body that fit above `limit` (tree coordinates), in order; a row that
// does not fit ends the page. Row groups are walked through.
class RowWalk {
  public:
    // Rows are drawn moved by `offset`; the page's rows start at `top` (page coordinates).
    RowWalk(const Painting& p, QPoint offset, int top, int limit)
        : p_(p), offset_(offset), top_(top), limit_(limit) {}

    void Walk(TPRNTrode& node, TColor background) {
        for (const auto& child : node.Children) {
            if (stopped_) return;
            if (!child || !child->Visible) continue;
            TPRNTrode& c = *child;
            if (c.TagName == QLatin1String("tfoot")) continue;  // drawn on its own
            if (c.TagName == QLatin1String("table")) background = c.BackColor;
            if (IsRowGroup(c.TagName) && !c.PrintedMark) {
                Walk(c, background);
                if (!stopped_) c.PrintedMark = true;
                continue;
            }
            if (c.PrintedMark) continue;
            const int b = Bottom(c.Bounds);
            if (b > limit_ && (taken_ > 0 || !takeOneAnyway_)) {
                finished_ = false;
                stopped_ = true;
                return;
            }
            ++taken_;
            if (b > limit_) {
                TakePart(c, background);
                return;
            }
            progress_ = std::max(progress_, b);
            c.PrintedMark = true;
            DrawTaken(p_, c, offset_, true, background, frame_);
        }
    }

    // Walks again when nothing fitted: a row taller than the page is taken whole rather
    // than never.
    void Retry() {
        takeOneAnyway_ = true;
        finished_ = true;
        stopped_ = false;
    }
    int Taken() const { return taken_; }
    bool Finished() const { return finished_; }
    int Progress(int given) const { return std::max(given, progress_); }
    const Frame& Drawn() const { return frame_; }

  private:
    // A row taller than the room on a page: what lies above the page's end is drawn (its
    // boxes cut there, its lines whole on the page that holds their middle), and the rest
    // goes on the next page.
    void TakePart(TPRNTrode& row, TColor background) {
        const int pageEnd = offset_.y() + limit_;
        Painting part = p_;
        part.runLimit = pageEnd;
        if (part.canvas) {
            part.canvas->save();
            const QRect rect = row.Bounds.translated(offset_);
            part.canvas->setClipRect(
                QRect(rect.x() - 2, top_ - 1, rect.width() + 4, pageEnd - top_ + 1),
                Qt::IntersectClip);
        }
        Frame drawn(0, 0);
        DrawTaken(part, row, offset_, true, background, drawn);
        if (part.canvas) part.canvas->restore();
        if (!drawn.Empty()) {
            const QRect r = drawn.Rect();
            frame_.Add(
                QRect(r.x(), r.y(), r.width(), std::min(r.y() + r.height(), pageEnd) - r.y()));
        }
        progress_ = std::max(progress_, limit_);
        finished_ = false;
        stopped_ = true;
    }

    const Painting& p_;
    QPoint offset_;
    int top_;
    int limit_;
    int taken_ = 0;
    int progress_ = INT_MIN;
    bool finished_ = true;
    bool stopped_ = false;
    bool takeOneAnyway_ = false;
    Frame frame_{0, 0};
};

}  // namespace

void ClearMarks(TPRNTrode& node) {
    for (const auto& c : node.Children) {
        if (!c) continue;
        c->PrintedMark = false;
        for (TLineText& run : c->Runs) run.Printed = false;
        if (c->NodeType == 1) ClearMarks(*c);
    }
}

bool DrawHtmlDocument(TModiControl& item, const DrawContext& ctx, int t) {
    TkvlWebForm* form = FormOf(item);
    if (!form || !form->FBodyTree) return true;
    TPRNTrode& root = *form->FBodyTree;
    const int progress = item.intPrintProgress;
    // Measuring runs the same slices as drawing, so that both count the same pages.
    const int pass = root.DrawPass + (progress == 0 ? 3 : 0);
    const int reached =
        DrawDocumentSlice(ctx.draw ? ctx.canvas : nullptr, root, QPoint(item.intPrintLeft, t), 0, 0,
                          pass, progress, item.intPrintHeight, ctx.ppi);
    if (reached <= progress) return true;  // no progress: nothing more will come
    item.intPrintProgress = reached;
    return reached >= root.ContentBottom;
}

bool DrawHtmlTable(TModiControl& item, const DrawContext& ctx, int t) {
    TkvlWebForm* form = FormOf(item);
    if (!form || !form->FBodyTree) return true;
    TPRNTrode& body = *form->FBodyTree;
    if (item.blTableDone || item.intPrintProgress == 0) {
        ClearMarks(body);
        item.blTableDone = false;
    }
    const Painting p{ctx.canvas && ctx.draw ? ctx.canvas : nullptr, ctx.ppi};
    const TDPBord& border = body.Border;
    const int cs = body.CellSpacing;
    const int x = item.intPrintLeft;
    TPRNTrode* head = form->FTheadTree.get();
    TPRNTrode* foot = form->FTfootTree.get();
    const int headHeight = head ? head->ContentBottom : 0;
    const int footHeight = foot ? foot->ContentBottom : 0;
    const bool firstPage = item.intPrintProgress == 0;
    // A head taller than half the page is printed once, so that rows still find room.
    const bool withHead = headHeight > 0 && (firstPage || 2 * headHeight < item.intPrintHeight);

    Frame frame(x + cs, t);
    int progress = item.intPrintProgress;
    // Head and foot stand where the browser put them against the table's left edge (their
    // trees count from their own left edges, the body's from the table's).
    const auto partLeft = [&](const TPRNTrode& part) {
        return x - border.Widths[bsLeft] + body.OriginX - part.OriginX;
    };
    if (withHead) DrawPart(p, *head, QPoint(partLeft(*head), t), body.BackColor, frame);
    if (progress == 0) progress = (headHeight > 0 ? cs : 0) + border.Widths[bsTop];

    // Rows go where the browser put them below the head, as far as the page leaves room
    // above the foot and the table's bottom edge.
    const int bodyTop = withHead ? std::max(frame.BottomEdge(), t + headHeight) : t;
    // At least a quarter of the item's height goes to rows, so that a head and foot that
    // leave no room still let the table end.
    const int room =
        std::max({t + item.intPrintHeight - bodyTop - footHeight - border.Widths[bsBottom] - 2 * cs,
                  item.intPrintHeight / 4, 1});
    const QPoint offset(x - border.Widths[bsLeft], bodyTop - progress);
    RowWalk walk(p, offset, bodyTop, progress + room);
    // A row that went on from the page before shows only what lies below the head.
    if (p.canvas) {
        p.canvas->save();
        p.canvas->setClipRect(QRect(-kFar, bodyTop - 1, 2 * kFar, 2 * kFar), Qt::IntersectClip);
    }
    walk.Walk(body, body.BackColor);
    if (walk.Taken() == 0 && !walk.Finished()) {
        walk.Retry();
        walk.Walk(body, body.BackColor);
    }
    if (p.canvas) p.canvas->restore();
    if (!walk.Drawn().Empty()) {
        // A row that went on from the page before counts from the top of this page's rows.
        const QRect d = walk.Drawn().Rect();
        const int top = std::max(d.y(), bodyTop);
        frame.Add(QRect(d.x(), top, d.width(), d.y() + d.height() - top));
    }
    item.intPrintProgress = walk.Progress(progress);

    if (foot && footHeight > 0) {
        // Below the last row taken, as the browser puts the foot after a row (shared borders
        // overlap: the frame's bottom would be a line too low).
        const int footTop =
            walk.Taken() > 0 ? offset.y() + item.intPrintProgress + cs : frame.BottomEdge() + cs;
        DrawPart(p, *foot, QPoint(partLeft(*foot), footTop), body.BackColor, frame);
    }
    if (p.canvas && !frame.Empty()) DrawTableFrame(*p.canvas, body, frame.Rect());
    if (walk.Finished()) {
        item.blTableDone = true;
        return true;
    }
    return false;
}

}  // namespace kavel
