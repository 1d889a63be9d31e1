// One connected page: its WebSocket, its control and the calls it sent, run one after
// another in the order they came. The control lives in the world of the page's origin
// (shared with the origin's other pages) with a message sink and a host page of its own.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <deque>
#include <memory>

#include "ServiceProtocol.h"
#include "control/ControlContext.h"

class QWebSocket;

namespace kavel {
class TPrevStringForm;
class TKVPrinter;
class TKavelX;
}  // namespace kavel

namespace kavel::service {

class SessionHostPage;
class CallMessages;

struct SessionLimits {
    int maxQueuedCalls = 1000;  // calls waiting beyond this close the connection
};

class PageSession : public QObject, public IKavelXEvents {
    Q_OBJECT
  public:
    // socket: accepted and allowed, taken over. world: the origin's. previewBase: the
    // address under which this session's page pictures are served (ends with "/").
    PageSession(QWebSocket* socket, const QString& origin, const ControlContext& world,
                const QString& previewBase, SessionLimits limits, QObject* parent = nullptr);
    ~PageSession() override;

    QString Origin() const { return origin_; }
    // A picture of page n (1-based) of the embedded preview, `width` pixels wide (0: at
    // 96 dots per inch), as PNG; empty when there is no such page.
    QByteArray PagePicture(int n, int width) const;

    // IKavelXEvents: each event reaches the page as an event message.
#define KAVEL_SESSION_EVENT(name, dispid, params) HRESULT name params override;
    KAVEL_IKAVELXEVENTS_MEMBERS(KAVEL_SESSION_EVENT)
#undef KAVEL_SESSION_EVENT

  signals:
    // The connection is gone and nothing of it runs any more.
    void finished();

  private:
    void Received(const QString& text);
    void Pump();
    void Run(const Request& request);
    void Send(const QByteArray& message);
    void AnnouncePreview();
    void Close(int code, const QString& reason);
    void Gone();
    TPrevStringForm* EmbeddedPreview() const;

    QPointer<QWebSocket> socket_;
    QString origin_;
    QString previewBase_;
    SessionLimits limits_;
    std::shared_ptr<SessionHostPage> hostPage_;
    std::shared_ptr<CallMessages> messages_;
    std::unique_ptr<TKavelX> control_;
    std::deque<Request> queue_;
    bool running_ = false;
    bool gone_ = false;
    bool greeted_ = false;
    QPointer<TPrevStringForm> announced_;
    const TKVPrinter* announcedTarget_ = nullptr;
    int previews_ = 0;  // numbers the previews announced, so that pictures are not cached
};

}  // namespace kavel::service
