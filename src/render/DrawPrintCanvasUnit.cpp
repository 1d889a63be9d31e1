#include "render/DrawPrintCanvasUnit.h"

#include <QFontMetrics>
#include <algorithm>
#include <climits>
#include <cmath>

#include "control/ItemFont.h"
#include "control/TextShaping.h"
#include "control/Units.h"
#include "platform/Variant.h"
#include "render/DrawHtmlContent.h"

namespace kavel {

namespace {

// Characters of one line that are drawn at the most: far more than any paper holds.
constexpr qsizetype kMaxLineDrawn = 4096;

// Offset of a text within a width, measured with the given metrics.
int AlignOffsetWith(const QFontMetrics& metrics, const QString& text, TAlignment alignment,
                    int width) {
    const int64_t w = metrics.horizontalAdvance(text);
    int64_t offset = 0;
    if (alignment == taRightJustify) offset = width - w;
    if (alignment == taCenter) offset = (width - w) / 2;
    return ClampToInt(std::max<int64_t>(0, offset));
}

// The font that text output draws with: the canvas font with its weight raised.
QFont TextOutputFont(const QFont& base, int weightIncrease, bool shaping) {
    QFont font = base;
    const int weight = std::max(100, (base.bold() ? 700 : 400) + weightIncrease);
    font.setWeight(FaceWeight(weight));
    font.setStyleStrategy(shaping ? QFont::PreferDefault : QFont::PreferNoShaping);
    return font;
}

// Reached test and page-relative top, shared by every routine but the page-number text.
bool Reached(const TModiControl& item, const DrawContext& ctx, int* top) {
    if (static_cast<int64_t>(item.intPrintTop) > static_cast<int64_t>(ctx.page) * ctx.pageHeight) {
        return false;
    }
    int t = item.intPrintTop;
    if (ctx.pageHeight > 0 && t > ctx.pageHeight) {
        t -= (t - 1) / ctx.pageHeight * ctx.pageHeight;  // subtract H while H < t
    }
    *top = t;
    return true;
}

bool DrawText(TModiControl& item, TTextContent& edit, const DrawContext& ctx) {
    // Reached first: an item further down is asked on every page before its own.
    int t = 0;
    if (!Reached(item, ctx, &t)) return false;
    const bool canvas = ctx.canvas != nullptr;
    if (canvas && ctx.draw) {
        ctx.canvas->setBrush(Qt::NoBrush);
        SetCanvasFont(*ctx.canvas, edit.FontName(), edit.FontSize(), edit.FontStyle(),
                      edit.FontColor(), ctx.ppi);
    }
    const int L =
        static_cast<int>(ItemFont(edit.FontName(), edit.FontSize(), 0, ctx.ppi).pixelSize() * 1.4);
    const int x = item.intPrintLeft;
    int64_t A = item.intPrintHeight;
    if (t + A > ctx.pageHeight) A = int64_t{ctx.pageHeight} - t - L;

    const int count = edit.LineCount();
    const int start = item.intPrintProgress;
    int end = start;
    while (end < count && !(static_cast<int64_t>(end - start) * L > A && end > start)) ++end;
    if (canvas && ctx.draw && end > start) {
        const int angle = item.intAngle();
        if (angle != 0) {
            for (int i = start; i < end; ++i) {
                const QString line = edit.Line(i).toString();
                const int offset =
                    AlignOffset(ctx.canvas, line, edit.TextAlignment(), item.intPrintWidth);
                DrawTextAngled(*ctx.canvas, x + offset, t + (i - start) * L, line, angle, 100);
            }
        } else {
            // The same output as DrawTextAngled line by line, with the page's fonts made once.
            const QFont base = ctx.canvas->font();
            const QFont plain = TextOutputFont(base, 100, false);
            const QFont shaped = TextOutputFont(base, 100, true);
            const qreal ascent = QFontMetricsF(plain).ascent();
            const QFontMetrics measure(base);  // alignment measures with the canvas font
            for (int i = start; i < end; ++i) {
                const QString line = edit.Line(i).toString();
                const int offset =
                    edit.TextAlignment() == taLeftJustify
                        ? 0
                        : AlignOffsetWith(measure, line, edit.TextAlignment(), item.intPrintWidth);
                const QFont& font = TextNeedsShaping(line) ? shaped : plain;
                if (ctx.canvas->font() != font) ctx.canvas->setFont(font);
                ctx.canvas->drawText(QPointF(x + offset, t + (i - start) * L + ascent), line);
            }
            ctx.canvas->setFont(base);
        }
    }
    item.intPrintProgress = end;
    if (end < count) return item.ptPageType != cptMulPage;
    return true;
}

bool DrawPageNumber(TModiControl& item, TTextContent& edit, const DrawContext& ctx) {
    if (!ctx.canvas || !ctx.draw) return true;
    SetCanvasFont(*ctx.canvas, edit.FontName(), edit.FontSize(), edit.FontStyle(), edit.FontColor(),
                  ctx.ppi);
    // Drawn in one piece, as one line: a line longer than any paper holds is cut, so that
    // shaping it costs nothing unbounded.
    const QString text =
        PageNumberText(edit.Text().left(kMaxLineDrawn), item.ptPageType, ctx.page, ctx.total);
    const int offset = AlignOffset(ctx.canvas, text, edit.TextAlignment(), item.intPrintWidth);
    DrawTextAngled(*ctx.canvas, ClampToInt(int64_t{item.intPrintLeft} + offset), item.intPrintTop,
                   text, 0, 100);
    return true;
}

bool DrawShape(TModiControl& item, TPRNShape& shape, const DrawContext& ctx) {
    int t = 0;
    if (!Reached(item, ctx, &t)) return false;
    const int x = item.intPrintLeft;
    QPainter* canvas = ctx.canvas;
    const TShapePen& pen = shape.Pen();
    const TPRNShapeType type = shape.ShapeType();
    if (canvas) {
        canvas->setPen(QPen(ToQColor(pen.color), pen.width, TPRNShape::QtPenStyle(pen.style)));
        if (type == cstSolidRect || type == cstSolidEllipse) {
            canvas->setBrush(ToQColor(pen.color));
        } else {
            canvas->setBrush(Qt::NoBrush);
        }
    }
    if (type == cstUpLine || type == cstDownLine) {
        const int x2 =
            pen.width >= item.intPrintWidth ? x : ClampToInt(int64_t{x} + item.intPrintWidth);
        const int y2 =
            pen.width >= item.intPrintHeight ? t : ClampToInt(int64_t{t} + item.intPrintHeight);
        if (canvas && ctx.draw) {
            if (type == cstUpLine) {
                canvas->drawLine(x, y2, x2, t);
            } else {
                canvas->drawLine(x, t, x2, y2);
            }
        }
    } else if (canvas && ctx.draw) {
        // The figure covers left..right-1 and top..bottom-1, as the printer draws it.
        const QRect box(x, t, std::max(0, item.intPrintWidth - 1),
                        std::max(0, item.intPrintHeight - 1));
        if (type == cstRect || type == cstSolidRect) {
            canvas->drawRect(box);
        } else {
            canvas->drawEllipse(box);
        }
    }
    return true;
}

}  // namespace

// Pictures from the browser are kept at print resolution, their pixel ratio telling how
// many of their pixels make one of the control's: sizes are in the control's pixels, and
// a source rectangle becomes the picture's own pixels when drawn.
QSize ControlSize(const QImage& picture) {
    const double ratio = picture.devicePixelRatio();
    return QSize(qRound(picture.width() / ratio), qRound(picture.height() / ratio));
}

void DrawPart(QPainter& canvas, const QRect& dest, const QImage& picture, const QRect& source) {
    const double ratio = picture.devicePixelRatio();
    const QRectF wanted(source.x() * ratio, source.y() * ratio, source.width() * ratio,
                        source.height() * ratio);
    const QRect pixels = wanted.toAlignedRect() & picture.rect();
    if (pixels.isEmpty()) return;
    // Pages keep what is drawn on them: a slice of a tall picture is stored as that slice,
    // not as the whole picture once per page.
    if (pixels == picture.rect()) {
        canvas.drawImage(QRectF(dest), picture, wanted);
        return;
    }
    canvas.drawImage(QRectF(dest), picture.copy(pixels), wanted.translated(-pixels.topLeft()));
}

namespace {

bool DrawPicture(TModiControl& item, TImageBox& box, const DrawContext& ctx) {
    int t = 0;
    if (!Reached(item, ctx, &t)) return false;
    const int x = item.intPrintLeft;
    const QImage& bitmap = box.Picture();
    const int bw = ControlSize(bitmap).width(), bh = ControlSize(bitmap).height();
    const int W = item.Width(), H = item.Height();
    const int o = item.intPrintProgress;
    QRect source;
    int right = 0, bottom = 0;
    switch (item.hnImgMode()) {
        case cstProport: {
            source = QRect(0, o, bw, bh);
            int dw = bw, dh = bh;
            if ((bw > W || bh > H) && static_cast<int64_t>(bw) * bh > 0) {
                if (static_cast<double>(H) / bh >= static_cast<double>(W) / bw) {
                    dw = W;
                    dh = static_cast<int>(RoundHalfEven(static_cast<double>(W) / bw * bh));
                } else {
                    dh = H;
                    dw = static_cast<int>(RoundHalfEven(static_cast<double>(H) / bh * bw));
                }
            }
            right = x + dw;
            bottom = t + dh;
            break;
        }
        case cstCrop: {
            const int cw = std::min(bw, W), ch = std::min(bh, H);
            source = QRect(0, o, cw, ch);
            right = x + cw;
            bottom = t + ch - o;
            break;
        }
        case cstStretch:
            source = QRect(0, o, bw, bh);
            right = x + W;
            bottom = t + H - o;
            break;
    }
    if (ctx.canvas && ctx.draw && !bitmap.isNull()) {
        const QRect dest(QPoint(x + 1, t + 1), QPoint(right - 1, bottom - 1));
        DrawPart(*ctx.canvas, dest, bitmap, source);
    }
    return true;
}

bool DrawHtmlBitmap(TModiControl& item, TImageBox& box, const DrawContext& ctx) {
    if (item.intPrintHeight <= 0) return true;
    int t = 0;
    if (!Reached(item, ctx, &t)) return false;
    const int x = item.intPrintLeft;
    const QImage& bitmap = box.Picture();
    const int bw = ControlSize(bitmap).width(), bh = ControlSize(bitmap).height();
    const int o = item.intPrintProgress;
    QRect source, dest;
    bool finished = true;
    if (bh - o <= item.intPrintHeight) {
        source = QRect(QPoint(0, o), QPoint(bw - 1, bh - 1));
        dest = QRect(QPoint(x + 1, t + 1), QPoint(x + bw, t + bh - o));
    } else {
        source = QRect(0, o, bw, item.intPrintHeight);
        dest = QRect(QPoint(x + 1, t + 1), QPoint(x + bw - 1, t + item.intPrintHeight - 1));
        item.intPrintProgress += item.intPrintHeight;
        finished = false;
    }
    if (ctx.canvas && ctx.draw && !bitmap.isNull()) DrawPart(*ctx.canvas, dest, bitmap, source);
    return finished;
}

// HTML documents and tables draw from their converted content; an item whose content
// has not been converted has nothing to draw and is finished.
bool DrawConverted(TModiControl& item, const DrawContext& ctx) {
    if (item.intPrintHeight <= 0) return true;
    int t = 0;
    if (!Reached(item, ctx, &t)) return false;
    const bool table = item.ObjectType() == cdtTable || item.ObjectType() == cdtTBUrl;
    return table ? DrawHtmlTable(item, ctx, t) : DrawHtmlDocument(item, ctx, t);
}

}  // namespace

void SetCanvasFont(QPainter& canvas, const QString& name, int pointSize, TFontStyles style,
                   TColor color, int ppi) {
    canvas.setFont(ItemFont(name, pointSize, style, ppi));
    canvas.setPen(ToQColor(color));
}

void DrawTextAngled(QPainter& canvas, int x, int y, const QString& text, int angle,
                    int weightIncrease) {
    const QFont base = canvas.font();
    QFont font = base;
    if (angle != 0 || weightIncrease != 0) {
        font = TextOutputFont(base, weightIncrease, TextNeedsShaping(text));
    } else {
        font.setStyleStrategy(TextNeedsShaping(text) ? QFont::PreferDefault
                                                     : QFont::PreferNoShaping);
    }
    canvas.setFont(font);
    const QFontMetricsF metrics(font);
    canvas.save();
    canvas.translate(x, y);
    if (angle != 0) canvas.rotate(-angle);  // counter-clockwise
    canvas.drawText(QPointF(0, metrics.ascent()), text);
    canvas.restore();
    canvas.setFont(base);
}

int AlignOffset(QPainter* canvas, const QString& text, TAlignment alignment, int width) {
    if (!canvas) return 0;
    return AlignOffsetWith(QFontMetrics(canvas->font()), text, alignment, width);
}

QString PageNumberText(const QString& text, TPRNPageType type, int page, int total) {
    const QString p = QString::number(page), T = QString::number(total);
    const bool hash = text.contains('#'), amp = text.contains('&');
    QString result = text;
    if (hash && amp) {
        return result.replace('#', p).replace('&', T);
    }
    const QString value = type == cptPageNo ? p : T;
    if (hash) return result.replace('#', value);
    if (amp) return result.replace('&', value);
    return result + value;
}

void PlaceItem(TModiControl& item, const TModiControl& pageObject, int W, int H) {
    // In 64 bits: stored layouts and far pages may take sums past the 32-bit range.
    int64_t left = item.Left(), top = item.Top(), width = item.Width(), height = item.Height();
    switch (item.hnHorzOrnt) {
        case chnRight:
            left = int64_t{W} + item.Left() - pageObject.Width();
            break;
        case chnCenter:
            left = (int64_t{W} - item.Width()) / 2;
            break;
        case chnClient:
            width = std::max<int64_t>(0, int64_t{W} + item.Width() - pageObject.Width());
            break;
        default:
            break;
    }
    switch (item.hnVertOrnt) {
        case cvnBottom:
            top = int64_t{item.Top()} + H - pageObject.Height();
            break;
        case cvnCenter:
            top = (int64_t{H} - item.Height()) / 2;
            break;
        case cvnClient:
            height = std::max<int64_t>(0, int64_t{item.Height()} + H - pageObject.Height());
            break;
        default:
            break;
    }
    top += pageObject.Top();
    left += pageObject.Left();
    const TPRNDataType kind = item.ObjectType();
    if (IsImageKind(kind) && top < H && top + height > H) height = H - top;
    const bool body = !IsFixedPageType(item.ptPageType);
    if (body && item.strPageIndex.isEmpty()) top += int64_t{item.intPageNo} * H;
    item.intPrintLeft = ClampToInt(left);
    item.intPrintTop = ClampToInt(top);
    item.intPrintWidth = ClampToInt(width);
    item.intPrintHeight = ClampToInt(height);
}

int PageIndexMatch(const QString& rule, int total, int page) {
    if (rule.trimmed().isEmpty()) return 0;
    if (rule == "first") return page == 1 ? 1 : 2;
    if (rule == "last") return page == total ? 1 : 2;
    if (rule == "odd") return page % 2 == 1 ? 1 : 2;
    if (rule == "even") return page % 2 == 0 ? 1 : 2;
    return rule == QString::number(page) ? 1 : 2;
}

bool DrawItem(TModiControl& item, const DrawContext& ctx) {
    switch (item.ObjectType()) {
        case cdtText: {
            TTextContent* edit = item.RichEdit();
            if (!edit) return true;
            if (item.ptPageType == cptPageNo || item.ptPageType == cptPageCount) {
                return DrawPageNumber(item, *edit, ctx);
            }
            return DrawText(item, *edit, ctx);
        }
        case cdtShape: {
            TPRNShape* shape = item.Shape();
            return shape ? DrawShape(item, *shape, ctx) : true;
        }
        case cdtImage: {
            TImageBox* box = item.ImageBox();
            return box ? DrawPicture(item, *box, ctx) : true;
        }
        case cdtHtml: {
            TImageBox* box = item.ImageBox();
            return box ? DrawHtmlBitmap(item, *box, ctx) : true;
        }
        case cdtHtmText:
        case cdtUrl:
        case cdtTable:
        case cdtTBUrl:
            return DrawConverted(item, ctx);
        default:
            return true;
    }
}

int FirstPageOf(const TModiControl& item, int pageHeight) {
    // Only the routines that begin with the reach test wait for a page; every other case
    // of DrawItem (nothing to draw, page numbers) acts on the first page it is asked.
    bool waits = false;
    switch (item.ObjectType()) {
        case cdtText:
            waits =
                item.RichEdit() && item.ptPageType != cptPageNo && item.ptPageType != cptPageCount;
            break;
        case cdtShape:
            waits = item.Shape() != nullptr;
            break;
        case cdtImage:
            waits = item.ImageBox() != nullptr;
            break;
        case cdtHtml:
            waits = item.ImageBox() && item.intPrintHeight > 0;
            break;
        case cdtHtmText:
        case cdtUrl:
        case cdtTable:
        case cdtTBUrl:
            waits = item.intPrintHeight > 0;
            break;
        default:
            break;
    }
    if (!waits || item.intPrintTop <= 0) return 1;
    if (pageHeight <= 0) return INT_MAX;
    const int64_t page = (int64_t{item.intPrintTop} + pageHeight - 1) / pageHeight;
    return static_cast<int>(std::clamp<int64_t>(page, 1, INT_MAX));
}

}  // namespace kavel
