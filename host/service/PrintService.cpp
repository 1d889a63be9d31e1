#include "PrintService.h"

#include <QMessageBox>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>

#include "ClientFiles.h"
#include "HttpRequest.h"
#include "platform/CupsPrinterSystem.h"
#include "platform/Display.h"
#include "platform/MachinePrinterSystem.h"
#include "platform/Messages.h"
#include "platform/VirtualPrinterSystem.h"
#include "platform/WindowPresenter.h"

namespace kavel::service {

namespace {

// A request head that has not arrived by then is given up: a client that opens
// connections and sends nothing ties up nothing for long.
constexpr int kHeadTimeoutMs = 10'000;
// Close codes the page sees (the 4000 range is the application's).
constexpr auto kRefused = static_cast<QWebSocketProtocol::CloseCode>(4003);
constexpr auto kTooMany = static_cast<QWebSocketProtocol::CloseCode>(4029);

QString NewToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString token;
    for (quint32 w : words) token += QString("%1").arg(w, 8, 16, QChar('0'));
    return token;
}

}  // namespace

PrintService::PrintService(ServiceOptions options, OriginPolicy policy, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      policy_(std::move(policy)),
      webSockets_(QStringLiteral("Kavel"), QWebSocketServer::NonSecureMode) {
    webSockets_.setHandshakeTimeout(kHeadTimeoutMs);
    connect(&webSockets_, &QWebSocketServer::newConnection, this, &PrintService::HandshakeDone);
    if (!options_.pdfFile.isEmpty()) {
        // One built-in printer for every page, so that the jobs of all pages are numbered
        // in one series (FILE, FILE-2, ...) and none writes over another's.
        pdfPrinter_ = MakePdfPrinterSystem(options_.pdfFile, QString());
    }
}

PrintService::~PrintService() {
    // Sessions go first: their controls still use the worlds.
    const auto sessions = sessions_.values();
    for (const QPointer<PageSession>& session : sessions) delete session.data();
}

bool PrintService::Listen(QString* error) {
    const bool v4 = v4_.listen(QHostAddress::LocalHost, options_.port);
    if (!v4) *error = QString("127.0.0.1 port %1: %2").arg(options_.port).arg(v4_.errorString());
    if (v4 && options_.port == 0) options_.port = v4_.serverPort();
    const bool v6 = v6_.listen(QHostAddress::LocalHostIPv6, options_.port);
    if (!v4 && !v6) return false;
    if (!v4) options_.port = v6_.serverPort();
    for (QTcpServer* server : {&v4_, &v6_}) {
        connect(server, &QTcpServer::newConnection, this, [this, server] { Accept(server); });
    }
    error->clear();
    return true;
}

void PrintService::Accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        socket->setParent(this);
        auto* timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, &QTcpSocket::abort);
        timer->start(kHeadTimeoutMs);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { ReadHead(socket); });
    }
}

void PrintService::ReadHead(QTcpSocket* socket) {
    HttpRequest request;
    // Peeked, not read: a WebSocket handshake is read again by the WebSocket server.
    const QByteArray data = socket->peek(kMaxRequestHead + 4);
    const HeadState state = ParseRequestHead(data, &request);
    if (state == HeadState::Incomplete) return;
    socket->disconnect(this);
    for (QTimer* timer : socket->findChildren<QTimer*>()) timer->stop();
    if (state == HeadState::Bad) {
        socket->write(HttpResponse(400, "text/plain", "bad request\n"));
        socket->disconnectFromHost();
        return;
    }
    // A name of another site that resolves to this machine is no way in.
    if (!IsLoopbackHost(request.Header("host"), options_.port)) {
        socket->write(HttpResponse(403, "text/plain",
                                   "the print service answers only requests for 127.0.0.1, "
                                   "[::1] and localhost\n"));
        socket->disconnectFromHost();
        return;
    }
    if (request.IsWebSocketUpgrade()) {
        if (request.method != "GET") {
            socket->write(HttpResponse(405, "text/plain", "GET\n"));
            socket->disconnectFromHost();
            return;
        }
        webSockets_.handleConnection(socket);
        return;
    }
    socket->read(data.indexOf("\r\n\r\n") + 4);
    ServeHttp(socket, request);
}

void PrintService::ServeHttp(QTcpSocket* socket, const HttpRequest& request) {
    QByteArray reply;
    const QByteArray origin = request.Header("origin");
    if (request.method == "OPTIONS") {
        // A page's preflight, with the local network access answer Chromium asks for.
        QMap<QByteArray, QByteArray> cors{{"Access-Control-Allow-Methods", "GET"},
                                          {"Access-Control-Allow-Private-Network", "true"},
                                          {"Access-Control-Allow-Local-Network", "true"},
                                          {"Access-Control-Max-Age", "600"}};
        if (!origin.isEmpty()) cors.insert("Access-Control-Allow-Origin", origin);
        reply = HttpResponse(204, {}, {}, cors);
    } else if (request.method != "GET" && request.method != "HEAD") {
        reply = HttpResponse(405, "text/plain", "GET\n");
    } else if (request.path == "/kavel.js") {
        reply = HttpResponse(200, "text/javascript; charset=utf-8", ClientScript(),
                             {{"Access-Control-Allow-Origin", "*"}});
    } else if (request.path == "/kavel.mjs") {
        reply = HttpResponse(
            200, "text/javascript; charset=utf-8",
            ClientScript() + "\nexport const Kavel = globalThis.Kavel;\nexport default Kavel;\n",
            {{"Access-Control-Allow-Origin", "*"}});
    } else if (request.path == "/kavel.d.ts") {
        reply = HttpResponse(200, "application/typescript; charset=utf-8", ClientDeclaration(),
                             {{"Access-Control-Allow-Origin", "*"}});
    } else if (request.path == "/") {
        ServiceStatus status{options_.port, Connections(), policy_.Allowed(), policy_.IniFile()};
        reply = HttpResponse(200, "text/html; charset=utf-8", StatusPageHtml(status));
    } else if (request.path.startsWith("/preview/")) {
        static const QRegularExpression route(
            QStringLiteral("^/preview/([0-9a-f]{32})/(\\d{1,6})\\.png$"));
        const auto match = route.match(request.path);
        const PageSession* session =
            match.hasMatch() ? sessions_.value(match.captured(1)) : nullptr;
        const int width = QUrlQuery(request.query).queryItemValue("width").toInt();
        const QByteArray png =
            session ? session->PagePicture(match.captured(2).toInt(), width) : QByteArray();
        reply = png.isEmpty()
                    ? HttpResponse(404, "text/plain", "no such page\n")
                    : HttpResponse(200, "image/png", png, {{"Access-Control-Allow-Origin", "*"}});
    } else {
        reply = HttpResponse(404, "text/plain", "not found\n");
    }
    if (request.method == "HEAD") reply.truncate(reply.indexOf("\r\n\r\n") + 4);
    socket->write(reply);
    socket->disconnectFromHost();
}

