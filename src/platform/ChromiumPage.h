// One hidden browser page on headless Chromium: a target of the engine's browser, attached
// over the pipe, re-made on the browser that runs when the one it belonged to has died.
#pragma once

#include <QDeadlineTimer>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <QStringList>
#include <memory>

#include "platform/BrowserEngine.h"
#include "platform/HostLookup.h"

namespace kavel {

class CdpConnection;
class ChromiumEngine;

class ChromiumPage : public BrowserPage {
  public:
    ChromiumPage(std::weak_ptr<ChromiumEngine> engine, int widthCss, int heightCss);
    ~ChromiumPage() override;

    LoadResult Navigate(const QString& url) override;
    LoadResult WriteDocument(const QString& html) override;
    void Stop() override;
    ReadyState State() const override { return state_; }
    void SetHooks(LoadHooks hooks) override { hooks_ = std::move(hooks); }
    void SetDeadline(std::chrono::milliseconds deadline) override { deadline_ = deadline; }
    void SetResourcePolicy(const ResourcePolicy& policy) override;
    void Resize(int widthCss, int heightCss) override;
    int TextZoom() const override { return textZoom_; }
    bool SetTextZoom(int level) override;
    int OpticalZoom() const override { return opticalZoom_; }
    bool SetOpticalZoom(int percent) override;
    QString UserAgent() const override;
    void SetUserAgent(const QString& userAgent) override;
    BrowserResult<std::shared_ptr<const LaidOutDocument>> Read(
        const ReadLimits& limits = {}) override;
    BrowserResult<QImage> Capture(const QRectF& documentRect, double scale) override;
    BrowserResult<QByteArray> ResourceContent(const QString& url) override;

    // Evaluates an expression in the page's own script world and returns its value (a
    // promise is awaited). For tests and diagnostics.
    BrowserResult<QJsonValue> Evaluate(const QString& expression);
    // The size of the last layout reply (UTF-8 bytes of its JSON).
    qsizetype LastReplyBytes() const { return lastReplyBytes_; }
    // The addresses the resource policy refused since the last load began.
    QStringList RefusedAddresses() const { return refused_; }

  private:
    enum class Outcome { Done, Stopped, TimedOut, Failed };

    bool EnsureTarget(QString* error);
    void DropTarget();
    void Configure(QList<int>& sent);
    void OnEvent(const QString& method, const QJsonObject& params);
    void OnRequestPaused(const QJsonObject& params);
    void Decide(const QString& requestId, const QString& url, bool allowed);
    void OnHostAnswer(const QString& host, bool isPrivate);
    void SendQuietly(const QString& method, const QJsonObject& params);

    void BeginLoad();
    LoadResult NavigateAndWait(const QString& url, const QDeadlineTimer& deadline);
    LoadResult Settle(const QString& script, const QDeadlineTimer& deadline);
    LoadResult FinishLoad(LoadResult result);
    LoadResult FromOutcome(Outcome outcome, const QString& error);
    Outcome Wait(const std::function<bool()>& done, const QDeadlineTimer& deadline, QString* error);
    void ReportProgress();
    // Send and wait for the reply, ending early when the page's renderer stops.
    BrowserResult<QJsonObject> CallOnPage(const QString& method, const QJsonObject& params,
                                          const QDeadlineTimer& deadline);
    BrowserResult<int> IsolatedWorld(const QDeadlineTimer& deadline);
    BrowserResult<QJsonValue> EvaluateIn(int context, const QString& expression,
                                         const QDeadlineTimer& deadline);
    BrowserResult<QImage> CaptureTile(const QRectF& clip, double scale,
                                      const QDeadlineTimer& deadline);

    std::weak_ptr<ChromiumEngine> engine_;
    std::shared_ptr<CdpConnection> connection_;
    int generation_ = 0;
    QString targetId_, session_, frameId_;
    QString base_;  // address of the document that writes go over

    int width_, height_;
    int textZoom_ = 2;
    int opticalZoom_ = 100;
    QString userAgent_;
    ResourcePolicy policy_;
    LoadHooks hooks_;
    std::chrono::milliseconds deadline_ = kDefaultLoadDeadline;

    ReadyState state_ = ReadyState::Uninitialized;
    bool busy_ = false;
    bool stopRequested_ = false;
    bool hookEnded_ = false;
    bool crashed_ = false;
    QString currentLoader_;
    QSet<QString> loadedLoaders_;
    QSet<QString>
        inflight_;  // requests that hold up a load (documents, styles, pictures, fonts, scripts)
    QString navigatedUrl_, reportedUrl_;
    int progress_ = 0, reportedProgress_ = 0;
    bool loadSeen_ = false, completeReported_ = false;

    HostLookup lookup_;
    QHash<QString, QStringList> waitingForHost_;  // host -> paused request ids
    QHash<QString, QString> pausedUrls_;          // request id -> address
    QStringList refused_;
    qsizetype lastReplyBytes_ = 0;

    // The last written document while the page still shows it as it was laid out: the same
    // document written again (one without scripts) is not loaded again, and its layout is
    // read once (`read_` is kept only while `written_` is).
    void Forget();
    QString written_;
    std::shared_ptr<const LaidOutDocument> read_;
    ReadLimits readLimits_;
};

}  // namespace kavel
