#include "local/PortMode.h"

#include <QStringList>

namespace kavel {

namespace {

constexpr int kFieldCount = 6;

// The fields of the command after the port name, split the way the original command line
// does: a field runs to the next comma; an empty field (a comma first) or the last one takes
// the whole rest, commas removed, and ends the split.
QStringList SplitFields(QString rest) {
    QStringList fields;
    while (fields.size() < kFieldCount) {
        const qsizetype comma = rest.indexOf(',');
        if (comma > 0) {
            fields << rest.left(comma);
            rest.remove(0, comma + 1);
            continue;
        }
        fields << rest.remove(',').trimmed();
        break;
    }
    while (fields.size() < kFieldCount) fields << QString();
    return fields;
}

std::optional<int> WholeNumber(const QString& field, const char* what, QString* error) {
    bool ok = false;
    const int value = field.toInt(&ok);
    if (!ok || value < 0) {
        *error = QString("the %1 \"%2\" is not a whole number").arg(what, field);
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<QString> PortDeviceName(const QString& portName) {
    const QString name = portName.toUpper();
    if (!name.startsWith("LPT") && !name.startsWith("COM")) return std::nullopt;
    return name;
}

std::optional<QString> ModeCommandFor(const QString& port, const QString& data) {
    QString command = data.toUpper();
    if (!command.contains("MODE") && !command.contains(port + ":")) return std::nullopt;
    while (command.contains("  ")) command.replace("  ", " ");
    if (!command.startsWith("MODE " + port + ":")) return std::nullopt;
    return command;
}

std::optional<SerialMode> ParseModeCommand(const QString& port, const QString& command,
                                           QString* error) {
    QString rest = command;
    rest.remove(' ');
    const QString head = "MODE" + port + ":";
    rest.remove(rest.contains(head) ? head : port + ":");
    const QStringList fields = SplitFields(rest);

    SerialMode mode;
    if (!fields[0].isEmpty()) {
        mode.baudRate = WholeNumber(fields[0], "baud rate", error);
        if (!mode.baudRate || *mode.baudRate == 0) {
            if (mode.baudRate) *error = "the baud rate 0 is no speed";
            return std::nullopt;
        }
    }
    static const std::pair<const char*, Parity> kParities[] = {{"N", Parity::None},
                                                               {"O", Parity::Odd},
                                                               {"E", Parity::Even},
                                                               {"M", Parity::Mark},
                                                               {"S", Parity::Space}};
    for (const auto& [letter, parity] : kParities) {
        if (fields[1].toUpper() == QLatin1String(letter)) mode.parity = parity;
    }
    if (!fields[2].isEmpty()) {
        mode.dataBits = WholeNumber(fields[2], "number of data bits", error);
        if (!mode.dataBits) return std::nullopt;
    }
    if (fields[3] == "1") mode.stopBits = StopBits::One;
    if (fields[3] == "1.5") mode.stopBits = StopBits::OneAndHalf;
    if (fields[3] == "2") mode.stopBits = StopBits::Two;
    for (const auto& [index, what, target] :
         {std::tuple{4, "read time-out", &mode.readTimeoutMs},
          std::tuple{5, "write time-out", &mode.writeTimeoutMs}}) {
        if (fields[index].isEmpty()) continue;
        const auto value = WholeNumber(fields[index], what, error);
        if (!value) return std::nullopt;
        *target = *value;
    }
    return mode;
}

}  // namespace kavel
