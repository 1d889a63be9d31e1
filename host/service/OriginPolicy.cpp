#include "OriginPolicy.h"

#include <QUrl>

#include "platform/SettingsStore.h"

namespace kavel::service {

namespace {
const QString kSection = QStringLiteral("Origins");
}

std::optional<QString> NormalizeOrigin(const QString& origin) {
    const QUrl url(origin.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty() ||
        !url.userInfo().isEmpty() || (!url.path().isEmpty() && url.path() != "/") ||
        url.hasQuery() || url.hasFragment()) {
        return std::nullopt;
    }
    const int defaultPort = scheme == "https" ? 443 : 80;
    const int port = url.port(defaultPort);
    QString host = url.host(QUrl::FullyEncoded).toLower();
    if (host.contains(':')) host = '[' + host + ']';
    QString text = scheme + "://" + host;
    if (port != defaultPort) text += ':' + QString::number(port);
    return text;
}

QString PageAddress(const QString& origin, const QString& path) {
    const QString root = origin + '/';
    // Only an absolute path on the origin: "//other.site/x" or "https://..." would name
    // another site, and control characters have no place in an address.
    if (!path.startsWith('/') || path.startsWith("//") || path.startsWith("/\\")) return root;
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == '\\') return root;
    }
    const QUrl resolved = QUrl(root).resolved(QUrl(path, QUrl::StrictMode));
    if (!resolved.isValid() ||
        NormalizeOrigin(
            resolved.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
                .toString()) != origin) {
        return root;
    }
    // Encoded as the origin is: a host of other letters would otherwise come back in them.
    return resolved.toString(QUrl::RemoveFragment | QUrl::EncodeUnicode);
}

OriginPolicy::OriginPolicy(QStringList allowed, QString iniFile, bool canAsk)
    : allowed_(std::move(allowed)), iniFile_(std::move(iniFile)), canAsk_(canAsk) {}

OriginPolicy::Decision OriginPolicy::Decide(const QString& origin) const {
    if (allowed_.contains(origin)) return Decision::Allowed;
    if (!iniFile_.isEmpty()) {
        const QString kept = SettingsStore(iniFile_).Read(kSection, origin).trimmed().toLower();
        if (kept == "allow") return Decision::Allowed;
        if (kept == "deny") return Decision::Refused;
    }
    return canAsk_ ? Decision::Ask : Decision::Refused;
}

bool OriginPolicy::Remember(const QString& origin, bool allowed) {
    if (iniFile_.isEmpty()) return false;
    return SettingsStore(iniFile_).Write(kSection, origin, allowed ? "allow" : "deny");
}

QString OriginPolicy::RefusalText(const QString& origin) const {
    const bool denied = !iniFile_.isEmpty() && SettingsStore(iniFile_)
                                                       .Read(kSection, origin)
                                                       .trimmed()
                                                       .compare("deny", Qt::CaseInsensitive) == 0;
    if (denied) {
        return QString("the user did not allow %1 to print on this computer").arg(origin);
    }
    return QString(
               "%1 may not print on this computer: start the print service with "
               "\"kavel serve --allow %1\", or allow it when the service asks on the desktop")
        .arg(origin);
}

}  // namespace kavel::service
