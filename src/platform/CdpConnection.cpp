#include "platform/CdpConnection.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <cerrno>
#include <ctime>

namespace kavel {

namespace {

// Writes without letting a closed pipe raise SIGPIPE in the whole process: the signal is
// blocked for this thread during the write, and one that the write raised is taken back.
ssize_t WriteQuietly(int fd, const char* data, size_t size) {
    sigset_t pipeOnly, old;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const bool wasPending = sigismember(&pendingBefore, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &old);
    ssize_t n;
    do {
        n = ::write(fd, data, size);
    } while (n < 0 && errno == EINTR);
    const int writeError = errno;
    if (n < 0 && writeError == EPIPE && !wasPending) {
        const timespec none{0, 0};
        sigtimedwait(&pipeOnly, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = writeError;
    return n;
}

void MakeNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

}  // namespace

CdpConnection::CdpConnection(int fromBrowser, int toBrowser, qsizetype maxMessage)
    : from_(fromBrowser), to_(toBrowser), maxMessage_(maxMessage), splitter_(maxMessage) {
    MakeNonBlocking(from_);
    MakeNonBlocking(to_);
    readNotifier_ = std::make_unique<QSocketNotifier>(from_, QSocketNotifier::Read);
    QObject::connect(readNotifier_.get(), &QSocketNotifier::activated, this,
                     [this] { ReadAvailable(); });
    writeNotifier_ = std::make_unique<QSocketNotifier>(to_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    QObject::connect(writeNotifier_.get(), &QSocketNotifier::activated, this,
                     [this] { WriteQueued(); });
}

CdpConnection::~CdpConnection() {
    Close(QStringLiteral("the browser engine was closed"));
}

void CdpConnection::Close(const QString& why) {
    if (!Alive()) return;
    failure_ = why.isEmpty() ? QStringLiteral("the browser engine stopped") : why;
    // The notifiers may be the ones whose signal is running: they go once it has returned.
    for (auto* notifier : {&readNotifier_, &writeNotifier_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
    if (from_ >= 0) ::close(from_);
    if (to_ >= 0) ::close(to_);
    from_ = to_ = -1;
    outgoing_.clear();
    outgoingDone_ = 0;
    for (const int id : std::as_const(pending_)) replies_[id] = {{}, failure_};
    pending_.clear();
    Wake();
}

int CdpConnection::Send(const QString& method, const QJsonObject& params, const QString& session) {
    if (!Alive()) return 0;
    const int id = nextId_++;
    QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
    if (!session.isEmpty()) message.insert("sessionId", session);
    if (outgoingDone_ == outgoing_.size()) {
        outgoing_.clear();
        outgoingDone_ = 0;
    }
    outgoing_ += QJsonDocument(message).toJson(QJsonDocument::Compact);
    outgoing_ += '\0';
    pending_.insert(id);
    WriteQueued();
    return id;
}

CdpReply CdpConnection::TakeReply(int id) {
    const auto it = replies_.find(id);
    if (it == replies_.end()) return {{}, QStringLiteral("no reply")};
    CdpReply reply = std::move(it->second);
    replies_.erase(it);
    return reply;
}

void CdpConnection::Forget(int id) {
    pending_.remove(id);
    replies_.erase(id);
}

CdpReply CdpConnection::Call(const QString& method, const QJsonObject& params,
                             const QString& session, const QDeadlineTimer& deadline) {
    const int id = Send(method, params, session);
    if (id == 0) return {{}, failure_};
    WaitUntil([&] { return HasReply(id); }, deadline);
    if (!HasReply(id)) {
        Forget(id);
        return {{}, QStringLiteral("the browser engine did not answer %1 in time").arg(method)};
    }
    return TakeReply(id);
}

void CdpConnection::SetEventHandler(const QString& session, EventHandler handler) {
    handlers_.insert(session, std::move(handler));
}

void CdpConnection::RemoveEventHandler(const QString& session) {
    handlers_.remove(session);
}

CdpConnection::WaitEnd CdpConnection::WaitUntil(const std::function<bool()>& done,
                                                const QDeadlineTimer& deadline,
                                                const std::function<void()>& tick) {
    QEventLoop loop;
    QTimer deadlineTimer, tickTimer;
    deadlineTimer.setSingleShot(true);
    QObject::connect(&deadlineTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&tickTimer, &QTimer::timeout, &loop, [&] {
        if (tick) tick();
        if (done()) loop.quit();
    });
    tickTimer.start(100);
    waiters_.push_back({&done, &loop});
    while (!done() && Alive() && !deadline.hasExpired()) {
        if (!deadline.isForever()) {
            deadlineTimer.start(std::max<qint64>(0, deadline.remainingTime()));
        }
        loop.exec();
    }
    std::erase_if(waiters_, [&](const Waiter& w) { return w.loop == &loop; });
    if (done()) return WaitEnd::Done;
    return Alive() ? WaitEnd::Deadline : WaitEnd::Closed;
}

void CdpConnection::Wake() {
    for (const Waiter& waiter : waiters_) {
        if (!Alive() || (*waiter.done)()) waiter.loop->quit();
    }
}

void CdpConnection::ReadAvailable() {
    std::vector<CdpMessageSplitter::Message> messages;
    if (readBuffer_.isEmpty()) readBuffer_.resize(256 << 10);
    QString closed;
    for (;;) {
        const ssize_t n = ::read(from_, readBuffer_.data(), size_t(readBuffer_.size()));
        if (n > 0) {
            splitter_.Feed(readBuffer_.constData(), n, messages);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        closed = QStringLiteral("the browser engine stopped");
        break;
    }
    // Keep this object alive through the handlers, which may drop the last page using it.
    const QPointer<CdpConnection> self(this);
    for (const auto& message : messages) {
        Dispatch(message);
        if (!self) return;
    }
    if (!closed.isEmpty()) Close(closed);
    Wake();
}

void CdpConnection::Dispatch(const CdpMessageSplitter::Message& message) {
    if (message.oversized) {
        const int id = LeadingReplyId(message.text);
        if (pending_.remove(id)) {
            replies_[id] = {
                {},
                QStringLiteral("the browser's reply is larger than %1 MB").arg(maxMessage_ >> 20)};
        }
        return;
    }
    const QJsonObject object = QJsonDocument::fromJson(message.text).object();
    if (object.contains("id")) {
        const int id = object.value("id").toInt();
        if (!pending_.remove(id)) return;
        CdpReply reply;
        if (object.contains("error")) {
            const QJsonObject error = object.value("error").toObject();
            reply.error = error.value("message").toString();
            if (reply.error.isEmpty())
                reply.error = QStringLiteral("the browser refused the command");
        } else {
            reply.result = object.value("result").toObject();
        }
        replies_[id] = std::move(reply);
        return;
    }
    const QString method = object.value("method").toString();
    if (method.isEmpty()) return;
    const auto it = handlers_.constFind(object.value("sessionId").toString());
    if (it == handlers_.cend()) return;
    const EventHandler handler = *it;  // the handler may remove itself
    handler(method, object.value("params").toObject());
}

void CdpConnection::WriteQueued() {
    while (Alive() && outgoingDone_ < outgoing_.size()) {
        const ssize_t n = WriteQuietly(to_, outgoing_.constData() + outgoingDone_,
                                       size_t(outgoing_.size() - outgoingDone_));
        if (n > 0) {
            outgoingDone_ += n;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writeNotifier_->setEnabled(true);
            return;
        }
        Close(QStringLiteral("the browser engine stopped"));
        return;
    }
    if (writeNotifier_) writeNotifier_->setEnabled(false);
    if (outgoingDone_ == outgoing_.size()) {
        outgoing_.clear();
        outgoingDone_ = 0;
    }
}

}  // namespace kavel
