#include "html/WebFormUnit.h"

#include <QCoreApplication>
#include <cmath>
#include <vector>

#include "control/RunState.h"
#include "html/ContentAdjust.h"
#include "html/WaitingUnit.h"

namespace kavel {

namespace {

std::chrono::milliseconds& Deadline() {
    static std::chrono::milliseconds limit = kDefaultLoadDeadline;
    return limit;
}

// The size of what the document shows: as wide as it scrolls, as high as its lowest box
// and the body's bottom margin. (The scroll height would count a viewport taller than the
// content, in documents without a doctype.)
QSizeF ContentExtent(const LaidOutDocument& document, const QMargins& margins) {
    const NodeId body = document.Root();
    double bottom = document.Rect(body).bottom() + margins.bottom();
    for (NodeId id = body + 1; id < document.NodeCount(); ++id) {
        const QRectF r = document.Rect(id);
        if (!r.isEmpty()) bottom = std::max(bottom, r.bottom());
    }
    const double right =
        std::max(document.RootScrollSize().width(), document.Rect(body).right() + margins.right());
    return {std::min(right, 1e6), std::min(bottom, 1e7)};
}

// Pages that forms are done with, kept for the next forms: opening a page of the browser
// takes about 80 ms, a small load into an open one a tenth of that.
class PagePool {
  public:
    std::unique_ptr<BrowserPage> Take(int widthCss, int heightCss) {
        BrowserEngine& engine = Browser();
        if (engine_ != &engine || pages_.empty()) return engine.NewPage(widthCss, heightCss);
        std::unique_ptr<BrowserPage> page = std::move(pages_.back());
        pages_.pop_back();
        page->Resize(widthCss, heightCss);
        return page;
    }
    void Give(std::unique_ptr<BrowserPage> page) {
        // No hook may reach the form that gave it back.
        page->SetHooks({});
        if (page->State() != ReadyState::Complete) page->Stop();
        if (engine_ != &Browser()) {
            pages_.clear();
            engine_ = &Browser();
        }
        if (pages_.size() < kKept) pages_.push_back(std::move(page));
    }
    void Clear() { pages_.clear(); }

