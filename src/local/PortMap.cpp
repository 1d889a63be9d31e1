#include "local/PortMap.h"

#include <QDir>
#include <QRegularExpression>

#include "platform/SettingsStore.h"

namespace kavel {

namespace {

QString& DeviceFolder() {
    static QString folder;
    return folder;
}

}  // namespace

void SetPortDeviceFolder(const QString& folder) {
    DeviceFolder() = folder;
}

QString PortMapFileName(const QString& settingsFolder) {
    return settingsFolder.isEmpty() ? QString() : QDir(settingsFolder).filePath("PortMap.ini");
}

QString PortDevicePath(const QString& settingsFolder, const QString& port, QString* error) {
    QString name = port;
    if (name.endsWith(':')) name.chop(1);
    const QString mapped =
        SettingsStore(PortMapFileName(settingsFolder)).Read("Ports", name).trimmed();
    if (!mapped.isEmpty()) {
        if (QDir::isAbsolutePath(mapped)) return QDir::cleanPath(mapped);
        *error = QString("the device \"%1\" mapped to %2 is no absolute path").arg(mapped, name);
        return QString();
    }
    static const QRegularExpression kNumbered("^(COM|LPT)([1-9][0-9]{0,2})$");
    const QRegularExpressionMatch match = kNumbered.match(name);
    if (!match.hasMatch()) {
        *error = QString("%1 names no device; map it in %2").arg(name, "PortMap.ini");
        return QString();
    }
    const int index = match.captured(2).toInt() - 1;
    const QString folder = DeviceFolder().isEmpty() ? QStringLiteral("/dev") : DeviceFolder();
    return QDir(folder).filePath(
        QString(match.captured(1) == "COM" ? "ttyS%1" : "lp%1").arg(index));
}

QStringList SerialAdapters() {
    QStringList adapters;
    const QDir byId("/dev/serial/by-id");
    for (const QString& entry : byId.entryList(QDir::System | QDir::Files, QDir::Name)) {
        adapters << byId.filePath(entry);
    }
    return adapters;
}

}  // namespace kavel
