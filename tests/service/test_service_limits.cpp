// The service's limits with real connections: what one page or program does wrong never
// reaches the pages of others.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWebSocket>
#include <memory>

#include "PrintService.h"
#include "platform/SettingsStore.h"

namespace kavel::service {
namespace {

// A page's connection that keeps what it was sent and how it was closed.
struct Page {
    explicit Page(const QString& origin) : socket(origin) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived,
                         [this](const QString& text) { received << text; });
        QObject::connect(&socket, &QWebSocket::disconnected, [this] {
            closed = true;
            closeCode = socket.closeCode();
        });
    }
    void Open(quint16 port) { socket.open(QUrl(QString("ws://127.0.0.1:%1/").arg(port))); }
    bool WaitOpen() {
        return QTest::qWaitFor(
                   [this] { return socket.state() == QAbstractSocket::ConnectedState || closed; },
                   5000) &&
               !closed;
    }
    // The answer with the id, waited for.
    QJsonObject Answer(int id) {
        QJsonObject found;
        (void)QTest::qWaitFor(
            [&] {
                for (const QString& text : received) {
                    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
                    if (o.value("id").toInt() == id) return found = o, true;
                }
                return false;
            },
            5000);
        return found;
    }
    QWebSocket socket;
    QStringList received;
    bool closed = false;
    int closeCode = 0;
};

class ServiceLimits : public ::testing::Test {
  protected:
    void SetUp() override {
        ServiceOptions options;
        options.port = 0;
        options.pdfFile = dir.filePath("out.pdf");
        options.maxConnectionsPerOrigin = 2;
        options.maxMessageBytes = 4096;
        service = std::make_unique<PrintService>(
            options, OriginPolicy({"http://a.test", "http://b.test"}, QString(), false));
        QString error;
        ASSERT_TRUE(service->Listen(&error)) << error.toStdString();
    }
    std::unique_ptr<Page> Connect(const QString& origin) {
        auto page = std::make_unique<Page>(origin);
        page->Open(service->Port());
        page->WaitOpen();
        return page;
    }

    QTemporaryDir dir;
    std::unique_ptr<PrintService> service;
};

TEST_F(ServiceLimits, OneOriginCannotTakeTheConnectionsOfAnother) {
    auto first = Connect("http://a.test");
    auto second = Connect("http://a.test");
    auto third = Connect("http://a.test");
    ASSERT_TRUE(QTest::qWaitFor([&] { return third->closed; }, 5000));
    EXPECT_EQ(third->closeCode, 4029);
    EXPECT_TRUE(third->received.join("").contains("too many pages of http://a.test"));
    auto other = Connect("http://b.test");
    other->socket.sendTextMessage(R"({"id":1,"call":"GET_PRINTER_COUNT"})");
    EXPECT_EQ(other->Answer(1).value("result").toInt(), 1);
    EXPECT_FALSE(first->closed || second->closed);
}

TEST_F(ServiceLimits, AnOversizedMessageEndsOnlyItsOwnConnection) {
    auto big = Connect("http://a.test");
    auto small = Connect("http://b.test");
    big->socket.sendTextMessage(
        QString(R"({"id":1,"call":"PRINT_INIT","args":["%1"]})").arg(QString(8000, 'x')));
    ASSERT_TRUE(QTest::qWaitFor([&] { return big->closed; }, 5000));
    small->socket.sendTextMessage(R"({"id":2,"call":"PRINT_INIT","args":["fine"]})");
    EXPECT_EQ(small->Answer(2).value("result").toBool(), true);
    // The closed page's control and session are gone with it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return service->Connections() == 1; }, 5000));
    small->socket.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return service->Connections() == 0; }, 5000));
}

TEST_F(ServiceLimits, ProgramsWithoutAnOriginAndOriginsNotAllowedAreRefusedWithAReason) {
    for (const char* origin : {"", "http://c.test"}) {
        SCOPED_TRACE(origin);
        Page page(origin);
        page.Open(service->Port());
        ASSERT_TRUE(QTest::qWaitFor([&] { return page.closed; }, 5000));
        EXPECT_EQ(page.closeCode, 4003);
        EXPECT_TRUE(page.received.join("").contains(*origin ? "--allow http://c.test"
                                                            : "--allow-local-programs"));
    }
}

// An origin nobody named is asked about once on the desktop; the answer is kept and the
// waiting page admitted.
TEST(ServiceQuestion, AnOriginIsAskedAboutOnceAndTheAnswerKept) {
    QTemporaryDir dir;
    ServiceOptions options;
    options.port = 0;
    options.pdfFile = dir.filePath("out.pdf");
    const QString ini = dir.filePath("ServiceOrigins.ini");
    PrintService service(options, OriginPolicy({}, ini, true));
    QString error;
    ASSERT_TRUE(service.Listen(&error)) << error.toStdString();
    auto question = [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
        }
        return static_cast<QMessageBox*>(nullptr);
    };

    Page first("http://ask.test");
    first.Open(service.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return question() != nullptr; }, 5000));
    EXPECT_EQ(question()->text(), "Allow http://ask.test to print on this computer?");
    Page second("http://ask.test");  // waits for the same answer
    second.Open(service.Port());
    QTest::qWait(200);
    EXPECT_TRUE(first.received.isEmpty());
    question()->button(QMessageBox::Yes)->click();
    for (Page* page : {&first, &second}) {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return page->received.join("").contains("OnCreate"); }, 5000));
    }
    EXPECT_EQ(SettingsStore(ini).Read("Origins", "http://ask.test"), "allow");
    Page later("http://ask.test");
    later.Open(service.Port());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return later.received.join("").contains("OnCreate"); }, 5000));
    EXPECT_EQ(question(), nullptr);
}

}  // namespace
}  // namespace kavel::service
