// Which addresses a page may reach under its resource policy (BrowserEngine.h): a page whose
// host page is not local must not reach the user's files, this machine or private networks.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include "platform/BrowserEngine.h"

namespace kavel {

enum class AddressCheck {
    Allowed,
    Refused,
    LookUpHost,  // a host name: allowed unless one of its addresses is private
};

// The verdict for one address; `reason` says why it is refused.
AddressCheck CheckAddress(const QUrl& url, const ResourcePolicy& policy, QString* reason = nullptr);

// Whether an IP address literal (IPv4 in any of the forms inet_aton reads, or IPv6) is one of
// this machine (127.0.0.0/8, 0.0.0.0/8, ::1, ::) or of a private or link-local network
// (10/8, 172.16/12, 192.168/16, 169.254/16, fc00::/7, fe80::/10, fec0::/10), IPv4-mapped
// IPv6 included. False for anything that is not an address literal.
bool IsPrivateAddress(const QString& literal);
// Whether the text is an IP address literal at all.
bool IsAddressLiteral(const QString& host);

// The addresses a host name resolves to, as text. Blocks: call it off the GUI thread, or
// through HostLookup.
QStringList ResolveHost(const QString& host);

}  // namespace kavel
