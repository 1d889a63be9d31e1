#include "local/SerialDevice.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kavel {

namespace {

constexpr char kEndMark = 0x1A;

struct Timeouts {
    int readMs = 0;
    int writeMs = 0;
};

// The time-outs a MODE command set, per device, for the life of the process: termios keeps
// the line settings with the device but has no place for them. Calls come on one thread.
QHash<QString, Timeouts>& DeviceTimeouts() {
    static QHash<QString, Timeouts> timeouts;
    return timeouts;
}

bool SpeedOf(int baud, speed_t* speed) {
    static const std::pair<int, speed_t> kSpeeds[] = {
        {50, B50},         {75, B75},         {110, B110},        {134, B134},
        {150, B150},       {200, B200},       {300, B300},        {600, B600},
        {1200, B1200},     {1800, B1800},     {2400, B2400},      {4800, B4800},
        {9600, B9600},     {19200, B19200},   {38400, B38400},    {57600, B57600},
        {115200, B115200}, {230400, B230400}, {460800, B460800},  {500000, B500000},
        {576000, B576000}, {921600, B921600}, {1000000, B1000000}};
    for (const auto& [rate, value] : kSpeeds) {
        if (rate == baud) return *speed = value, true;
    }
    return false;
}

// Milliseconds left until a deadline, for poll.
int Remaining(const QElapsedTimer& clock, int timeoutMs) {
    return static_cast<int>(std::max<qint64>(0, timeoutMs - clock.elapsed()));
}

}  // namespace

SerialDevice::~SerialDevice() {
    Close();
}

bool SerialDevice::Fail(const QString& what, int savedErrno) {
    error_ = what;
    if (savedErrno != 0) error_ += ": " + QString::fromLocal8Bit(std::strerror(savedErrno));
    return false;
}

bool SerialDevice::Open(const QString& path, Access access) {
    Close();
    path_ = path;
    const int mode = access == Access::Read    ? O_RDONLY
                     : access == Access::Write ? O_WRONLY
                                               : O_RDWR;
    // Without O_NONBLOCK a serial line would wait for its carrier here.
    fd_ = ::open(QFile::encodeName(path).constData(), mode | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        const int saved = errno;
        return Fail(QString("cannot open %1").arg(path), saved);
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd_), fd_ = -1;
        return Fail(QString("%1 is no device").arg(path), 0);
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int saved = errno;
        ::close(fd_), fd_ = -1;
        return saved == EWOULDBLOCK ? Fail(QString("%1 is busy").arg(path), 0)
                                    : Fail(QString("cannot lock %1").arg(path), saved);
    }
    termios line{};
    terminal_ = ::tcgetattr(fd_, &line) == 0;
    if (!terminal_) return true;
    if (::ioctl(fd_, TIOCEXCL) != 0) {
        const int saved = errno;
        Close();
        return Fail(QString("cannot have %1 alone").arg(path), saved);
    }
    // Bytes pass unchanged both ways, as on a port that has no terminal discipline.
    line.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
    line.c_oflag &= ~OPOST;
    line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag |= CREAD | CLOCAL;
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    if (::tcsetattr(fd_, TCSANOW, &line) != 0) {
        const int saved = errno;
        Close();
        return Fail(QString("cannot set up %1").arg(path), saved);
    }
    return true;
}

