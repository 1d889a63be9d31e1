// The text page script writes to a port: data for the device, or a command in the form
// of the MODE command ("MODE COM1:9600,N,8,1,500,1000") that sets a serial port's line
// settings and time-outs. Pure parsing; applying the settings is SerialDevice's job.
#pragma once

#include <QString>
#include <optional>

namespace kavel {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// Settings a MODE command gives a serial port. Settings left out keep the port's current
// values; the two time-outs, in milliseconds, become 0 when left out.
struct SerialMode {
    std::optional<int> baudRate = std::nullopt;
    std::optional<Parity> parity = std::nullopt;
    std::optional<int> dataBits = std::nullopt;
    std::optional<StopBits> stopBits = std::nullopt;
    int readTimeoutMs = 0;
    int writeTimeoutMs = 0;
    bool operator==(const SerialMode&) const = default;
};

// The port name as it is opened: upper-cased. Nothing when it names no port (it begins
// neither with "LPT" nor with "COM").
std::optional<QString> PortDeviceName(const QString& portName);

// When `data` written to `port` (an upper-cased port name) is a MODE command for that port,
// the command upper-cased with its runs of blanks made single; nothing when it is data.
std::optional<QString> ModeCommandFor(const QString& port, const QString& data);

// The settings of a MODE command (as ModeCommandFor answers it) for `port`. Nothing, with
// the reason in `error`, when a field that should be a whole number is not one.
std::optional<SerialMode> ParseModeCommand(const QString& port, const QString& command,
                                           QString* error);

}  // namespace kavel
