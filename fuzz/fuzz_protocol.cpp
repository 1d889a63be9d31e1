// Arbitrary bytes as what a web page or any local program can send the print service: a
// WebSocket message, an HTTP request head, an origin and a reported page path. Parsing
// must never crash, and what it accepts must hold what the service relies on.
#include <QByteArray>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <cstdlib>

#include "HttpRequest.h"
#include "OriginPolicy.h"
#include "ServiceProtocol.h"

namespace {

using namespace kavel;
using namespace kavel::service;

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const Parsed parsed = ParseRequest(bytes);
    Require(parsed.request.has_value() != !parsed.error.isEmpty());
    if (parsed.request) {
        const Request& r = *parsed.request;
        Require(static_cast<int>(r.args.size()) <= kMaxArguments);
        Require(r.path.size() <= kMaxPathLength);
        for (const Variant& arg : r.args) (void)Answer(r.id, arg, {});
    }

    HttpRequest head;
    if (ParseRequestHead(bytes, &head) == HeadState::Complete) {
        Require(head.path.startsWith('/'));
        (void)head.IsWebSocketUpgrade();
        (void)IsLoopbackHost(head.Header("host"), 17117);
    }

    // An origin and a path split at the first newline: the page address never leaves the
    // origin, whatever the path.
    const qsizetype newline = bytes.indexOf('\n');
    const QString origin = QString::fromUtf8(newline < 0 ? bytes : bytes.left(newline));
    const QString path = newline < 0 ? QString() : QString::fromUtf8(bytes.mid(newline + 1));
    if (const auto normalized = NormalizeOrigin(origin)) {
        Require(NormalizeOrigin(*normalized) == normalized);
        const QString address = PageAddress(*normalized, path);
        Require(address.startsWith(*normalized + '/'));
        const QUrl url(address);
        Require(NormalizeOrigin(
                    url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
                        .toString()) == normalized);
    }
    return 0;
}
