// A tiny HTTP server on 127.0.0.1 for the browser engine's tests: each request is answered
// after a delay with fixed content, or held open and never answered.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kavel::test {

class TestHttpServer {
  public:
    struct Options {
        std::chrono::milliseconds delay{0};
        bool neverAnswer = false;
        QByteArray body = "<!DOCTYPE html><html><body><p>served page</p></body></html>";
        QByteArray contentType = "text/html; charset=utf-8";
    };

    explicit TestHttpServer(Options options) : options_(std::move(options)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(listener_, 16);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        [[maybe_unused]] const int made = ::pipe2(stop_, O_CLOEXEC);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TestHttpServer() {
        [[maybe_unused]] const ssize_t n = ::write(stop_[1], "x", 1);
        thread_.join();
        for (const int fd : {listener_, stop_[0], stop_[1]}) ::close(fd);
    }

    QString Url(const QString& path = "/") const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }
    int Port() const { return port_; }
    int Requests() const { return requests_; }

  private:
    // Waits for fd to become readable; false when the server is stopping.
    bool WaitFor(int fd, int timeoutMs) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        return ::poll(fds, 2, timeoutMs) > 0 && !(fds[1].revents & POLLIN) &&
               (fds[0].revents & POLLIN);
    }

    // Each connection on a thread of its own: the browser opens connections ahead of its
    // requests, and one that stays silent must not hold up the others.
    void Serve() {
        while (WaitFor(listener_, -1)) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) clients_.emplace_back([this, client] { Answer(client); });
        }
        for (std::thread& t : clients_) t.join();
    }

    void Answer(int client) {
        QByteArray request;
        char buffer[4096];
        while (!request.contains("\r\n\r\n") && WaitFor(client, -1)) {
            const ssize_t n = ::read(client, buffer, sizeof buffer);
            if (n <= 0) break;
            request.append(buffer, n);
        }
        if (request.contains("\r\n\r\n")) {
            ++requests_;
            pollfd stop = {stop_[0], POLLIN, 0};
            const bool stopping =
                ::poll(&stop, 1, options_.neverAnswer ? -1 : int(options_.delay.count())) > 0;
            if (!stopping) {
                const QByteArray response =
                    "HTTP/1.1 200 OK\r\nContent-Type: " + options_.contentType +
                    "\r\nContent-Length: " + QByteArray::number(options_.body.size()) +
                    "\r\nConnection: close\r\n\r\n" + options_.body;
                [[maybe_unused]] const ssize_t n =
                    ::write(client, response.constData(), response.size());
            }
        }
        ::close(client);
    }

    Options options_;
    int listener_ = -1;
    int stop_[2] = {-1, -1};
    int port_ = 0;
    std::atomic<int> requests_{0};
    std::vector<std::thread> clients_;  // used by the serving thread only
    std::thread thread_;
};

}  // namespace kavel::test
