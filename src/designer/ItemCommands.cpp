#include "designer/ItemCommands.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace kavel {

namespace {

bool IsText(const TModiControl* item) {
    return item->RichEdit() != nullptr;
}

// Runs change on every item (except the page object) for which fits holds; those items
// are marked modified and answered.
template <class Fits, class Change>
ItemList ForEach(const ItemList& items, Fits fits, Change change) {
    ItemList done;
    for (TModiControl* item : items) {
        if (!item || item->ObjectType() == cdtPanel || !fits(item)) continue;
        change(item);
        item->blModified = true;
        done.append(item);
    }
    return done;
}

auto Any = [](const TModiControl*) { return true; };

void SetTextFont(TTextContent* edit, const QString& name, int size, TFontStyles style,
                 TColor color) {
    edit->SetTextFont(name, size, style, color);
}

int Limited(int64_t v, int limit) {
    return static_cast<int>(std::clamp<int64_t>(v, -limit, limit));
}

// Horizontal or vertical view of an item's bounds, so that one routine arranges both ways.
struct Axis {
    bool horizontal;
    int Pos(const TModiControl* i) const { return horizontal ? i->Left() : i->Top(); }
    int Extent(const TModiControl* i) const { return horizontal ? i->Width() : i->Height(); }
    void SetPos(TModiControl* i, int v) const { horizontal ? i->SetLeft(v) : i->SetTop(v); }
    void SetExtent(TModiControl* i, int v) const { horizontal ? i->SetWidth(v) : i->SetHeight(v); }
};

ItemList ArrangeOnAxis(const ItemList& all, int kind, const Axis& axis, int paperExtent) {
    ItemList items;
    for (TModiControl* i : all) {
        if (i && i->ObjectType() != cdtPanel) items.append(i);
    }
    int low = paperExtent, high = 0;
    for (const TModiControl* i : items) {
        low = std::min(low, axis.Pos(i));
        high = std::max(high, axis.Pos(i) + axis.Extent(i));
    }
    switch (kind) {
        case 0:  // to the smallest edge
            return ForEach(items, Any, [&](TModiControl* i) { axis.SetPos(i, low); });
        case 1:  // to the largest edge
            if (high <= 0) return {};
            return ForEach(items, Any,
                           [&](TModiControl* i) { axis.SetPos(i, high - axis.Extent(i)); });
        case 2: {  // centred on the middle of all
            if (high - low < 0) return {};
            const int centre = low + (high - low) / 2;
            return ForEach(items, Any,
                           [&](TModiControl* i) { axis.SetPos(i, centre - axis.Extent(i) / 2); });
        }
        default: {  // equal spacing between the first and the last
            if (items.size() <= 2 || low >= paperExtent) return {};
            int last = INT_MIN;
            for (const TModiControl* i : items) last = std::max(last, axis.Pos(i));
            const int step = (last - low) / (static_cast<int>(items.size()) - 1);
            int k = 0;
            return ForEach(
                items,
                [&](const TModiControl* i) { return axis.Pos(i) != low && axis.Pos(i) != last; },
                [&](TModiControl* i) { axis.SetPos(i, low + step * ++k); });
        }
    }
}

ItemList SameExtent(const ItemList& all, int kind, const Axis& axis, int paperExtent) {
    ItemList items;
    for (TModiControl* i : all) {
        if (i && i->ObjectType() != cdtPanel) items.append(i);
    }
    if (items.isEmpty()) return {};
    int smallest = paperExtent, largest = 0;
    int64_t sum = 0;
    for (const TModiControl* i : items) {
        smallest = std::min(smallest, axis.Extent(i));
        largest = std::max(largest, axis.Extent(i));
        if (axis.Extent(i) > 0) sum += axis.Extent(i);
    }
    const int value = kind == 0   ? smallest
                      : kind == 1 ? largest
                                  : static_cast<int>(sum / items.size());
    return ForEach(items, Any, [&](TModiControl* i) { axis.SetExtent(i, value); });
}

}  // namespace

ItemList MoveItems(const ItemList& items, int dx, int dy) {
    return ForEach(items, Any, [&](TModiControl* i) {
        i->SetBounds(i->Left() + dx, i->Top() + dy, i->Width(), i->Height());
    });
}

