// `kavel serve`: the local print service for web pages. It listens on 127.0.0.1 and ::1
// only; HTTP serves kavel.js, its TypeScript declaration, a status page and the pictures
// of embedded previews; WebSocket connections of allowed origins each get a control.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QWebSocketServer>
#include <memory>

#include "OriginPolicy.h"
#include "PageSession.h"

class QTcpSocket;
class QWebSocket;

namespace kavel {
class PrinterSystem;
}

namespace kavel::service {

constexpr quint16 kDefaultPort = 17117;

struct ServiceOptions {
    quint16 port = kDefaultPort;
    bool allowLocalPrograms = false;  // connections without an Origin header
    QString pdfFile;                  // when set: only the built-in PDF printer, writing here
    QString printer;                  // the system printer used as the default
    qint64 maxMessageBytes = 32 << 20;
    int maxConnectionsPerOrigin = 200;
    int maxConnections = 2000;
    SessionLimits session;
};

class PrintService : public QObject {
    Q_OBJECT
  public:
    PrintService(ServiceOptions options, OriginPolicy policy, QObject* parent = nullptr);
    ~PrintService() override;

    // Listens on both loopback addresses (one of them is enough when the other is missing
    // on this machine); false with the reason when the port cannot be had.
    bool Listen(QString* error);
    quint16 Port() const { return options_.port; }
    int Connections() const { return static_cast<int>(sessions_.size()); }

  private:
    void Accept(QTcpServer* server);
    void ReadHead(QTcpSocket* socket);
    void ServeHttp(QTcpSocket* socket, const struct HttpRequest& request);
    void HandshakeDone();
    void Decide(QWebSocket* socket);
    void Ask(const QString& origin);
    void Admit(QWebSocket* socket, const QString& origin);
    void Refuse(QWebSocket* socket, const QString& text);
    const ControlContext& WorldOf(const QString& origin);
    QByteArray StatusPage() const;

    ServiceOptions options_;
    OriginPolicy policy_;
    QTcpServer v4_;
    QTcpServer v6_;
    QWebSocketServer webSockets_;
    QHash<QString, std::shared_ptr<ControlContext>> worlds_;
    QHash<QString, QPointer<PageSession>> sessions_;  // by preview token
    QHash<QString, int> perOrigin_;
    QHash<QString, QList<QPointer<QWebSocket>>> waiting_;  // origins being asked about
    std::shared_ptr<PrinterSystem> pdfPrinter_;
};

}  // namespace kavel::service
