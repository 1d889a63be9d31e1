// The port members: data written to or read from a parallel or serial port by its name
// (LPTn, COMn), and MODE commands that set a serial port up.
#pragma once

#include <QString>

namespace kavel {

struct PortResult {
    bool ok = false;
    QString text;     // what was read
    QString message;  // for the user's message box; empty when nothing is to be shown
};

class LocalPorts {
  public:
    // `settingsFolder` holds the port mapping (PortMap.h).
    explicit LocalPorts(const QString& settingsFolder) : settingsFolder_(settingsFolder) {}

    // Writes the data as it is, without a line end, or applies it when it is a MODE command
    // for the port. Fails with a message only when the name is no port name.
    PortResult Write(const QString& portName, const QString& data);
    // Reads until the end mark 0x1A, the end of input or the read time-out.
    PortResult Read(const QString& portName);

    // Why the last call failed (for logs and tests; the members show only what the
    // message says).
    QString LastError() const { return lastError_; }

  private:
    QString DeviceError(const QString& port, const QString& path, const QString& error) const;

    QString settingsFolder_;
    QString lastError_;
};

}  // namespace kavel