bool SerialDevice::Configure(const SerialMode& mode) {
    if (fd_ < 0) return Fail("no device is open", 0);
    termios line{};
    if (!terminal_ || ::tcflush(fd_, TCIFLUSH) != 0 || ::tcgetattr(fd_, &line) != 0) {
        const int saved = terminal_ ? errno : 0;
        return Fail(QString("%1 is no serial line").arg(path_), saved);
    }
    const termios before = line;
    if (mode.baudRate) {
        speed_t speed = B0;
        if (!SpeedOf(*mode.baudRate, &speed)) {
            return Fail(QString("%1 baud is no speed of a serial line").arg(*mode.baudRate), 0);
        }
        ::cfsetispeed(&line, speed);
        ::cfsetospeed(&line, speed);
    }
    if (mode.parity) {
        line.c_cflag &= ~(PARENB | PARODD | CMSPAR);
        switch (*mode.parity) {
            case Parity::None:
                break;
            case Parity::Odd:
                line.c_cflag |= PARENB | PARODD;
                break;
            case Parity::Even:
                line.c_cflag |= PARENB;
                break;
            case Parity::Mark:
                line.c_cflag |= PARENB | CMSPAR | PARODD;
                break;
            case Parity::Space:
                line.c_cflag |= PARENB | CMSPAR;
                break;
        }
    }
    if (mode.dataBits) {
        static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
        if (*mode.dataBits < 5 || *mode.dataBits > 8) {
            return Fail(QString("%1 data bits are not possible").arg(*mode.dataBits), 0);
        }
        line.c_cflag = (line.c_cflag & ~CSIZE) | kSizes[*mode.dataBits - 5];
    }
    if (mode.stopBits) {
        // A line sends one and a half stop bits where it is told to send two with
        // five data bits; with more data bits it cannot.
        if (*mode.stopBits == StopBits::OneAndHalf && (line.c_cflag & CSIZE) != CS5) {
            return Fail("one and a half stop bits need five data bits", 0);
        }
        if (*mode.stopBits == StopBits::One) {
            line.c_cflag &= ~CSTOPB;
        } else {
            line.c_cflag |= CSTOPB;
        }
    }
    // tcsetattr succeeds when any of the settings was taken; a device that cannot have
    // one (a pseudo-terminal keeps 8 data bits) must not count as set up, nor keep half of
    // the command.
    termios taken{};
    const bool set = ::tcsetattr(fd_, TCSANOW, &line) == 0 && ::tcgetattr(fd_, &taken) == 0;
    const int saved = errno;
    constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
    if (!set || (taken.c_cflag & kFraming) != (line.c_cflag & kFraming) ||
        ::cfgetospeed(&taken) != ::cfgetospeed(&line)) {
        ::tcsetattr(fd_, TCSANOW, &before);
        if (set || saved == EINVAL) {
            return Fail(QString("%1 did not take all settings").arg(path_), 0);
        }
        return Fail(QString("cannot set up %1").arg(path_), saved);
    }
    DeviceTimeouts()[path_] = {mode.readTimeoutMs, mode.writeTimeoutMs};
    return true;
}

bool SerialDevice::Write(const QByteArray& bytes) {
    if (fd_ < 0) return Fail("no device is open", 0);
    const int set = DeviceTimeouts().value(path_).writeMs;
    const int timeoutMs = set > 0 ? set : kDefaultWriteTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    const auto timedOut = [&] {
        // What the device did not take stays out of the next call's data.
        if (terminal_) ::tcflush(fd_, TCOFLUSH);
        return Fail(QString("%1 did not take all data within %2 ms").arg(path_).arg(timeoutMs), 0);
    };
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            const int saved = errno;
            return Fail(QString("cannot write to %1").arg(path_), saved);
        }
        pollfd wait{fd_, POLLOUT, 0};
        const int left = Remaining(clock, timeoutMs);
        if (left == 0 || (::poll(&wait, 1, left) == 0)) return timedOut();
    }
    // The data counts as written when the line has sent it, not when the driver has it.
    while (terminal_) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued == 0) break;
        if (Remaining(clock, timeoutMs) == 0) return timedOut();
        QThread::msleep(2);
    }
    return true;
}

bool SerialDevice::Read(QByteArray* bytes) {
    if (fd_ < 0) return Fail("no device is open", 0);
    const int set = DeviceTimeouts().value(path_).readMs;
    const int timeoutMs = set > 0 ? set : kDefaultReadTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // One byte at a time: what follows the end mark stays with the device.
        char c = 0;
        const ssize_t n = ::read(fd_, &c, 1);
        if (n == 1) {
            if (c == kEndMark) return true;
            if (bytes->size() >= kMaxReadSize) {
                return Fail(QString("%1 sent more than %2 bytes without an end mark")
                                .arg(path_)
                                .arg(kMaxReadSize),
                            0);
            }
            bytes->append(c);
            continue;
        }
        if (n == 0) return true;  // end of input
        // A terminal whose other end has gone answers EIO: its input has ended.
        if (errno == EIO && terminal_) return true;
        if (errno != EAGAIN && errno != EINTR) {
            const int saved = errno;
            return Fail(QString("cannot read from %1").arg(path_), saved);
        }
        pollfd wait{fd_, POLLIN, 0};
        const int left = Remaining(clock, timeoutMs);
        if (left == 0 || ::poll(&wait, 1, left) == 0) return true;  // time-out: input ends
    }
}

bool SerialDevice::Close() {
    if (fd_ < 0) return true;
    if (terminal_) ::ioctl(fd_, TIOCNXCL);
    const int result = ::close(fd_);
    const int saved = errno;
    fd_ = -1;
    terminal_ = false;
    return result == 0 || Fail(QString("cannot close %1").arg(path_), saved);
}

}  // namespace kavel