void PrintService::HandshakeDone() {
    while (QWebSocket* socket = webSockets_.nextPendingConnection()) {
        socket->setParent(this);
        socket->setMaxAllowedIncomingMessageSize(static_cast<quint64>(options_.maxMessageBytes));
        socket->setMaxAllowedIncomingFrameSize(static_cast<quint64>(options_.maxMessageBytes));
        connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
        Decide(socket);
    }
}

void PrintService::Decide(QWebSocket* socket) {
    const QString header = socket->origin();
    if (header.isEmpty()) {
        if (options_.allowLocalPrograms) {
            Admit(socket, QString());
        } else {
            Refuse(socket, QStringLiteral("a connection without an Origin header is a local "
                                          "program: start the service with "
                                          "--allow-local-programs to let local programs print"));
        }
        return;
    }
    const auto origin = NormalizeOrigin(header);
    if (!origin) {
        Refuse(socket, QString("pages of origin %1 cannot print").arg(Excerpt(header, 100)));
        return;
    }
    switch (policy_.Decide(*origin)) {
        case OriginPolicy::Decision::Allowed:
            Admit(socket, *origin);
            return;
        case OriginPolicy::Decision::Refused:
            Refuse(socket, policy_.RefusalText(*origin));
            return;
        case OriginPolicy::Decision::Ask:
            waiting_[*origin].append(socket);
            if (waiting_[*origin].size() == 1) Ask(*origin);
            return;
    }
}

void PrintService::Ask(const QString& origin) {
    // Asked once, without blocking the pages already printing; later connections of the
    // origin wait for the same answer.
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Kavel"),
                                QString("Allow %1 to print on this computer?").arg(origin),
                                QMessageBox::Yes | QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->setDefaultButton(QMessageBox::No);
    connect(box, &QMessageBox::finished, this, [this, box, origin](int) {
        const bool allowed = box->clickedButton() == box->button(QMessageBox::Yes);
        policy_.Remember(origin, allowed);
        const auto sockets = waiting_.take(origin);
        for (const QPointer<QWebSocket>& socket : sockets) {
            if (!socket) continue;
            if (allowed) {
                Admit(socket, origin);
            } else {
                Refuse(socket, policy_.RefusalText(origin));
            }
        }
    });
    box->show();
}

void PrintService::Refuse(QWebSocket* socket, const QString& text) {
    socket->sendTextMessage(QString::fromUtf8(Event(QStringLiteral("refused"), {{"error", text}})));
    // The close reason is cut to what a close frame carries.
    socket->close(kRefused, text.left(120));
}

void PrintService::Admit(QWebSocket* socket, const QString& origin) {
    const QString key = origin.isEmpty() ? QStringLiteral("local program") : origin;
    if (Connections() >= options_.maxConnections ||
        perOrigin_.value(key) >= options_.maxConnectionsPerOrigin) {
        const QString text =
            QString("too many pages of %1 are connected (at most %2)")
                .arg(key)
                .arg(std::min(options_.maxConnections, options_.maxConnectionsPerOrigin));
        socket->sendTextMessage(
            QString::fromUtf8(Event(QStringLiteral("refused"), {{"error", text}})));
        socket->close(kTooMany, text.left(120));
        return;
    }
    const QString token = NewToken();
    const QString base = QString("http://127.0.0.1:%1/preview/%2/").arg(options_.port).arg(token);
    disconnect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
    auto* session = new PageSession(socket, origin, WorldOf(key), base, options_.session, this);
    sessions_.insert(token, session);
    ++perOrigin_[key];
    connect(session, &QObject::destroyed, this, [this, token, key] {
        sessions_.remove(token);
        if (--perOrigin_[key] <= 0) perOrigin_.remove(key);
    });
}

const ControlContext& PrintService::WorldOf(const QString& origin) {
    std::shared_ptr<ControlContext>& world = worlds_[origin];
    if (!world) {
        world = std::make_shared<ControlContext>();
        if (pdfPrinter_) {
            world->printers = pdfPrinter_;
        } else {
            world->printers = std::make_shared<MachinePrinterSystem>(
                std::make_shared<CupsPrinterSystem>(options_.printer));
        }
        world->presenter =
            HasDisplay() ? std::shared_ptr<WindowPresenter>(std::make_shared<ScreenPresenter>())
                         : std::make_shared<HeadlessPresenter>();
        world->messages = std::make_shared<StderrMessages>(false);
    }
    return *world;
}

}  // namespace kavel::service
