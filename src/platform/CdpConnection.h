// The connection to the browser over its debugging pipe: commands out, replies and events in.
// Waiting runs a nested event loop, so the GUI thread keeps serving events meanwhile; the
// pipe is read by a socket notifier and never in a blocking read.
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/CdpMessages.h"

class QSocketNotifier;
class QEventLoop;

namespace kavel {

struct CdpReply {
    QJsonObject result;
    QString error;  // the browser's error message, or why no reply came
    bool ok() const { return error.isEmpty(); }
};

class CdpConnection : public QObject {
  public:
    // Called for each event of a session ("" for the browser's own events). Handlers may send
    // commands but must not wait.
    using EventHandler = std::function<void(const QString& method, const QJsonObject& params)>;
    enum class WaitEnd { Done, Deadline, Closed };

    // Takes the two pipe ends (replies from the browser, commands to it) and closes them when
    // it closes. Replies longer than maxMessage fail their request.
    CdpConnection(int fromBrowser, int toBrowser, qsizetype maxMessage);
    ~CdpConnection() override;

    bool Alive() const { return failure_.isEmpty(); }
    QString Failure() const { return failure_; }
    // Ends the connection: every request still waiting fails with `why`.
    void Close(const QString& why);

    // Queues a command; its id, to wait for with HasReply/TakeReply (0 when closed).
    int Send(const QString& method, const QJsonObject& params = {}, const QString& session = {});
    bool HasReply(int id) const { return replies_.count(id) > 0; }
    CdpReply TakeReply(int id);
    // The reply of this request is not wanted any more.
    void Forget(int id);
    // Send, wait until the reply or the deadline, take it.
    CdpReply Call(const QString& method, const QJsonObject& params, const QString& session,
                  const QDeadlineTimer& deadline);

    void SetEventHandler(const QString& session, EventHandler handler);
    void RemoveEventHandler(const QString& session);

    // Runs the event loop until `done` holds, the deadline passes or the connection closes.
    // `tick` runs about ten times a second meanwhile.
    WaitEnd WaitUntil(const std::function<bool()>& done, const QDeadlineTimer& deadline,
                      const std::function<void()>& tick = {});
    // Makes waiting calls look at their condition again (after a flag they watch changed).
    void Wake();

  private:
    void ReadAvailable();
    void Dispatch(const CdpMessageSplitter::Message& message);
    void WriteQueued();

    struct Waiter {
        const std::function<bool()>* done;
        QEventLoop* loop;
    };

    int from_ = -1, to_ = -1;
    qsizetype maxMessage_;
    std::unique_ptr<QSocketNotifier> readNotifier_, writeNotifier_;
    CdpMessageSplitter splitter_;
    QByteArray readBuffer_;
    QByteArray outgoing_;
    qsizetype outgoingDone_ = 0;
    int nextId_ = 1;
    QSet<int> pending_;
    std::unordered_map<int, CdpReply> replies_;
    QHash<QString, EventHandler> handlers_;
    std::vector<Waiter> waiters_;
    QString failure_;
};

}  // namespace kavel