ItemList ResizeItems(const ItemList& items, int dWidth, int dHeight) {
    return ForEach(items, Any, [&](TModiControl* i) {
        i->SetBounds(i->Left(), i->Top(), i->Width() + dWidth, i->Height() + dHeight);
    });
}

ItemList SetItemsWidth(const ItemList& items, int width) {
    return ForEach(items, Any, [&](TModiControl* i) { i->SetWidth(width); });
}

ItemList SetItemsHeight(const ItemList& items, int height) {
    return ForEach(items, Any, [&](TModiControl* i) { i->SetHeight(height); });
}

KeyStep ArrowKeyStep(int key, bool ctrl, bool alt) {
    KeyStep s;
    int h = 0, v = 0;
    switch (key) {
        case Qt::Key_Right:
            h = 1;
            break;
        case Qt::Key_Left:
            h = -1;
            break;
        case Qt::Key_Down:
            v = 1;
            break;
        case Qt::Key_Up:
            v = -1;
            break;
        default:
            return s;
    }
    if (ctrl) {
        const int by = alt ? 10 : 1;
        s.dx = h * by;
        s.dy = v * by;
    } else if (alt) {
        s.dWidth = h * 5;
        s.dHeight = v * 5;
    }
    return s;
}

ItemList Arrange(const ItemList& items, Arrangement how, QSize paper) {
    const Axis horizontal{true}, vertical{false};
    const int n = static_cast<int>(how);
    if (how <= Arrangement::SpaceHorizontally) {
        return ArrangeOnAxis(items, n, horizontal, paper.width());
    }
    if (how <= Arrangement::SpaceVertically)
        return ArrangeOnAxis(items, n - 4, vertical, paper.height());
    if (how <= Arrangement::AverageWidth)
        return SameExtent(items, n - 8, horizontal, paper.width());
    return SameExtent(items, n - 11, vertical, paper.height());
}

ItemList StepFontSize(const ItemList& items, int delta) {
    return ForEach(
        items, [](const TModiControl* i) { return IsText(i) || i->Shape(); },
        [&](TModiControl* i) {
            if (auto* e = i->RichEdit()) {
                SetTextFont(e, e->FontName(), Limited(int64_t{e->FontSize()} + delta, 1000),
                            e->FontStyle(), e->FontColor());
            } else {
                i->Shape()->SetPenWidth(std::clamp(i->Shape()->Pen().width + delta, 0, 1000));
            }
        });
}

ItemList SetFontSize(const ItemList& items, int size) {
    return ForEach(
        items, [](const TModiControl* i) { return IsText(i) || i->Shape(); },
        [&](TModiControl* i) {
            if (auto* e = i->RichEdit()) {
                SetTextFont(e, e->FontName(), Limited(size, 1000), e->FontStyle(), e->FontColor());
            } else {
                i->Shape()->SetPenWidth(std::clamp(size, 0, 1000));
            }
        });
}

ItemList SetFontName(const ItemList& items, const QString& name) {
    return ForEach(items, IsText, [&](TModiControl* i) {
        auto* e = i->RichEdit();
        SetTextFont(e, name, e->FontSize(), e->FontStyle(), e->FontColor());
    });
}

ItemList SetItemsColor(const ItemList& items, TColor color) {
    return ForEach(
        items, [](const TModiControl* i) { return IsText(i) || i->Shape(); },
        [&](TModiControl* i) {
            if (auto* e = i->RichEdit()) {
                SetTextFont(e, e->FontName(), e->FontSize(), e->FontStyle(), color);
            } else {
                i->Shape()->SetPenColor(color);
            }
        });
}

ItemList ToggleFontStyle(const ItemList& items, TFontStyles bit) {
    return ForEach(items, IsText, [&](TModiControl* i) {
        auto* e = i->RichEdit();
        SetTextFont(e, e->FontName(), e->FontSize(), e->FontStyle() ^ bit, e->FontColor());
    });
}

ItemList StepAngle(const ItemList& items, int delta) {
    return ForEach(items, IsText, [&](TModiControl* i) {
        i->setIntAngle(Limited(int64_t{i->intAngle()} + delta, 100000));
    });
}

ItemList SetAngle(const ItemList& items, int angle) {
    return ForEach(items, IsText, [&](TModiControl* i) { i->setIntAngle(angle); });
}

