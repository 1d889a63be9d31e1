// Which items a rubber band drawn on the paper selects.
#pragma once

namespace kavel {

// A rectangle by its edges; right and bottom are left + width and top + height.
struct Edges {
    int left, top, right, bottom;
};

// The band selects an item when the item's top-left corner lies in it (its right and
// bottom edges excluded), when the item's left edge crosses the band's top edge, or when
// the band's left edge crosses the item's top edge. A band wholly inside an item, away
// from its top-left corner, does not select it.
constexpr bool BandSelects(const Edges& band, const Edges& item) {
    auto in = [](int v, int low, int high) { return v >= low && v <= high; };
    return (item.left >= band.left && item.left < band.right && item.top >= band.top &&
            item.top < band.bottom) ||
           (in(item.left, band.left, band.right) && in(band.top, item.top, item.bottom)) ||
           (in(band.left, item.left, item.right) && in(item.top, band.top, band.bottom));
}

}  // namespace kavel
