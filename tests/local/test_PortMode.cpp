// Port names, MODE commands told apart from data, their fields, and the device a port
// name stands for.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "common/TestSupport.h"
#include "local/PortMap.h"
#include "local/PortMode.h"

namespace kavel {
namespace {

TEST(PortMode, DataOrCommand) {
    struct Case {
        const char* port;
        const char* data;
        std::optional<QString> command;
    };
    const Case cases[] = {
        {"COM1", "mode com1: 9600,n,8,1", QString("MODE COM1: 9600,N,8,1")},
        {"COM1", "MODE   COM1:9600", QString("MODE COM1:9600")},
        // Mentioning MODE, or the port, is not enough: the text is data.
        {"COM1", "print  MODE COM1:9600", std::nullopt},
        {"COM1", "COM1: hello", std::nullopt},
        {"COM1", "MODE COM2:9600", std::nullopt},
        {"LPT1", "0123456789", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ModeCommandFor(c.port, c.data), c.command) << c.data;
    }
    EXPECT_EQ(PortDeviceName("com3"), QString("COM3"));
    EXPECT_EQ(PortDeviceName("lpt1"), QString("LPT1"));
    EXPECT_EQ(PortDeviceName("prn"), std::nullopt);
}

TEST(PortMode, FieldsOfTheCommand) {
    struct Case {
        const char* command;
        std::optional<SerialMode> mode;
    };
    const Case cases[] = {
        {"MODE COM1: 9600,N,8,1", SerialMode{9600, Parity::None, 8, StopBits::One, 0, 0}},
        {"MODE COM1:9600,E,7,2,500,1000",
         SerialMode{9600, Parity::Even, 7, StopBits::Two, 500, 1000}},
        {"MODE COM1:19200,M,8,1.5", SerialMode{19200, Parity::Mark, 8, StopBits::OneAndHalf}},
        {"MODE COM1:300,S", SerialMode{.baudRate = 300, .parity = Parity::Space}},
        // An empty field takes the rest, its commas removed, as the next field and ends
        // the split: "8" is no parity, and no data or stop bits are set.
        {"MODE COM1:9600,,8", SerialMode{.baudRate = 9600}},
        {"MODE COM1:9600,X,,", SerialMode{.baudRate = 9600}},
        {"MODE COM1:9600,N,8,1,,1000", SerialMode{9600, Parity::None, 8, StopBits::One, 1000}},
        {"MODE COM1:", SerialMode{}},
        // A comma first makes the whole rest the baud rate: "N8" is no number.
        {"MODE COM1:,N,8", std::nullopt},
        {"MODE COM1:FAST,N", std::nullopt},
        {"MODE COM1:9600,N,EIGHT", std::nullopt},
        {"MODE COM1:9600,N,8,1,SOON", std::nullopt},
        {"MODE COM1:9600,N,8,1,-1", std::nullopt},
        {"MODE COM1:0,N,8,1", std::nullopt},
    };
    for (const Case& c : cases) {
        QString error;
        const auto mode = ParseModeCommand("COM1", c.command, &error);
        EXPECT_EQ(mode, c.mode) << c.command;
        EXPECT_EQ(error.isEmpty(), mode.has_value()) << c.command;
    }
}

TEST(PortMap, DefaultsAndMappedDevices) {
    QTemporaryDir settings;
    ASSERT_TRUE(test::WriteFile(settings.filePath("PortMap.ini"),
                                "[Ports]\nCOM3=/dev/serial/by-id/usb-Adapter-if00\n"
                                "COM4=ttyUSB0\nLPT9=/dev/usb/lp0\n"));
    struct Case {
        const char* port;
        const char* device;  // empty: no device, with a reason
    };
    const Case cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM2:", "/dev/ttyS1"},
        {"LPT1", "/dev/lp0"},
        {"COM3", "/dev/serial/by-id/usb-Adapter-if00"},
        {"LPT9", "/dev/usb/lp0"},
        {"COM4", ""},
        {"COM0", ""},
        {"COMX", ""},
        {"LPT", ""},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(PortDevicePath(settings.path(), c.port, &error), QString(c.device)) << c.port;
        EXPECT_EQ(error.isEmpty(), *c.device != 0) << c.port;
    }
    SetPortDeviceFolder(settings.path());
    QString error;
    EXPECT_EQ(PortDevicePath(settings.path(), "LPT2", &error), settings.filePath("lp1"));
    SetPortDeviceFolder(QString());
}

}  // namespace
}  // namespace kavel
