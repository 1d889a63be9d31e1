#include "platform/AddressPolicy.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <cstring>

namespace kavel {

namespace {

bool PrivateIPv4(uint32_t a) {  // host byte order
    const auto in = [a](uint32_t net, int bits) {
        return (a >> (32 - bits)) == (net >> (32 - bits));
    };
    return in(0x00000000, 8) || in(0x0A000000, 8) || in(0x7F000000, 8) || in(0xA9FE0000, 16) ||
           in(0xAC100000, 12) || in(0xC0A80000, 16);
}

bool PrivateIPv6(const in6_addr& a) {
    const uint8_t* b = a.s6_addr;
    static const uint8_t zero[16] = {};
    if (std::memcmp(b, zero, 15) == 0 && (b[15] == 0 || b[15] == 1)) return true;  // :: and ::1
    if ((b[0] & 0xFE) == 0xFC) return true;                                        // fc00::/7
    if (b[0] == 0xFE && (b[1] & 0xC0) == 0x80) return true;                        // fe80::/10
    if (b[0] == 0xFE && (b[1] & 0xC0) == 0xC0) return true;                        // fec0::/10
    // IPv4-mapped (::ffff:a.b.c.d) and IPv4-compatible (::a.b.c.d) addresses.
    const bool mapped = std::memcmp(b, zero, 10) == 0 && b[10] == 0xFF && b[11] == 0xFF;
    const bool compatible = std::memcmp(b, zero, 12) == 0;
    if (mapped || compatible) {
        return PrivateIPv4(uint32_t(b[12]) << 24 | uint32_t(b[13]) << 16 | uint32_t(b[14]) << 8 |
                           b[15]);
    }
    return false;
}

QByteArray Bare(const QString& host) {
    QString h = host.trimmed();
    if (h.startsWith('[') && h.endsWith(']')) h = h.mid(1, h.size() - 2);
    return h.toLatin1();
}

bool IsLocalName(QString host) {
    host = host.toLower();
    while (host.endsWith('.')) host.chop(1);
    return host == QLatin1String("localhost") || host.endsWith(QLatin1String(".localhost"));
}

}  // namespace

bool IsAddressLiteral(const QString& host) {
    const QByteArray bare = Bare(host);
    in_addr v4{};
    in6_addr v6{};
    return (!bare.isEmpty() && ::inet_aton(bare.constData(), &v4) != 0) ||
           ::inet_pton(AF_INET6, bare.constData(), &v6) == 1;
}

bool IsPrivateAddress(const QString& literal) {
    const QByteArray bare = Bare(literal);
    in_addr v4{};
    if (!bare.isEmpty() && ::inet_aton(bare.constData(), &v4) != 0) {
        return PrivateIPv4(ntohl(v4.s_addr));
    }
    in6_addr v6{};
    if (::inet_pton(AF_INET6, bare.constData(), &v6) == 1) return PrivateIPv6(v6);
    return false;
}

AddressCheck CheckAddress(const QUrl& url, const ResourcePolicy& policy, QString* reason) {
    const auto refuse = [reason](const QString& why) {
        if (reason) *reason = why;
        return AddressCheck::Refused;
    };
    if (policy.hostIsLocal) return AddressCheck::Allowed;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("data") || scheme == QLatin1String("blob") ||
        (scheme == QLatin1String("about") && url.path() == QLatin1String("blank"))) {
        return AddressCheck::Allowed;
    }
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
        scheme != QLatin1String("ws") && scheme != QLatin1String("wss")) {
        return refuse(QStringLiteral("%1 addresses are not reachable from a page of the web")
                          .arg(scheme.isEmpty() ? QStringLiteral("relative") : scheme + ':'));
    }
    const QString host = url.host();
    const QUrl hostPage(policy.hostPageUrl);
    if (!host.isEmpty() && hostPage.isValid() &&
        host.compare(hostPage.host(), Qt::CaseInsensitive) == 0) {
        return AddressCheck::Allowed;  // the page's own server
    }
    if (host.isEmpty()) return refuse(QStringLiteral("the address names no host"));
    if (IsLocalName(host) || IsPrivateAddress(host)) {
        return refuse(
            QStringLiteral("%1 is an address of this machine or a private network").arg(host));
    }
    if (IsAddressLiteral(host)) return AddressCheck::Allowed;
    return AddressCheck::LookUpHost;
}

QStringList ResolveHost(const QString& host) {
    QStringList addresses;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(QUrl::toAce(host).constData(), nullptr, &hints, &found) != 0) {
        return addresses;
    }
    for (addrinfo* a = found; a; a = a->ai_next) {
        char text[INET6_ADDRSTRLEN] = {};
        const void* where =
            a->ai_family == AF_INET
                ? static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr)
                : static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(a->ai_addr)->sin6_addr);
        if ((a->ai_family == AF_INET || a->ai_family == AF_INET6) &&
            ::inet_ntop(a->ai_family, where, text, sizeof text)) {
            addresses.append(QString::fromLatin1(text));
        }
    }
    ::freeaddrinfo(found);
    return addresses;
}

}  // namespace kavel
