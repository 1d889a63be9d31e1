#include "HttpRequest.h"

#include <QList>

namespace kavel::service {

bool HttpRequest::IsWebSocketUpgrade() const {
    return Header("upgrade").trimmed().toLower() == "websocket" &&
           Header("connection").toLower().contains("upgrade");
}

HeadState ParseRequestHead(const QByteArray& data, HttpRequest* request) {
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (end < 0) return data.size() > kMaxRequestHead ? HeadState::Bad : HeadState::Incomplete;
    if (end > kMaxRequestHead) return HeadState::Bad;
    const QList<QByteArray> lines = data.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || !first[2].startsWith("HTTP/1.")) return HeadState::Bad;
    HttpRequest r;
    r.method = first[0];
    const QByteArray target = first[1];
    if (!target.startsWith('/')) return HeadState::Bad;
    const qsizetype question = target.indexOf('?');
    r.path = QString::fromLatin1(question < 0 ? target : target.left(question));
    r.query = question < 0 ? QString() : QString::fromLatin1(target.mid(question + 1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) return HeadState::Bad;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        // A repeated header is ambiguous for the ones that decide anything here.
        if (r.headers.contains(name) && (name == "host" || name == "origin")) return HeadState::Bad;
        r.headers.insert(name, value);
    }
    *request = std::move(r);
    return HeadState::Complete;
}

bool IsLoopbackHost(const QByteArray& host, quint16 port) {
    const QByteArray suffix = ':' + QByteArray::number(port);
    for (const char* name : {"127.0.0.1", "localhost", "[::1]"}) {
        if (host.toLower() == QByteArray(name) + suffix) return true;
    }
    return false;
}

QByteArray HttpResponse(int status, const QByteArray& contentType, const QByteArray& body,
                        const QMap<QByteArray, QByteArray>& headers) {
    static const QMap<int, QByteArray> reasons = {{200, "OK"},
                                                  {204, "No Content"},
                                                  {400, "Bad Request"},
                                                  {403, "Forbidden"},
                                                  {404, "Not Found"},
                                                  {405, "Method Not Allowed"},
                                                  {503, "Service Unavailable"}};
    QByteArray out =
        "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasons.value(status, "Error") + "\r\n";
    if (!contentType.isEmpty()) out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\nConnection: close\r\n";
    for (auto it = headers.begin(); it != headers.end(); ++it) {
        out += it.key() + ": " + it.value() + "\r\n";
    }
    return out + "\r\n" + body;
}

}  // namespace kavel::service
