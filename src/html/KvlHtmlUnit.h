// The preparation of one HTML item before output: its document loaded into a hidden
// browser form and, for the picture kinds, its picture taken at print resolution.
#pragma once

#include <QImage>
#include <QString>
#include <memory>

#include "control/ControlContext.h"
#include "control/ItemTypes.h"
#include "html/WebFormUnit.h"

namespace kavel {

class TImageBox;

// Pictures from the browser have at least this many dots per inch on paper.
constexpr int kMinPictureDpi = 200;
// And at most this many pixels (a larger picture is taken at a lower resolution, then cut).
constexpr double kMaxPicturePixels = 16'000'000;

// Loads the item's content (an address for cdtUrl and cdtTBUrl, HTML text otherwise) laid
// out at `width` of the control's pixels (0: the picture's width), and for cdtHtml and
// cdtImage puts the picture into `picture`. pixelsPerInch is the density of the control's
// pixels; context: the world of the control (its host page and text zoom). The form is
// returned in every case; its Problem() says what went wrong.
std::unique_ptr<TkvlWebForm> PrepareHtmlItem(TPRNDataType kind, TImageBox& picture, int width,
                                             bool designing, const QString& content,
                                             int pixelsPerInch, const ControlContext& context);

// An element's picture at `scale` device pixels per CSS px: an <img> whose source bytes the
// page has is drawn from them, anything else is captured from the page.
BrowserResult<QImage> SnapshotElement(BrowserPage& page, const LaidOutDocument& document,
                                      NodeId element, double scale);

// Whether the task's host page may reach this machine's files and private networks.
ResourcePolicy HostPagePolicy(const THostPageInfo& host);

}  // namespace kavel
