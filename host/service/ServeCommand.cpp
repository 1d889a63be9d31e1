#include "ServeCommand.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "platform/Display.h"
#include "platform/PrinterSystem.h"
#include "platform/SettingsStore.h"

namespace kavel::service {

QString ServeUsage() {
    return QString(
               "usage: kavel serve [--port N] [--allow ORIGIN]... [--allow-local-programs]\n"
               "                   [--pdf FILE | --print [--printer NAME]] [--settings DIR]\n"
               "                   [--max-connections-per-origin N] [--max-message-bytes N]\n"
               "The local print service for web pages, on 127.0.0.1 and ::1 port N (default "
               "%1).\nPages of an origin not allowed are asked about on the desktop; without a "
               "display\nonly the --allow list and the answers kept in ServiceOrigins.ini "
               "decide.")
        .arg(kDefaultPort);
}

std::optional<ServeOptions> ParseServeOptions(const QStringList& args, QString* error) {
    ServeOptions o;
    bool print = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                *error = a + " needs a value";
                return std::nullopt;
            }
            return args[++i];
        };
        auto number = [&](qint64 min, qint64 max) -> std::optional<qint64> {
            const auto v = value();
            if (!v) return std::nullopt;
            bool ok = false;
            const qint64 n = v->toLongLong(&ok);
            if (!ok || n < min || n > max) {
                *error = QString("%1 takes a number from %2 to %3").arg(a).arg(min).arg(max);
                return std::nullopt;
            }
            return n;
        };
        if (a == "--port") {
            const auto n = number(0, 65535);
            if (!n) return std::nullopt;
            o.service.port = static_cast<quint16>(*n);
        } else if (a == "--allow") {
            const auto v = value();
            if (!v) return std::nullopt;
            const auto origin = NormalizeOrigin(*v);
            if (!origin) {
                *error = QString(
                             "--allow takes an origin such as https://shop.example.com, "
                             "not %1")
                             .arg(*v);
                return std::nullopt;
            }
            o.allow << *origin;
        } else if (a == "--allow-local-programs") {
            o.service.allowLocalPrograms = true;
        } else if (a == "--pdf" || a == "--printer" || a == "--settings") {
            const auto v = value();
            if (!v) return std::nullopt;
            if (a == "--pdf") o.service.pdfFile = QFileInfo(*v).absoluteFilePath();
            if (a == "--printer") o.service.printer = *v;
            if (a == "--settings") o.settingsDir = QFileInfo(*v).absoluteFilePath();
        } else if (a == "--print") {
            print = true;
        } else if (a == "--max-connections-per-origin") {
            const auto n = number(1, 100000);
            if (!n) return std::nullopt;
            o.service.maxConnectionsPerOrigin = static_cast<int>(*n);
        } else if (a == "--max-message-bytes") {
            const auto n = number(1024, qint64(1) << 30);
            if (!n) return std::nullopt;
            o.service.maxMessageBytes = *n;
        } else {
            *error = "unknown option " + a;
            return std::nullopt;
        }
    }
    if (print && !o.service.pdfFile.isEmpty()) {
        *error = "--print prints on the system's printers; --pdf on the built-in one";
        return std::nullopt;
    }
    return o;
}

namespace {

int quitPipe[2] = {-1, -1};

// Only writing a byte is safe in a signal handler; the event loop quits when it reads it.
void NoteQuit(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(quitPipe[1], &byte, 1);
}

void QuitOnSignals() {
    if (::pipe(quitPipe) != 0) return;
    auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
    std::signal(SIGTERM, NoteQuit);
    std::signal(SIGINT, NoteQuit);
}

}  // namespace

int RunService(const ServeOptions& o) {
    if (!o.settingsDir.isEmpty()) SetSettingsBaseFolder(o.settingsDir);
    const QString folder = GetSettingsFolder();
    OriginPolicy policy(o.allow, folder.isEmpty() ? QString() : folder + "/ServiceOrigins.ini",
                        HasDisplay());
    // Without a display nobody answers a print dialog: it is confirmed as preset.
    SetDialogPolicy(HasDisplay() ? DialogAnswer::Show : DialogAnswer::Ok);
    PrintService service(o.service, policy);
    QString error;
    if (!service.Listen(&error)) {
        std::fprintf(stderr, "kavel serve: cannot listen: %s\n", error.toUtf8().constData());
        return 2;
    }
    std::fprintf(stderr, "kavel serve: listening on http://127.0.0.1:%u/\n", service.Port());
    // Ended by a signal, the service still ends its pages' controls in order (their
    // temporary page stores go with them).
    QuitOnSignals();
    return QCoreApplication::exec();
}

}  // namespace kavel::service
