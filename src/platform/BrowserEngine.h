// The browser engine seam: a browser that lays out HTML in hidden pages, and a mirror of
// the laid-out document that the HTML conversion reads (LaidOutDocument.h). The real
// implementation is headless Chromium (ChromiumEngine.h); nothing here names it.
//
// Threads: every call is made on the GUI thread. Calls that wait for the browser (loads,
// reads, captures) run a nested event loop until the browser answers, so the user interface
// stays alive and other events, script calls included, may run meanwhile; the callers' busy
// flags keep them out where needed. A page refuses a second load while one is waiting.
#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

#include "platform/BrowserResult.h"
#include "platform/LaidOutDocument.h"

namespace kavel {

// How long a load may take before it is stopped and what was laid out is used.
constexpr std::chrono::milliseconds kDefaultLoadDeadline = std::chrono::seconds(300);

enum class ReadyState { Uninitialized, Loading, Interactive, Complete };

enum class LoadStatus {
    Complete,  // loaded, pictures decoded, fonts ready
    TimedOut,  // the deadline passed: loading was stopped, what was laid out stays
    Stopped,   // Stop() was called or a hook ended the wait: what was laid out stays
    Failed,    // nothing to read: see error
};

struct LoadResult {
    LoadStatus status = LoadStatus::Failed;
    QString error;  // why, for Failed
    // Whether there is a document to read (every status but Failed).
    bool HasDocument() const { return status != LoadStatus::Failed; }
};

// Called while a load waits (all optional). The form maps them to its navigate-complete,
// document-complete and progress events.
struct LoadHooks {
    std::function<void(const QString& url)> navigated;  // the main document was committed
    std::function<void()> documentComplete;             // the main document finished loading
    // A resource of the page finished: the number finished so far; -1 when the load is done.
    std::function<void(int)> progress;
    // Asked about ten times a second; false ends the wait (as Stopped) without stopping the
    // browser, as when the user closes the progress window.
    std::function<bool()> keepWaiting;
};

// What a page may reach, from where its task came. A host page that is local (a script
// file, or a page served from this machine) may reach everything. Otherwise file: addresses
// and addresses of this machine and of private networks are refused, for the page itself
// and for everything it loads, except the host page's own host.
struct ResourcePolicy {
    bool hostIsLocal = false;
    QString hostPageUrl;  // the host page's address; its host stays reachable
};

// Bounds of one read. Beyond them the mirror is cut short and says so (Truncated()).
struct ReadLimits {
    int elements = 200'000;
    int characters = 8'000'000;  // text, UTF-16 code units
    int replyBytes = 20 << 20;   // estimated size of the reply
    bool operator==(const ReadLimits&) const = default;
};

// One hidden browser page (one per hidden browser form). Rectangles are CSS px in the
// coordinates of the page's document; the layout width is the page's width.
class BrowserPage {
  public:
    virtual ~BrowserPage() = default;

    // Loads an address with the cache off, and waits until it is complete, the deadline
    // passes, Stop() is called or a hook ends the wait. Lazy pictures are loaded and
    // decoded and fonts are ready before it returns Complete.
    virtual LoadResult Navigate(const QString& url) = 0;
    // Shows HTML text as the page's document and waits as Navigate does. Relative
    // addresses resolve against the text's <base>; local files are reachable only under a
    // local host page. Text with scripts gets a fresh page first (no globals or timers of an
    // earlier document stay).
    virtual LoadResult WriteDocument(const QString& html) = 0;
    // Stops loading; a waiting load returns Stopped.
    virtual void Stop() = 0;
    virtual ReadyState State() const = 0;
    virtual void SetHooks(LoadHooks hooks) = 0;
    // Deadline of each load, read and capture; kDefaultLoadDeadline until set.
    virtual void SetDeadline(std::chrono::milliseconds deadline) = 0;
    // Applies to the next load. Until set: not local (the safe side).
    virtual void SetResourcePolicy(const ResourcePolicy& policy) = 0;

    // The layout viewport in CSS px (device scale 1, no scroll bars). Changing the width
    // lays the document out again.
    virtual void Resize(int widthCss, int heightCss) = 0;
    // Text zoom level 0 (smallest) to 4 (largest), 2 = normal: scales text whose size is
    // not fixed in absolute units, as a browser's text size setting does.
    virtual int TextZoom() const = 0;
    virtual bool SetTextZoom(int level) = 0;  // false for a level outside 0..4
    // Optical zoom in percent (100 = none): scales the page's picture, not its layout.
    virtual int OpticalZoom() const = 0;
    virtual bool SetOpticalZoom(int percent) = 0;  // false outside 10..1000
    // The user agent text that pages see.
    virtual QString UserAgent() const = 0;
    virtual void SetUserAgent(const QString& userAgent) = 0;

    // Reads the laid-out document in one batch. The mirror stays valid after the page
    // changes or goes.
    virtual BrowserResult<std::shared_ptr<const LaidOutDocument>> Read(
        const ReadLimits& limits = {}) = 0;
    // The page's picture of a document rectangle at `scale` device pixels per CSS px
    // (dpi / 96), without laying the page out again; parts outside the viewport are
    // scrolled into view first. At most 16,000,000 pixels.
    virtual BrowserResult<QImage> Capture(const QRectF& documentRect, double scale) = 0;
    // The bytes of a resource the page loaded (an <img>'s source), as the server sent them.
    virtual BrowserResult<QByteArray> ResourceContent(const QString& url) = 0;
};

// The browser engine: one per process, started on first use and kept for later loads. When
// the browser dies, the load that was waiting fails and the next one starts a new browser.
class BrowserEngine {
  public:
    virtual ~BrowserEngine() = default;
    // Starts the browser now if it is not running. Empty, or the reason it could not start
    // ("the browser engine could not be started: ..."). Pages start it on their own.
    virtual QString Start() = 0;
    // The engine's product and version ("Chrome/156.0.8078.129"); starts it.
    // Empty when it cannot start.
    virtual QString Version() = 0;
    // A new page laying out at the given viewport size (CSS px). It binds to the browser on
    // its first load; a browser that cannot start makes that load fail with the reason.
    virtual std::unique_ptr<BrowserPage> NewPage(int widthCss, int heightCss) = 0;
};

// The engine every part of the control uses; until replaced, headless Chromium.
BrowserEngine& Browser();
std::shared_ptr<BrowserEngine> SetBrowserEngine(std::shared_ptr<BrowserEngine> engine);

}  // namespace kavel
