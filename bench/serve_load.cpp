// Load on the print service: PAGES pages of one origin connect at once, each prints a
// small task of its own on the built-in PDF printer. Every job must arrive and none twice;
// the time from the first connection to the last answer and the service's peak memory
// are printed.
//   serve_load KAVEL [PAGES]      (default 100; the kavel program under test)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWebSocket>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A field of /proc/PID/status in KiB (VmHWM: the peak resident set).
long StatusKiB(qint64 pid, const char* field) {
    QFile file(QString("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const auto match =
        QRegularExpression(QString("%1:\\s+(\\d+) kB").arg(field)).match(file.readAll());
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

struct Page {
    std::unique_ptr<QWebSocket> socket;
    bool answered = false;
    bool printed = false;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: serve_load KAVEL [PAGES]\n");
        return 2;
    }
    const int pages = argc > 2 ? std::atoi(argv[2]) : 100;
    QTemporaryDir dir;
    const quint16 port = FreePort();
    const QString origin = QStringLiteral("http://load.test");

    QProcess service;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    service.setProcessEnvironment(env);
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(QString::fromLocal8Bit(argv[1]),
                  {"serve", "--port", QString::number(port), "--pdf", dir.filePath("load.pdf"),
                   "--allow", origin, "--settings", dir.filePath("settings"),
                   "--max-connections-per-origin", QString::number(pages + 10)});
    if (!service.waitForStarted()) {
        std::fprintf(stderr, "the service did not start\n");
        return 1;
    }
    for (int i = 0; i < 100; ++i) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(100)) break;
        QThread::msleep(50);
    }
    const long rssBefore = StatusKiB(service.processId(), "VmRSS");

    std::vector<Page> all(static_cast<size_t>(pages));
    int answered = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < pages; ++i) {
        Page& page = all[static_cast<size_t>(i)];
        page.socket = std::make_unique<QWebSocket>(origin);
        QWebSocket* socket = page.socket.get();
        QObject::connect(socket, &QWebSocket::connected, socket, [socket, i] {
            const QString calls[] = {
                R"({"id":1,"op":"hello","path":"/load.html"})",
                QString(R"({"id":2,"call":"PRINT_INIT","args":["Load page %1"]})").arg(i),
                QString(
                    R"({"id":3,"call":"ADD_PRINT_TEXT","args":[40,40,400,30,"Load text %1 end"]})")
                    .arg(i),
                R"({"id":4,"call":"PRINT"})"};
            for (const QString& call : calls) socket->sendTextMessage(call);
        });
        QObject::connect(
            socket, &QWebSocket::textMessageReceived, socket, [&, i](const QString& text) {
                const QJsonObject answer = QJsonDocument::fromJson(text.toUtf8()).object();
                if (answer.value("id").toInt() != 4) return;
                Page& p = all[static_cast<size_t>(i)];
                if (!p.answered) ++answered;
                p.answered = true;
                p.printed = answer.value("result").toBool();
                if (answered == pages) app.quit();
            });
        QObject::connect(socket, &QWebSocket::disconnected, socket, [&, i] {
            Page& p = all[static_cast<size_t>(i)];
            if (!p.answered) {
                p.answered = true;
                if (++answered == pages) app.quit();
            }
        });
        socket->open(QUrl(QString("ws://127.0.0.1:%1/").arg(port)));
    }
    QTimer::singleShot(300'000, &app, &QCoreApplication::quit);
    app.exec();
    const qint64 ms = clock.elapsed();
    const long peak = StatusKiB(service.processId(), "VmHWM");
    int printed = 0;
    for (const Page& p : all) printed += p.printed ? 1 : 0;
    all.clear();
    service.terminate();
    service.waitForFinished(10'000);

    // Every page's text in exactly one job.
    std::vector<int> seen(static_cast<size_t>(pages), 0);
    const QStringList files = QDir(dir.path()).entryList({"load*.pdf"}, QDir::Files);
    static const QRegularExpression text(QStringLiteral("Load text (\\d+) end"));
    for (const QString& file : files) {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {dir.filePath(file), "-"});
        pdftotext.waitForFinished(30'000);
        auto it = text.globalMatch(QString::fromUtf8(pdftotext.readAllStandardOutput()));
        while (it.hasNext()) {
            const int n = it.next().captured(1).toInt();
            if (n >= 0 && n < pages) ++seen[static_cast<size_t>(n)];
        }
    }
    int missing = 0, twice = 0;
    for (int count : seen) {
        missing += count == 0 ? 1 : 0;
        twice += count > 1 ? 1 : 0;
    }
    std::printf(
        "pages %d, printed %d, jobs %lld, missing %d, twice %d, time %lld ms, "
        "service memory %ld MiB before, peak %ld MiB\n",
        pages, printed, static_cast<long long>(files.size()), missing, twice,
        static_cast<long long>(ms), rssBefore / 1024, peak / 1024);
    return printed == pages && missing == 0 && twice == 0 && files.size() == pages ? 0 : 1;
}
