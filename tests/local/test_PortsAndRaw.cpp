// Ports on a pseudo-terminal standing for a serial line, raw printer data, and the
// question form.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <pty.h>
#include <unistd.h>

#include "common/TestSupport.h"
#include "local/AskFormUnit.h"
#include "local/DeviceText.h"
#include "local/LocalPorts.h"
#include "local/RawPrintData.h"

namespace kavel {
namespace {

// COM5 is the device end of a pseudo-terminal whose other end the test holds.
class PtyPort : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[256] = {};
        ASSERT_EQ(::openpty(&peer, &device, name, nullptr, nullptr), 0);
        ASSERT_TRUE(test::WriteFile(settings.filePath("PortMap.ini"),
                                    QByteArray("[Ports]\nCOM5=") + name + "\nCOM6=" +
                                        QFile::encodeName(settings.filePath("f")) + "\n"));
        ASSERT_TRUE(test::WriteFile(settings.filePath("f"), "plain file"));
    }
    void TearDown() override { ::close(peer), ::close(device); }

    QTemporaryDir settings;
    LocalPorts ports{settings.path()};
    int peer = -1, device = -1;
};

// MODE settings taken whole or not at all (stty on the device): e2e_ports.
TEST_F(PtyPort, ASettingNotTakenIsNamed) {
    EXPECT_FALSE(ports.Write("COM5", "MODE COM5:9600,N,7,1").ok);  // 8 data bits stay
    EXPECT_TRUE(ports.LastError().contains("did not take")) << ports.LastError().toStdString();
}

TEST_F(PtyPort, WritesThatCannotEndInTimeFail) {
    ASSERT_TRUE(ports.Write("COM5", "MODE COM5:9600,N,8,1,0,300").ok);
    QElapsedTimer clock;
    clock.start();
    // Nobody reads the other end: the buffers fill and the write time-out ends the call.
    EXPECT_FALSE(ports.Write("COM5", QString(1 << 20, 'x')).ok);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(ports.LastError().contains("within 300 ms")) << ports.LastError().toStdString();
}

// Bytes, the end mark, busy, missing and unknown ports: tests/e2e/e2e_ports.sh.
TEST_F(PtyPort, OrdinaryFilesAreNoPorts) {
    EXPECT_FALSE(ports.Write("COM6", "x").ok);
    EXPECT_EQ(ports.Read("COM6").message,
              "ReadPortData Error：" + settings.filePath("f") + " is no device");
    EXPECT_EQ(test::ReadFile(settings.filePath("f")), "plain file");
}

TEST(RawData, DocumentNameAndBytes) {
    struct Case {
        QByteArray data;
        QString name;
    };
    const Case cases[] = {
        {"  Receipt 42\r\n", "SendRawData:Receipt 42"},
        {"\x1B@\x1B!\x08Kavel\nshop\x1DV\x41\x03", "SendRawData:@ ! Kavel shop VA"},
        {"^XA^FO50,50^FDLabel^FS^XZ", "SendRawData:^XA^FO50,50^FDLabel^FS^XZ"},
        {QByteArray(60, 'z'), "SendRawData:" + QString(50, 'z')},
        {QByteArray(49, 'z') + "\xE4\xBB\xB7", "SendRawData:" + QString(49, 'z')},
        {"\xFF\xFE", "SendRawData:\u00FF\u00FE"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RawDocumentName(c.data), c.name) << c.data.toStdString();
    }
    EXPECT_EQ(DeviceBytes(QString::fromLatin1("\x1B\xFF\x00", 3)), QByteArray("\x1B\xFF\x00", 3));
    EXPECT_EQ(DeviceBytes("价 \u00E9"), QByteArray("\xE4\xBB\xB7 \xC3\xA9"));
    EXPECT_EQ(RawPrinterName("Receipt on USB001"), "Receipt");
}

TEST(RawData, GoesToTheCurrentPrinterOrSaysWhyNot) {
    auto printers = test::MakePrinters({"Office", "Receipt on USB001"});
    printers->SetCurrent(1);
    const QString data = QString::fromLatin1("\x1B@Total 9.50\n\x1DV\x00", 17);
    EXPECT_TRUE(SendPrintRawData(*printers, -1, data).sent);
    ASSERT_EQ(printers->RawJobs().size(), 1u);
    EXPECT_EQ(printers->RawJobs()[0].printer, "Receipt on USB001");
    EXPECT_EQ(printers->RawJobs()[0].data, QByteArray("\x1B@Total 9.50\n\x1DV\x00", 17));
    EXPECT_TRUE(SendPrintRawData(*printers, 0, "x").sent);
    EXPECT_EQ(printers->RawJobs().at(1).printer, "Office");

    auto none = test::MakePrinters({});
    EXPECT_EQ(SendPrintRawData(*none, -1, "x").message, "Selected printer no exist!ErrorID:1030");
    auto pdf = MakePdfPrinterSystem(QString(), QString());
    const RawSendResult refused = SendPrintRawData(*pdf, -1, "x");
    EXPECT_FALSE(refused.sent);
    EXPECT_EQ(refused.message, "SEND_PRINT_RAWDATA Error:\"Kavel PDF\" takes no raw data");
    EXPECT_TRUE(pdf->RawJobs().empty());
}

TEST(AskForm, FitsItsTextsAndAnswersAsChosen) {
    TAskForm form;
    form.Prepare(QString("/srv/shared/") + QString(60, 'f') + ".txt", "shop.example");
    const auto* site = form.findChild<QLabel*>("StaticText2");
    const auto* label2 = form.findChild<QLabel*>("Label2");
    const auto* file = form.findChild<QLabel*>("StaticText1");
    EXPECT_EQ(label2->x(), site->x() + site->width());
    EXPECT_EQ(form.width(), file->x() + file->fontMetrics().horizontalAdvance(file->text()) + 10);
    EXPECT_EQ(form.height(), 155);

    form.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
    form.findChild<QPushButton*>("Button1")->click();
    EXPECT_EQ(form.Answer(), FileAccessAnswer::AllowAlways);
    form.findChild<QPushButton*>("Button2")->click();
    EXPECT_EQ(form.Answer(), FileAccessAnswer::Refuse);
    form.Choose(FileAccessAnswer::AllowOnce);
    EXPECT_EQ(form.Answer(), FileAccessAnswer::AllowOnce);
    EXPECT_FALSE(form.findChild<QCheckBox*>("CheckBox1")->isChecked());
}

}  // namespace
}  // namespace kavel
