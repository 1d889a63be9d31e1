// Which Linux device a port name stands for. COMn is /dev/ttyS(n-1) and LPTn /dev/lp(n-1)
// unless the mapping file "PortMap.ini" in the settings folder names another device in
// its section [Ports] (for example COM3=/dev/serial/by-id/usb-FTDI_...-if00-port0, the
// stable name of a USB serial adapter).
#pragma once

#include <QString>
#include <QStringList>

namespace kavel {

// The mapping file in a settings folder.
QString PortMapFileName(const QString& settingsFolder);

// The device of an upper-cased port name; empty, with the reason in `error`, when the name
// has no device (no number, or a mapping that is not an absolute path).
QString PortDevicePath(const QString& settingsFolder, const QString& port, QString* error);

// Where the default devices are looked for: "/dev" unless set (fuzzing and tests set a
// folder of their own, so that no real device is touched); empty: back to "/dev".
void SetPortDeviceFolder(const QString& folder);

// The USB serial adapters of the machine by their stable names (/dev/serial/by-id/...).
QStringList SerialAdapters();

}  // namespace kavel
