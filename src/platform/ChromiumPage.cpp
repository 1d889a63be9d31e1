#include "platform/ChromiumPage.h"

#include <QJsonArray>
#include <QPainter>
#include <QRegularExpression>
#include <QUrl>
#include <cmath>

#include "platform/AddressPolicy.h"
#include "platform/CdpConnection.h"
#include "platform/ChromiumEngine.h"
#include "platform/PageScripts.h"

namespace kavel {

namespace {

// Commands of the page set-up answer quickly; a browser that does not is stuck.
constexpr std::chrono::seconds kSetupDeadline{30};
constexpr double kMaxPicturePixels = 16'000'000;

// Default font sizes (CSS px, proportional and fixed) of the text zoom levels 0..4, as a
// browser's text size setting scales text whose size is not fixed in absolute units.
constexpr int kStandardFontSize[5] = {11, 14, 16, 19, 23};
constexpr int kFixedFontSize[5] = {9, 11, 13, 16, 19};

class BusyScope {
  public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }

  private:
    bool& busy_;
};

bool HasScripts(const QString& html) {
    static const QRegularExpression scripts(QStringLiteral("<script|\\son[a-z]+\\s*=|javascript:"),
                                            QRegularExpression::CaseInsensitiveOption);
    return scripts.match(html).hasMatch();
}

// Whether a document names anything to load (pictures, styles, fonts, frames, a refresh),
// which would resolve against the address it is written over. A <base> element loads
// nothing itself, and every item's text carries one; what it resolves is counted where it
// is named.
bool RefersToAnything(const QString& html) {
    static const QRegularExpression references(
        QStringLiteral("\\b(?:src|srcset|href|data|poster|background|action|http-equiv)\\s*=|"
                       "url\\s*\\(|image-set\\s*\\(|@import"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression baseTag(QStringLiteral("<base[\\s/>]"),
                                            QRegularExpression::CaseInsensitiveOption);
    for (auto found = references.globalMatch(html); found.hasNext();) {
        const qsizetype tag = html.lastIndexOf('<', found.next().capturedStart());
        if (tag < 0 || !baseTag
                            .match(html, tag, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption)
                            .hasMatch()) {
            return true;
        }
    }
    return false;
}

QString ExceptionText(const QJsonObject& result) {
    const QJsonObject details = result.value("exceptionDetails").toObject();
    const QString description =
        details.value("exception").toObject().value("description").toString();
    return description.isEmpty() ? details.value("text").toString() : description;
}

LoadResult Failed(const QString& why) {
    return {LoadStatus::Failed, why};
}

}  // namespace

ChromiumPage::ChromiumPage(std::weak_ptr<ChromiumEngine> engine, int widthCss, int heightCss)
    : engine_(std::move(engine)),
      width_(std::max(1, widthCss)),
      height_(std::max(1, heightCss)),
      lookup_([this](const QString& host, bool isPrivate) { OnHostAnswer(host, isPrivate); }) {}

ChromiumPage::~ChromiumPage() {
    DropTarget();
}

// --- target ---------------------------------------------------------------------------

bool ChromiumPage::EnsureTarget(QString* error) {
    const std::shared_ptr<ChromiumEngine> engine = engine_.lock();
    if (!engine) {
        *error = QStringLiteral("the browser engine is gone");
        return false;
    }
    if (connection_ && connection_->Alive() && generation_ == engine->Generation() &&
        !session_.isEmpty() && !crashed_) {
        return true;
    }
    DropTarget();
    std::shared_ptr<CdpConnection> connection = engine->Connection(error);
    if (!connection) return false;
    const QDeadlineTimer deadline(kSetupDeadline);
    QString targetId = engine->TakeFirstTarget();
    if (targetId.isEmpty()) {
        const CdpReply target =
            connection->Call("Target.createTarget", {{"url", "about:blank"}}, {}, deadline);
        if (!target.ok()) {
            *error =
                QStringLiteral("the browser engine could not open a page: %1").arg(target.error);
            return false;
        }
        targetId = target.result.value("targetId").toString();
    }
    const CdpReply attached = connection->Call(
        "Target.attachToTarget", {{"targetId", targetId}, {"flatten", true}}, {}, deadline);
    if (!attached.ok()) {
        connection->Forget(connection->Send("Target.closeTarget", {{"targetId", targetId}}));
        *error = QStringLiteral("the browser engine could not open a page: %1").arg(attached.error);
        return false;
    }
    connection_ = connection;
    generation_ = engine->Generation();
    targetId_ = targetId;
    session_ = attached.result.value("sessionId").toString();
    crashed_ = false;
    base_ = QStringLiteral("about:blank");
    state_ = ReadyState::Uninitialized;
    connection_->SetEventHandler(
        session_,
        [this](const QString& method, const QJsonObject& params) { OnEvent(method, params); });
    // The set-up commands go out at once and are answered in order.
    QList<int> sent;
    Configure(sent);
    const int frameTree = connection_->Send("Page.getFrameTree", {}, session_);
    sent.append(frameTree);
    connection_->WaitUntil(
        [&] {
            return std::all_of(sent.begin(), sent.end(),
                               [&](int id) { return connection_->HasReply(id); });
        },
        deadline);
    QString failure;
    for (const int id : sent) {
        const CdpReply reply = connection_->TakeReply(id);
        if (id == frameTree) {
            frameId_ = reply.result.value("frameTree")
                           .toObject()
                           .value("frame")
                           .toObject()
                           .value("id")
                           .toString();
        }
        if (!reply.ok() && failure.isEmpty()) failure = reply.error;
    }
    if (!failure.isEmpty() || frameId_.isEmpty()) {
        *error = QStringLiteral("the browser engine could not set up a page: %1")
                     .arg(failure.isEmpty() ? QStringLiteral("no main frame") : failure);
        DropTarget();
        return false;
    }
    return true;
}

void ChromiumPage::Configure(QList<int>& sent) {
    const auto send = [&](const QString& method, const QJsonObject& params = {}) {
        sent.append(connection_->Send(method, params, session_));
    };
    send("Page.enable");
    send("Page.setLifecycleEventsEnabled", {{"enabled", true}});
    send("Inspector.enable");
    send("Network.enable");
    send("Network.setCacheDisabled", {{"cacheDisabled", true}});
    // Without scroll bars the layout width is the page's width whatever the content's height.
    send("Emulation.setScrollbarsHidden", {{"hidden", true}});
    send("Emulation.setDeviceMetricsOverride",
         {{"width", width_}, {"height", height_}, {"deviceScaleFactor", 1}, {"mobile", false}});
    send("Emulation.setUserAgentOverride", {{"userAgent", UserAgent()}});
    // Where the document paints no background the picture stays clear: a picture item
    // over a background picture or a pre-printed form covers only what it shows.
    send("Emulation.setDefaultBackgroundColorOverride",
         {{"color", QJsonObject{{"r", 0}, {"g", 0}, {"b", 0}, {"a", 0}}}});
    if (textZoom_ != 2) {
        send("Page.setFontSizes",
             {{"fontSizes", QJsonObject{{"standard", kStandardFontSize[textZoom_]},
                                        {"fixed", kFixedFontSize[textZoom_]}}}});
    }
    if (opticalZoom_ != 100) {
        send("Emulation.setPageScaleFactor", {{"pageScaleFactor", opticalZoom_ / 100.0}});
    }
    if (!policy_.hostIsLocal) {
        send("Fetch.enable", {{"patterns", QJsonArray{QJsonObject{{"urlPattern", "*"}}}}});
    }
}

void ChromiumPage::DropTarget() {
    if (connection_) {
        connection_->RemoveEventHandler(session_);
        if (connection_->Alive() && !targetId_.isEmpty()) {
            connection_->Forget(connection_->Send("Target.closeTarget", {{"targetId", targetId_}}));
        }
    }
    connection_.reset();
    Forget();
    targetId_.clear();
    session_.clear();
    frameId_.clear();
    waitingForHost_.clear();
    pausedUrls_.clear();
    inflight_.clear();
}

void ChromiumPage::SendQuietly(const QString& method, const QJsonObject& params) {
    if (connection_ && connection_->Alive() && !session_.isEmpty()) {
        connection_->Forget(connection_->Send(method, params, session_));
    }
}

// --- events -----------------------------------------------------------------------------

void ChromiumPage::OnEvent(const QString& method, const QJsonObject& params) {
    if (method == QLatin1String("Page.frameNavigated")) {
        const QJsonObject frame = params.value("frame").toObject();
        if (!frame.contains("parentId")) {
            frameId_ = frame.value("id").toString();
            navigatedUrl_ = frame.value("url").toString() + frame.value("urlFragment").toString();
        }
    } else if (method == QLatin1String("Page.lifecycleEvent")) {
        if (params.value("frameId").toString() != frameId_) return;
        const QString name = params.value("name").toString();
        const QString loader = params.value("loaderId").toString();
        if (name == QLatin1String("DOMContentLoaded") && loader == currentLoader_ &&
            state_ == ReadyState::Loading) {
            state_ = ReadyState::Interactive;
        } else if (name == QLatin1String("load")) {
            loadedLoaders_.insert(loader);
            if (loader == currentLoader_) loadSeen_ = true;
        }
    } else if (method == QLatin1String("Network.requestWillBeSent")) {
        static const QSet<QString> loadTypes = {"Document", "Stylesheet", "Image", "Font",
                                                "Script"};
        if (loadTypes.contains(params.value("type").toString())) {
            inflight_.insert(params.value("requestId").toString());
        }
    } else if (method == QLatin1String("Network.loadingFinished") ||
               method == QLatin1String("Network.loadingFailed")) {
        inflight_.remove(params.value("requestId").toString());
        ++progress_;
    } else if (method == QLatin1String("Fetch.requestPaused")) {
        OnRequestPaused(params);
    } else if (method == QLatin1String("Inspector.targetCrashed") ||
               method == QLatin1String("Inspector.detached")) {
        crashed_ = true;
    }
}

void ChromiumPage::OnRequestPaused(const QJsonObject& params) {
    const QString requestId = params.value("requestId").toString();
    const QString url = params.value("request").toObject().value("url").toString();
    const QUrl address(url);
    switch (CheckAddress(address, policy_)) {
        case AddressCheck::Allowed:
            return Decide(requestId, url, true);
        case AddressCheck::Refused:
            return Decide(requestId, url, false);
        case AddressCheck::LookUpHost:
            break;
    }
    const QString host = address.host().toLower();
    if (const std::optional<bool> isPrivate = lookup_.Known(host)) {
        return Decide(requestId, url, !*isPrivate);
    }
    waitingForHost_[host].append(requestId);
    pausedUrls_.insert(requestId, url);
    lookup_.Start(host);
}

void ChromiumPage::OnHostAnswer(const QString& host, bool isPrivate) {
    for (const QString& requestId : waitingForHost_.take(host)) {
        Decide(requestId, pausedUrls_.take(requestId), !isPrivate);
    }
}

void ChromiumPage::Decide(const QString& requestId, const QString& url, bool allowed) {
    if (allowed) {
        SendQuietly("Fetch.continueRequest", {{"requestId", requestId}});
        return;
    }
    refused_.append(url);
    SendQuietly("Fetch.failRequest", {{"requestId", requestId}, {"errorReason", "AccessDenied"}});
}

// --- loading ----------------------------------------------------------------------------

void ChromiumPage::BeginLoad() {
    stopRequested_ = hookEnded_ = false;
    progress_ = reportedProgress_ = 0;
    loadSeen_ = completeReported_ = false;
    reportedUrl_.clear();
    navigatedUrl_.clear();
    refused_.clear();
    inflight_.clear();
    state_ = ReadyState::Loading;
}

void ChromiumPage::ReportProgress() {
    if (navigatedUrl_ != reportedUrl_) {
        reportedUrl_ = navigatedUrl_;
        if (hooks_.navigated) hooks_.navigated(reportedUrl_);
    }
    if (progress_ != reportedProgress_) {
        reportedProgress_ = progress_;
        if (hooks_.progress) hooks_.progress(progress_);
    }
    if (loadSeen_ && !completeReported_) {
        completeReported_ = true;
        if (hooks_.documentComplete) hooks_.documentComplete();
    }
}

ChromiumPage::Outcome ChromiumPage::Wait(const std::function<bool()>& done,
                                         const QDeadlineTimer& deadline, QString* error) {
    const auto finished = [&] { return done() || stopRequested_ || hookEnded_ || crashed_; };
    const CdpConnection::WaitEnd end = connection_->WaitUntil(finished, deadline, [this] {
        ReportProgress();
        if (hooks_.keepWaiting && !hooks_.keepWaiting()) hookEnded_ = true;
    });
    ReportProgress();
    if (crashed_) {
        *error = QStringLiteral("the page's renderer stopped");
        return Outcome::Failed;
    }
    if (end == CdpConnection::WaitEnd::Closed) {
        *error = connection_->Failure();
        return Outcome::Failed;
    }
    if (done()) return Outcome::Done;
    if (stopRequested_ || hookEnded_) return Outcome::Stopped;
    return Outcome::TimedOut;
}

LoadResult ChromiumPage::FromOutcome(Outcome outcome, const QString& error) {
    switch (outcome) {
        case Outcome::Done:
            return {LoadStatus::Complete, {}};
        case Outcome::Stopped:
            return {LoadStatus::Stopped, {}};
        case Outcome::TimedOut:
            SendQuietly("Page.stopLoading", {});
            return {LoadStatus::TimedOut, {}};
        case Outcome::Failed:
            break;
    }
    return Failed(error);
}

LoadResult ChromiumPage::NavigateAndWait(const QString& url, const QDeadlineTimer& deadline) {
    currentLoader_.clear();
    loadedLoaders_.clear();
    const int id =
        connection_->Send("Page.navigate", {{"url", url}, {"frameId", frameId_}}, session_);
    QString error;
    Outcome outcome = Wait([&] { return connection_->HasReply(id); }, deadline, &error);
    if (outcome != Outcome::Done) {
        connection_->Forget(id);
        return FromOutcome(outcome, error);
    }
    const CdpReply reply = connection_->TakeReply(id);
    const QString errorText = reply.ok() ? reply.result.value("errorText").toString() : reply.error;
    if (!errorText.isEmpty()) {
        return Failed(QStringLiteral("the page could not be loaded: %1").arg(errorText));
    }
    const QString loader = reply.result.value("loaderId").toString();
    if (loader.isEmpty()) return {LoadStatus::Complete, {}};  // a move within the same document
    currentLoader_ = loader;
    if (loadedLoaders_.contains(loader)) loadSeen_ = true;
    outcome = Wait([&] { return loadedLoaders_.contains(loader); }, deadline, &error);
    return FromOutcome(outcome, error);
}

LoadResult ChromiumPage::Settle(const QString& script, const QDeadlineTimer& deadline) {
    const BrowserResult<int> world = IsolatedWorld(deadline);
    if (!world) return Failed(world.error);
    const int id = connection_->Send("Runtime.evaluate",
                                     {{"expression", script},
                                      {"contextId", *world.value},
                                      {"awaitPromise", true},
                                      {"returnByValue", true}},
                                     session_);
    QString error;
    Outcome outcome = Wait([&] { return connection_->HasReply(id); }, deadline, &error);
    if (outcome != Outcome::Done) {
        connection_->Forget(id);
        return FromOutcome(outcome, error);
    }
    connection_->TakeReply(id);  // a picture that failed to decode still leaves a document
    // Style sheets, fonts and pictures of the styles that are still on their way.
    outcome = Wait([&] { return inflight_.isEmpty(); }, deadline, &error);
    return FromOutcome(outcome, error);
}

LoadResult ChromiumPage::FinishLoad(LoadResult result) {
    if (result.status == LoadStatus::Complete) {
        state_ = ReadyState::Complete;
        loadSeen_ = true;
        ReportProgress();
        if (hooks_.progress) hooks_.progress(-1);
    } else if (result.status == LoadStatus::Failed && state_ == ReadyState::Loading) {
        state_ = ReadyState::Uninitialized;
    }
    return result;
}

LoadResult ChromiumPage::Navigate(const QString& url) {
    if (busy_) return Failed(QStringLiteral("the page is busy with another load"));
    const BusyScope busy(busy_);
    QString why;
    if (CheckAddress(QUrl(url), policy_, &why) == AddressCheck::Refused) {
        return Failed(QStringLiteral("the address is refused: %1").arg(why));
    }
    if (!EnsureTarget(&why)) return Failed(why);
    Forget();
    BeginLoad();
    const QDeadlineTimer deadline(deadline_);
    LoadResult result = NavigateAndWait(url, deadline);
    base_ = url;
    if (result.status == LoadStatus::Complete) result = Settle(SettleScript(), deadline);
    return FinishLoad(result);
}

LoadResult ChromiumPage::WriteDocument(const QString& html) {
    if (busy_) return Failed(QStringLiteral("the page is busy with another load"));
    const BusyScope busy(busy_);
    QString why;
    if (!EnsureTarget(&why)) return Failed(why);
    BeginLoad();
    if (!written_.isEmpty() && html == written_) return FinishLoad({LoadStatus::Complete, {}});
    Forget();
    const QDeadlineTimer deadline(deadline_);
    // Local host pages write over our own file: page, so that their file: references load;
    // others over about:blank, from which file: addresses are out of reach. A document that
    // refers to nothing may stay on about:blank either way.
    const std::shared_ptr<ChromiumEngine> engine = engine_.lock();
    const QString blank = QStringLiteral("about:blank");
    const QString base = policy_.hostIsLocal && engine ? engine->BlankPageUrl() : blank;
    const bool overBase = base_ == base || (base_ == blank && !RefersToAnything(html));
    const bool scripts = HasScripts(html);
    if (!overBase || scripts) {
        const LoadResult opened = NavigateAndWait(base, deadline);
        base_ = base;
        if (opened.status != LoadStatus::Complete) return FinishLoad(opened);
    }
    const int id = connection_->Send("Page.setDocumentContent",
                                     {{"frameId", frameId_}, {"html", html}}, session_);
    const Outcome outcome = Wait([&] { return connection_->HasReply(id); }, deadline, &why);
    if (outcome != Outcome::Done) {
        connection_->Forget(id);
        return FinishLoad(FromOutcome(outcome, why));
    }
    const CdpReply reply = connection_->TakeReply(id);
    if (!reply.ok()) {
        return FinishLoad(
            Failed(QStringLiteral("the document could not be written: %1").arg(reply.error)));
    }
    const LoadResult settled = FinishLoad(Settle(SettleScript(), deadline));
    // A document with scripts may change itself after it was read.
    if (settled.status == LoadStatus::Complete && !scripts) written_ = html;
    return settled;
}

void ChromiumPage::Stop() {
    if (busy_) {
        stopRequested_ = true;
        Forget();
    }
    SendQuietly("Page.stopLoading", {});
    if (connection_) connection_->Wake();
}

// --- settings ---------------------------------------------------------------------------

void ChromiumPage::SetResourcePolicy(const ResourcePolicy& policy) {
    const bool changed = policy.hostIsLocal != policy_.hostIsLocal;
    policy_ = policy;
    if (!changed || session_.isEmpty()) return;
    if (policy_.hostIsLocal) {
        SendQuietly("Fetch.disable", {});
    } else {
        SendQuietly("Fetch.enable", {{"patterns", QJsonArray{QJsonObject{{"urlPattern", "*"}}}}});
    }
    base_.clear();  // the next write starts over the page that fits the policy
    Forget();
}

void ChromiumPage::Resize(int widthCss, int heightCss) {
    if (std::max(1, widthCss) != width_ || std::max(1, heightCss) != height_) Forget();
    width_ = std::max(1, widthCss);
    height_ = std::max(1, heightCss);
    if (session_.isEmpty() || busy_) {
        SendQuietly(
            "Emulation.setDeviceMetricsOverride",
            {{"width", width_}, {"height", height_}, {"deviceScaleFactor", 1}, {"mobile", false}});
        return;
    }
    const BusyScope busy(busy_);
    CallOnPage(
        "Emulation.setDeviceMetricsOverride",
        {{"width", width_}, {"height", height_}, {"deviceScaleFactor", 1}, {"mobile", false}},
        QDeadlineTimer(kSetupDeadline));
}

bool ChromiumPage::SetTextZoom(int level) {
    if (level < 0 || level > 4) return false;
    if (level != textZoom_) Forget();
    textZoom_ = level;
    SendQuietly("Page.setFontSizes",
                {{"fontSizes", QJsonObject{{"standard", kStandardFontSize[level]},
                                           {"fixed", kFixedFontSize[level]}}}});
    return true;
}

bool ChromiumPage::SetOpticalZoom(int percent) {
    if (percent < 10 || percent > 1000) return false;
    if (percent != opticalZoom_) Forget();
    opticalZoom_ = percent;
    SendQuietly("Emulation.setPageScaleFactor", {{"pageScaleFactor", percent / 100.0}});
    return true;
}

QString ChromiumPage::UserAgent() const {
    if (!userAgent_.isEmpty()) return userAgent_;
    const std::shared_ptr<ChromiumEngine> engine = engine_.lock();
    return engine ? engine->DefaultUserAgent() : QString();
}

void ChromiumPage::SetUserAgent(const QString& userAgent) {
    if (userAgent != userAgent_) Forget();
    userAgent_ = userAgent;
    SendQuietly("Emulation.setUserAgentOverride", {{"userAgent", UserAgent()}});
}

// --- reading ----------------------------------------------------------------------------

BrowserResult<QJsonObject> ChromiumPage::CallOnPage(const QString& method,
                                                    const QJsonObject& params,
                                                    const QDeadlineTimer& deadline) {
    using Result = BrowserResult<QJsonObject>;
    if (!connection_ || session_.isEmpty())
        return Result::Fail(QStringLiteral("no page is loaded"));
    const int id = connection_->Send(method, params, session_);
    connection_->WaitUntil([&] { return connection_->HasReply(id) || crashed_; }, deadline);
    if (!connection_->HasReply(id)) {
        connection_->Forget(id);
        if (crashed_) return Result::Fail(QStringLiteral("the page's renderer stopped"));
        return Result::Fail(connection_->Alive()
                                ? QStringLiteral("the browser did not answer in time")
                                : connection_->Failure());
    }
    const CdpReply reply = connection_->TakeReply(id);
    if (!reply.ok()) return Result::Fail(reply.error);
    return {reply.result, {}};
}

BrowserResult<int> ChromiumPage::IsolatedWorld(const QDeadlineTimer& deadline) {
    const BrowserResult<QJsonObject> world = CallOnPage(
        "Page.createIsolatedWorld", {{"frameId", frameId_}, {"worldName", "kavel"}}, deadline);
    if (!world) return BrowserResult<int>::Fail(world.error);
    return {world.value->value("executionContextId").toInt(), {}};
}

BrowserResult<QJsonValue> ChromiumPage::EvaluateIn(int context, const QString& expression,
                                                   const QDeadlineTimer& deadline) {
    using Result = BrowserResult<QJsonValue>;
    QJsonObject params{{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}};
    if (context != 0) params.insert("contextId", context);
    const BrowserResult<QJsonObject> reply = CallOnPage("Runtime.evaluate", params, deadline);
    if (!reply) return Result::Fail(reply.error);
    if (reply.value->contains("exceptionDetails")) return Result::Fail(ExceptionText(*reply.value));
    return {reply.value->value("result").toObject().value("value"), {}};
}

BrowserResult<QJsonValue> ChromiumPage::Evaluate(const QString& expression) {
    Forget();  // the expression may change the document
    return EvaluateIn(0, expression, QDeadlineTimer(deadline_));
}

void ChromiumPage::Forget() {
    written_.clear();
    read_.reset();
}

BrowserResult<std::shared_ptr<const LaidOutDocument>> ChromiumPage::Read(const ReadLimits& limits) {
    using Result = BrowserResult<std::shared_ptr<const LaidOutDocument>>;
    if (busy_) return Result::Fail(QStringLiteral("the page is busy with a load"));
    if (session_.isEmpty()) return Result::Fail(QStringLiteral("no page is loaded"));
    if (read_ && limits == readLimits_) return {read_, {}};
    const BusyScope busy(busy_);
    const QDeadlineTimer deadline(deadline_);
    const BrowserResult<int> world = IsolatedWorld(deadline);
    const BrowserResult<QJsonValue> reply =
        world ? EvaluateIn(*world.value, LayoutReadScript(limits), deadline)
              : BrowserResult<QJsonValue>::Fail(world.error);
    if (!reply)
        return Result::Fail(QStringLiteral("the layout could not be read: %1").arg(reply.error));
    const QByteArray json = LayoutReplyJson(*reply.value);
    if (json.isEmpty())
        return Result::Fail(QStringLiteral("the layout could not be read: its reply is damaged"));
    lastReplyBytes_ = json.size();
    BrowserResult<LaidOutDocument> document = LaidOutDocument::FromReply(json);
    if (!document) return Result::Fail(document.error);
    auto read = std::make_shared<const LaidOutDocument>(std::move(*document.value));
    if (!written_.isEmpty()) {
        read_ = read;
        readLimits_ = limits;
    }
    return {std::move(read), {}};
}

BrowserResult<QImage> ChromiumPage::CaptureTile(const QRectF& clip, double scale,
                                                const QDeadlineTimer& deadline) {
    const BrowserResult<QJsonObject> shot =
        CallOnPage("Page.captureScreenshot",
                   {{"format", "png"},
                    {"optimizeForSpeed", true},  // light compression: it is decoded at once
                    {"clip", QJsonObject{{"x", clip.x()},
                                         {"y", clip.y()},
                                         {"width", clip.width()},
                                         {"height", clip.height()},
                                         {"scale", scale}}}},
                   deadline);
    if (!shot) return BrowserResult<QImage>::Fail(shot.error);
    QImage image;
    if (!image.loadFromData(QByteArray::fromBase64(shot.value->value("data").toString().toLatin1()),
                            "PNG")) {
        return BrowserResult<QImage>::Fail(QStringLiteral("the browser's picture is not a PNG"));
    }
    return {image, {}};
}

BrowserResult<QImage> ChromiumPage::Capture(const QRectF& rect, double scale) {
    using Result = BrowserResult<QImage>;
    if (!rect.isValid() || !std::isfinite(rect.x()) || !std::isfinite(rect.y()) ||
        !std::isfinite(rect.width()) || !std::isfinite(rect.height()) || !(scale > 0) ||
        !(scale <= 64)) {
        return Result::Fail(
            QStringLiteral("no picture of an empty rectangle or at a scale of %1").arg(scale));
    }
    const double pixelsWide = std::ceil(rect.width() * scale - 1e-6);
    const double pixelsHigh = std::ceil(rect.height() * scale - 1e-6);
    if (pixelsWide * pixelsHigh > kMaxPicturePixels) {
        return Result::Fail(QStringLiteral("a picture of %1 x %2 pixels is larger than allowed")
                                .arg(pixelsWide)
                                .arg(pixelsHigh));
    }
    if (busy_) return Result::Fail(QStringLiteral("the page is busy with a load"));
    if (session_.isEmpty()) return Result::Fail(QStringLiteral("no page is loaded"));
    const BusyScope busy(busy_);
    const QDeadlineTimer deadline(deadline_);
    const BrowserResult<int> world = IsolatedWorld(deadline);
    if (!world) return Result::Fail(world.error);
    QImage picture(int(pixelsWide), int(pixelsHigh), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    // Only what is in the viewport is painted: the rectangle is taken in viewport-sized tiles,
    // each scrolled into view first (a capture beyond the viewport would lay out again).
    for (double top = rect.top(); top < rect.bottom(); top += height_) {
        for (double left = rect.left(); left < rect.right(); left += width_) {
            const QRectF tile = rect & QRectF(left, top, width_, height_);
            const BrowserResult<QJsonValue> scrolled = EvaluateIn(
                *world.value,
                QStringLiteral("window.scrollTo(%1, %2); [window.scrollX, window.scrollY]")
                    .arg(std::max(0.0, tile.left()))
                    .arg(std::max(0.0, tile.top())),
                deadline);
            if (!scrolled) return Result::Fail(scrolled.error);
            const QJsonArray at = scrolled.value->toArray();
            const QRectF visible =
                tile & QRectF(at.at(0).toDouble(), at.at(1).toDouble(), width_, height_);
            if (visible.isEmpty()) continue;  // beyond the document: stays white
            const Result shot = CaptureTile(visible, scale, deadline);
            if (!shot) return shot;
            const QRectF target((visible.left() - rect.left()) * scale,
                                (visible.top() - rect.top()) * scale, visible.width() * scale,
                                visible.height() * scale);
            painter.drawImage(target, *shot.value);
        }
    }
    painter.end();
    EvaluateIn(*world.value, QStringLiteral("window.scrollTo(0, 0)"), deadline);
    return {picture, {}};
}

BrowserResult<QByteArray> ChromiumPage::ResourceContent(const QString& url) {
    using Result = BrowserResult<QByteArray>;
    if (busy_) return Result::Fail(QStringLiteral("the page is busy with a load"));
    const BusyScope busy(busy_);
    const BrowserResult<QJsonObject> reply =
        CallOnPage("Page.getResourceContent", {{"frameId", frameId_}, {"url", url}},
                   QDeadlineTimer(deadline_));
    if (!reply) return Result::Fail(QStringLiteral("%1: %2").arg(url, reply.error));
    const QString content = reply.value->value("content").toString();
    if (reply.value->value("base64Encoded").toBool())
        return {QByteArray::fromBase64(content.toLatin1()), {}};
    return {content.toUtf8(), {}};
}

}  // namespace kavel
