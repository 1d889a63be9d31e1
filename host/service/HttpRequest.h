// The head of an HTTP request as the service reads it: enough to route a GET, answer a
// CORS preflight and hand a WebSocket upgrade on. Pure, so that it is tested and fuzzed
// with plain text.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

namespace kavel::service {

constexpr int kMaxRequestHead = 16 * 1024;

struct HttpRequest {
    QByteArray method;
    QString path;                          // without the query
    QString query;                         // without "?"
    QMap<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray Header(const char* name) const { return headers.value(QByteArray(name)); }
    bool IsWebSocketUpgrade() const;
};

enum class HeadState { Incomplete, Complete, Bad };

// Reads the head of `data` (everything up to the empty line). Incomplete while the empty
// line has not arrived and the head is within kMaxRequestHead.
HeadState ParseRequestHead(const QByteArray& data, HttpRequest* request);

// Whether the Host header names this machine's loopback at the port (a page of another
// site that made a name resolve to 127.0.0.1 names its own host there).
bool IsLoopbackHost(const QByteArray& host, quint16 port);

QByteArray HttpResponse(int status, const QByteArray& contentType, const QByteArray& body,
                        const QMap<QByteArray, QByteArray>& headers = {});

}  // namespace kavel::service
