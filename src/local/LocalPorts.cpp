#include "local/LocalPorts.h"

#include <QFileInfo>

#include "local/DeviceText.h"
#include "local/PortMap.h"
#include "local/PortMode.h"
#include "local/SerialDevice.h"

namespace kavel {

namespace {

QString NotFound(const QString& port) {
    return "the port \"" + port + "\" can not found!";
}

}  // namespace

// Why the device failed; for a serial port that is not there, with the serial adapters
// that are (their names are not COMn).
QString LocalPorts::DeviceError(const QString& port, const QString& path,
                                const QString& error) const {
    if (!port.startsWith("COM") || QFileInfo::exists(path)) return error;
    const QStringList adapters = SerialAdapters();
    if (adapters.isEmpty()) return error;
    return QString("%1; serial adapters here: %2 (map one to %3 in PortMap.ini)")
        .arg(error, adapters.join(", "), port);
}

PortResult LocalPorts::Write(const QString& portName, const QString& data) {
    lastError_.clear();
    const std::optional<QString> port = PortDeviceName(portName);
    if (!port) return {false, QString(), NotFound(portName.toUpper())};
    const QString path = PortDevicePath(settingsFolder_, *port, &lastError_);
    if (path.isEmpty()) return {};
    SerialDevice device;
    if (const std::optional<QString> command = ModeCommandFor(*port, data)) {
        const std::optional<SerialMode> mode = ParseModeCommand(*port, *command, &lastError_);
        const bool ok = mode && device.Open(path, SerialDevice::Access::ReadWrite) &&
                        device.Configure(*mode) && device.Close();
        if (!ok && mode) lastError_ = DeviceError(*port, path, device.Error());
        return {ok, QString(), QString()};
    }
    const bool ok = device.Open(path, SerialDevice::Access::Write) &&
                    device.Write(DeviceBytes(data)) && device.Close();
    if (!ok) lastError_ = DeviceError(*port, path, device.Error());
    return {ok, QString(), QString()};
}

PortResult LocalPorts::Read(const QString& portName) {
    lastError_.clear();
    const std::optional<QString> port = PortDeviceName(portName);
    if (!port) return {false, QString(), NotFound(portName.toUpper())};
    const QString path = PortDevicePath(settingsFolder_, *port, &lastError_);
    QByteArray bytes;
    SerialDevice device;
    const bool ok = !path.isEmpty() && device.Open(path, SerialDevice::Access::Read) &&
                    device.Read(&bytes) && device.Close();
    if (!ok && !path.isEmpty()) lastError_ = DeviceError(*port, path, device.Error());
    const QString text = DeviceText(bytes);
    if (!ok) return {false, text, "ReadPortData Error：" + lastError_};
    return {true, text, QString()};
}

}  // namespace kavel
