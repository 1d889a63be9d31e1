#include "platform/ChromiumEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QUrl>

#include "platform/CdpConnection.h"
#include "platform/ChromiumPage.h"
#include "platform/RuntimeFolder.h"

namespace kavel {

namespace {

// Large enough for the layout of a big document and a picture of 16 million pixels.
constexpr qsizetype kMaxMessage = qsizetype(128) << 20;

// The engines alive, ended when the application object goes (its event loop and socket
// notifiers go with it, and the browser must not outlive the program).
// Never destroyed: the process-wide engine is a static that may end after it.
QSet<ChromiumEngine*>& LiveEngines() {
    static auto* engines = new QSet<ChromiumEngine*>;
    return *engines;
}

void ShutdownLiveEngines() {
    for (ChromiumEngine* engine : LiveEngines()) engine->Shutdown(true);
}

QString StartError(const QString& why) {
    return QStringLiteral("the browser engine could not be started: %1").arg(why);
}

}  // namespace

ChromiumEngine::ChromiumEngine(ChromiumOptions options) : options_(std::move(options)) {
    LiveEngines().insert(this);
}

ChromiumEngine::~ChromiumEngine() {
    LiveEngines().remove(this);
    Shutdown();
}

QString ChromiumEngine::Start() {
    if (connection_ && connection_->Alive()) return {};
    Shutdown();
    if (!QCoreApplication::instance()) return StartError(QStringLiteral("no application object"));
    static const bool cleanupRegistered = [] {
        qAddPostRoutine(ShutdownLiveEngines);
        return true;
    }();
    (void)cleanupRegistered;
    QString why;
    process_ = ChromiumProcess::Launch(options_, &why);
    if (!process_) return StartError(why);
    connection_ = std::make_shared<CdpConnection>(process_->TakeReplyEnd(),
                                                  process_->TakeCommandEnd(), kMaxMessage);
    const CdpReply version =
        connection_->Call("Browser.getVersion", {}, {}, QDeadlineTimer(options_.startDeadline));
    if (!version.ok()) {
        // A browser that closed its pipe is ending: its exit status says why.
        QString exit = process_->ExitDescription(
            connection_->Alive() ? std::chrono::milliseconds(0) : std::chrono::milliseconds(1000));
        if (exit.isEmpty()) {
            exit = connection_->Alive() ? QStringLiteral("it did not answer within %1 s")
                                              .arg(options_.startDeadline.count() / 1000.0)
                                        : connection_->Failure();
        }
        Shutdown();
        return StartError(exit);
    }
    product_ = version.result.value("product").toString();
    userAgent_ = version.result.value("userAgent").toString();
    // Pages lay out for a normal browser, not for one that says it is headless.
    userAgent_.replace(QStringLiteral("HeadlessChrome"), QStringLiteral("Chrome"));
    QString writeError;
    if (!WritePrivateFile(process_->ProfileFolder(), "kavel-blank.html", QByteArray(),
                          &writeError)) {
        Shutdown();
        return StartError(QStringLiteral("no blank page: %1").arg(writeError));
    }
    blankUrl_ = QUrl::fromLocalFile(QDir(process_->ProfileFolder()).filePath("kavel-blank.html"))
                    .toString();
    const CdpReply targets =
        connection_->Call("Target.getTargets", {}, {}, QDeadlineTimer(options_.startDeadline));
    for (const QJsonValue& target : targets.result.value("targetInfos").toArray()) {
        const QJsonObject info = target.toObject();
        if (info.value("type").toString() == QLatin1String("page")) {
            firstTarget_ = info.value("targetId").toString();
            break;
        }
    }
    ++generation_;
    return {};
}

QString ChromiumEngine::Version() {
    return Start().isEmpty() ? product_ : QString();
}

std::unique_ptr<BrowserPage> ChromiumEngine::NewPage(int widthCss, int heightCss) {
    return std::make_unique<ChromiumPage>(weak_from_this(), widthCss, heightCss);
}

std::shared_ptr<CdpConnection> ChromiumEngine::Connection(QString* error) {
    const QString why = Start();
    if (!why.isEmpty()) {
        if (error) *error = why;
        return nullptr;
    }
    return connection_;
}

pid_t ChromiumEngine::BrowserPid() const {
    return process_ && connection_ && connection_->Alive() ? process_->Pid() : 0;
}

void ChromiumEngine::Shutdown(bool programEnds) {
    firstTarget_.clear();
    if (connection_) connection_->Close(QStringLiteral("the browser engine stopped"));
    connection_.reset();
    if (process_ && programEnds) process_->KillWithoutWaiting();
    process_.reset();
}

}  // namespace kavel
