// A port's device opened for one call: serial line settings through termios, writing and
// reading bounded by the port's time-outs. Opening is exclusive (another program that has
// the port open makes it busy), and only character devices are opened, so a mapping can
// never lead port data into an ordinary file or make a call wait on a pipe.
#pragma once

#include <QByteArray>
#include <QString>

#include "local/PortMode.h"

namespace kavel {

class SerialDevice {
  public:
    // Time-outs that apply while a MODE command has set none: no call waits without end.
    static constexpr int kDefaultReadTimeoutMs = 5000;
    static constexpr int kDefaultWriteTimeoutMs = 30000;
    // A read that gets this much without its end mark stops and fails.
    static constexpr int kMaxReadSize = 1024 * 1024;

    enum class Access { Read, Write, ReadWrite };

    SerialDevice() = default;
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens the device; a terminal line is made transparent (no echo, no line-end
    // translation, no flow-control characters) and keeps its speed and framing. False with
    // Error() when it does not exist, is no device, is busy or may not be opened.
    bool Open(const QString& path, Access access);
    // Discards what was received, applies the settings and keeps the time-outs for later
    // calls on this device (the line settings stay with the device itself). False with
    // Error() when the device is no serial line or takes a setting that it cannot have.
    bool Configure(const SerialMode& mode);
    // Writes every byte within the write time-out; what is not sent by then is discarded.
    bool Write(const QByteArray& bytes);
    // Reads until the end mark 0x1A (not kept), the end of input or the read time-out, into
    // `bytes`; false with Error() when reading fails (`bytes` holds what came before).
    bool Read(QByteArray* bytes);
    bool Close();
    QString Error() const { return error_; }

  private:
    bool Fail(const QString& what, int savedErrno);

    int fd_ = -1;
    bool terminal_ = false;
    QString path_;
    QString error_;
};

}  // namespace kavel
