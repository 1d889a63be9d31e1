// The hidden browser form of one HTML item: it loads the item's address or HTML text into a
// page of the browser engine, waits with the time limit and the progress form, and keeps
// the laid-out document that the conversion and page drawing read.
#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <memory>

#include "control/RunState.h"
#include "html/Trode.h"
#include "platform/BrowserEngine.h"

namespace kavel {

class TWaitingForm;

// The limit of one load; kDefaultLoadDeadline until set (tests shorten it).
std::chrono::milliseconds WebLoadDeadline();
void SetWebLoadDeadline(std::chrono::milliseconds limit);

class TkvlWebForm : public QObject {
    Q_OBJECT
  public:
    // The layout viewport in CSS px (the width is the width the document is laid out at),
    // what the page may reach, and the run state of the control's world (text zoom).
    TkvlWebForm(int widthCss, int heightCss, const ResourcePolicy& policy, TRunState& run);
    ~TkvlWebForm() override;

    // Loads exactly one of the two: HTML text into a blank page of our own, or an address.
    // False when there is nothing to read (LoadError() says why); a time-out or a closed
    // progress form keeps what was laid out by then.
    bool LoadWebContent(const QString& html, const QString& url);
    // Undoes the zoom changes of the last load.
    void RestoreBrowserZoom();
    // Why the load failed, or what the picture lacks (cut at a limit); empty when all is well.
    QString Problem() const { return problem_; }
    // Keeps the first problem of a preparation.
    void NoteProblem(const QString& problem);
    // The browser page; null once released.
    BrowserPage* Page() const { return page_.get(); }
    // Closes the browser page once everything is read from it: the document stays, and a
    // task of many HTML items does not keep a page of the browser open for each.
    void ReleasePage();

    bool FProgressDone = false;
    bool FZoomChanged = false;
    bool FOpticalZoomChanged = false;
    int FNavigateCount = 0;
    int FCompleteCount = 0;
    // The converted trees: the whole body (documents) or the table body, head and foot.
    std::unique_ptr<TPRNTrode> FBodyTree;
    std::unique_ptr<TPRNTrode> FTheadTree;
    std::unique_ptr<TPRNTrode> FTfootTree;
    std::shared_ptr<const LaidOutDocument> FDocument;
    int FBodyLeft = 0, FBodyTop = 0;
    int FContentWidth = 0, FContentHeight = 0;
    QMargins FBodyMargins;  // left, top, right, bottom in px
    QPointer<TWaitingForm> FWaitingForm;
    bool FWaitingShown = false;

  private:
    void OpenPage();
    void HookEvents();
    void ApplyZoom();

    int width_, height_;
    ResourcePolicy policy_;
    TRunState& run_;
    std::unique_ptr<BrowserPage> page_;
    QString problem_;
};

// A CSS length as whole pixels: "12px" and "12.6px" give 12 and 13; an empty or other
// value gives the default.
int CssPixels(const QString& value, int defaultValue);
// The body's margins (the root of the document): 10, 15 and then left and top again
// for values that are not pixel lengths.
QMargins ReadBodyMargins(const LaidOutDocument& document);
// Fills the run state's browser version once, from the page's user agent.
void DetectBrowserVersion(const BrowserPage& page, TRunState& run);

}  // namespace kavel
