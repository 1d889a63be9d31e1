// Which web pages may use the service: by origin (scheme, host and port). The list given
// at start (--allow) and the answers the user gave, kept in ServiceOrigins.ini in the
// settings folder, decide; an origin that neither names is asked about on the desktop
// once, and refused without one.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kavel::service {

// "scheme://host[:port]" in lower case without the scheme's default port; nothing for a
// value that is no http or https origin ("null", a path, other schemes).
std::optional<QString> NormalizeOrigin(const QString& origin);

// The address of the page: the verified origin and the path the page reports. A path
// that would lead anywhere else than the origin is not taken (the origin's root is).
QString PageAddress(const QString& origin, const QString& path);

class OriginPolicy {
  public:
    enum class Decision { Allowed, Refused, Ask };

    // allowed: origins allowed at start (checked by the caller with NormalizeOrigin);
    // iniFile: where answers are kept (empty: nowhere); canAsk: a user is there to ask.
    OriginPolicy(QStringList allowed, QString iniFile, bool canAsk);

    Decision Decide(const QString& origin) const;
    // Keeps the user's answer for the origin; false when it could not be written.
    bool Remember(const QString& origin, bool allowed);
    // Why the origin is refused, as the page is told.
    QString RefusalText(const QString& origin) const;
    QString IniFile() const { return iniFile_; }
    QStringList Allowed() const { return allowed_; }

  private:
    QStringList allowed_;
    QString iniFile_;
    bool canAsk_;
};

}  // namespace kavel::service