ItemList SetAlignButton(const ItemList& items, AlignButton button) {
    static constexpr TAlignment kText[] = {taLeftJustify, taCenter, taRightJustify};
    static constexpr TPRNImgMode kImage[] = {cstCrop, cstStretch, cstProport};
    const int b = static_cast<int>(button);
    return ForEach(
        items,
        [&](const TModiControl* i) {
            if (auto* e = i->RichEdit()) return e->TextAlignment() != kText[b];
            return i->ObjectType() == cdtImage && i->hnImgMode() != kImage[b];
        },
        [&](TModiControl* i) {
            if (auto* e = i->RichEdit()) {
                e->SetTextAlignment(kText[b]);
                e->SetText(e->Text());
            } else {
                i->setHnImgMode(kImage[b]);
            }
        });
}

ItemList SetPenStyle(const ItemList& items, int style) {
    return ForEach(
        items, [&](const TModiControl* i) { return i->Shape() && i->Shape()->PenStyle() != style; },
        [&](TModiControl* i) {
            i->Shape()->SetPenStyle(style);
            if (style != psSolid) i->Shape()->SetPenWidth(1);
        });
}

ItemList RestorePosition(const ItemList& items) {
    return ForEach(items, Any, [](TModiControl* i) {
        i->SetBounds(i->intDefLeft(), i->intDefTop(), i->Width(), i->Height());
    });
}

ItemList RestoreSize(const ItemList& items) {
    return ForEach(items, Any, [](TModiControl* i) {
        i->SetBounds(i->Left(), i->Top(), i->intDefWidth(), i->intDefHeight());
    });
}

ItemList RestoreFont(const ItemList& items) {
    return ForEach(
        items, [](const TModiControl* i) { return IsText(i) || i->Shape(); },
        [](TModiControl* i) {
            if (auto* e = i->RichEdit()) {
                SetTextFont(e, i->strDefFontName(), i->intDefSize(), i->fsDefFontStyle(),
                            i->fcDefFontColor());
                e->SetTextAlignment(i->alDefAlignment());
                i->SetHeight(i->intDefHeight());
                e->SetText(i->strContent);
            } else {
                TPRNShape* s = i->Shape();
                s->SetShapeType(i->stDefShapeType());
                s->SetPenWidth(i->intDefPenWidth());
                s->SetPenStyle(i->psDefPenStyle());
                s->SetPenColor(i->fcDefFontColor());
            }
        });
}

ItemList SetHeadFoot(const ItemList& items, TPRNHorzOrient horz, TPRNVertOrient vert) {
    return ForEach(items, Any, [&](TModiControl* i) {
        i->ptPageType = cptHeadFoot;
        i->hnHorzOrnt = horz;
        i->hnVertOrnt = vert;
        MarkHeadFoot(i);
    });
}

ItemList SetHorzLock(const ItemList& items, TPRNHorzOrient horz) {
    return ForEach(items, Any, [&](TModiControl* i) {
        i->hnHorzOrnt = horz;
        MarkHeadFoot(i);
    });
}

ItemList SetVertLock(const ItemList& items, TPRNVertOrient vert) {
    return ForEach(items, Any, [&](TModiControl* i) {
        i->hnVertOrnt = vert;
        MarkHeadFoot(i);
    });
}

ItemList SetPageType(const ItemList& items, TPRNPageType type, int* refused) {
    const bool textOnly = type == cptPageNo || type == cptPageCount;
    int others = 0;
    ItemList done = ForEach(
        items,
        [&](const TModiControl* i) {
            if (textOnly && !IsText(i)) {
                ++others;
                return false;
            }
            return true;
        },
        [&](TModiControl* i) {
            i->ptPageType = type;
            MarkHeadFoot(i);
        });
    if (refused) *refused = others;
    return done;
}

void MarkHeadFoot(TModiControl* item) {
    const bool marked = IsFixedPageType(item->ptPageType);
    if (auto* e = item->RichEdit()) {
        if (marked) {
            e->SetBackColor(clSilver);
        } else {
            e->ResetBackColor();
        }
    } else if (auto* s = item->Shape()) {
        s->SetBrushColor(marked ? clSilver : clWhite);
    }
}

}  // namespace kavel