  private:
    static constexpr size_t kKept = 2;
    BrowserEngine* engine_ = nullptr;
    std::vector<std::unique_ptr<BrowserPage>> pages_;
};

// Emptied before the application object goes, while the browser still answers.
PagePool& Pool() {
    static PagePool* pool = [] {
        qAddPostRoutine([] { Pool().Clear(); });
        return new PagePool;
    }();
    return *pool;
}

}  // namespace

std::chrono::milliseconds WebLoadDeadline() {
    return Deadline();
}

void SetWebLoadDeadline(std::chrono::milliseconds limit) {
    Deadline() = limit;
}

TkvlWebForm::TkvlWebForm(int widthCss, int heightCss, const ResourcePolicy& policy, TRunState& run)
    : width_(std::max(1, widthCss)), height_(std::max(1, heightCss)), policy_(policy), run_(run) {
    OpenPage();
}

void TkvlWebForm::OpenPage() {
    page_ = Pool().Take(width_, height_);
    page_->SetResourcePolicy(policy_);
    HookEvents();
}

TkvlWebForm::~TkvlWebForm() {
    ReleasePage();
}

void TkvlWebForm::ReleasePage() {
    if (!page_) return;
    RestoreBrowserZoom();
    Pool().Give(std::move(page_));
}

// The browser's events as the form counts them: a navigation is complete when its
// document completed, and progress -1 says every resource arrived.
void TkvlWebForm::HookEvents() {
    LoadHooks hooks;
    hooks.navigated = [this](const QString&) { ++FNavigateCount; };
    hooks.documentComplete = [this] {
        if (FCompleteCount < FNavigateCount) ++FCompleteCount;
    };
    hooks.progress = [this](int done) {
        if (done == -1) FProgressDone = true;
        if (FWaitingShown && FWaitingForm) FWaitingForm->Step();
    };
    // The user closing the progress form ends the wait; what was laid out is used.
    hooks.keepWaiting = [this] {
        return !FWaitingShown || (FWaitingForm && FWaitingForm->isVisible());
    };
    page_->SetHooks(std::move(hooks));
}

bool TkvlWebForm::LoadWebContent(const QString& html, const QString& url) {
    FNavigateCount = FCompleteCount = 0;
    FProgressDone = false;
    FDocument.reset();
    problem_.clear();
    if (!page_) OpenPage();
    page_->SetDeadline(WebLoadDeadline());

    LoadResult loaded;
    if (!url.isEmpty()) {
        loaded = page_->Navigate(url);
        if (loaded.status == LoadStatus::TimedOut && FWaitingShown && FWaitingForm) {
            FWaitingForm->setWindowTitle(QStringLiteral("打开页面超时，正中断下载..."));
            FWaitingForm->repaint();
        }
    } else {
        if (html.trimmed().isEmpty()) {
            problem_ = QStringLiteral("the HTML content is blank");
            return false;
        }
        loaded = page_->WriteDocument(html);
    }
    if (!loaded.HasDocument()) {
        problem_ = loaded.error;
        return false;
    }
    if (loaded.status == LoadStatus::TimedOut) {
        problem_ = QStringLiteral(
                       "the page did not finish loading within %1 s; what had "
                       "arrived by then is used")
                       .arg(WebLoadDeadline().count() / 1000.0);
    }

    if (run_.BrowserVersion.isEmpty()) DetectBrowserVersion(*page_, run_);
    // The zoom changes the layout, so it is set before the one read of the document.
    ApplyZoom();
    auto read = page_->Read();
    if (!read) {
        problem_ = read.error;
        return false;
    }
    FDocument = std::move(*read.value);
    const NodeId body = FDocument->Root();
    if (body == kNoNode) {
        problem_ = QStringLiteral("the document has no body");
        FDocument.reset();
        return false;
    }
    FBodyMargins = ReadBodyMargins(*FDocument);
    const QRectF rect = FDocument->Rect(body);
    FBodyLeft = static_cast<int>(std::lround(rect.left()));
    FBodyTop = static_cast<int>(std::lround(rect.top()));
    const QSizeF extent = ContentExtent(*FDocument, FBodyMargins);
    FContentWidth = static_cast<int>(std::ceil(extent.width()));
    FContentHeight = static_cast<int>(std::ceil(extent.height()));
    return true;
}

void TkvlWebForm::ApplyZoom() {
    TRunState& run = run_;
    run.SavedTextZoom = static_cast<uint8_t>(page_->TextZoom() + 1);
    if (run.HtmFontZoom != 0 && run.HtmFontZoom != run.SavedTextZoom &&
        page_->SetTextZoom(run.HtmFontZoom - 1)) {
        FZoomChanged = true;
    }
    run.SavedOpticalZoom = page_->OpticalZoom();
    if (run.SavedOpticalZoom != 100 && page_->SetOpticalZoom(100)) FOpticalZoomChanged = true;
}

void TkvlWebForm::RestoreBrowserZoom() {
    if (!page_) return;
    const TRunState& run = run_;
    if (FZoomChanged) {
        page_->SetTextZoom(run.SavedTextZoom - 1);
        FZoomChanged = false;
    }
    if (FOpticalZoomChanged) {
        page_->SetOpticalZoom(run.SavedOpticalZoom);
        FOpticalZoomChanged = false;
    }
}

int CssPixels(const QString& value, int defaultValue) {
    if (value.isEmpty()) return defaultValue;
    bool ok = false;
    const double px = QString(value).remove(QStringLiteral("px")).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(px) || std::fabs(px) > 1e6) return defaultValue;
    return static_cast<int>(std::lround(px));
}

QMargins ReadBodyMargins(const LaidOutDocument& document) {
    const NodeId body = document.Root();
    auto px = [&](const char* property, int defaultValue) {
        return CssPixels(document.Style(body, QString::fromLatin1(property)), defaultValue);
    };
    const int left = px("margin-left", 10);
    const int top = px("margin-top", 15);
    return QMargins(left, top, px("margin-right", left), px("margin-bottom", top));
}

void DetectBrowserVersion(const BrowserPage& page, TRunState& run) {
    QString version = page.UserAgent();
    const QString msie = RegexFirstMatch(version.toLower(), QStringLiteral("msie *[\\d]+.[\\d]+"));
    if (!msie.isEmpty()) version = QString(msie).remove(QStringLiteral("msie")).remove(' ');
    run.BrowserVersion = version;
}

}  // namespace kavel
