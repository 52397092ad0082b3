#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for tests: it answers each request from a handler the test
// gives, on a thread of its own so that a test may wait for a child process that talks to it.
// Plain sockets, one connection at a time, "Connection: close" on every answer.

#include <QByteArray>
#include <QList>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

namespace testsupport {

struct HttpAnswer {
    enum class Mode {
        Whole, // the body as it is
        Cut,   // Content-Length of the whole body, half of it sent, then the connection closed
        Stall, // headers and the first bytes, then nothing until the client gives up
    };
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/x-netcdf";
    QList<QPair<QByteArray, QByteArray>> headers; // more header lines, e.g. Location
    Mode mode = Mode::Whole;
};

class LocalHttpServer {
public:
    // handler gets the request target as sent ("/erddap/griddap/x.nc?..."), percent-encoding kept.
    explicit LocalHttpServer(std::function<HttpAnswer(const QByteArray& target)> handler)
        : m_handler(std::move(handler)) {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 16);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~LocalHttpServer() {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return m_port; }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    // The request targets in the order they came.
    QList<QByteArray> requests() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    // The most connections that were open at once (a client that asks one thing at a time keeps 1).
    int mostAtOnce() const { return m_mostAtOnce; }

private:
    static bool waitReadable(int fd, int ms) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    static void sendAll(int fd, const QByteArray& bytes) {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n =
                ::send(fd, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += n;
        }
    }
    void serve() {
        while (!m_stop) {
            if (!waitReadable(m_listener, 50)) continue;
            const int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0) continue;
            answer(fd);
            ::close(fd);
        }
    }
    void answer(int fd) {
        QByteArray request;
        while (!request.contains("\r\n\r\n") && request.size() < 65536) {
            if (!waitReadable(fd, 2000)) return;
            char buffer[4096];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            request.append(buffer, n);
        }
        const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
        const QByteArray target = words.size() >= 2 ? words[1] : QByteArray("/");
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.append(target);
        }
        const HttpAnswer a = m_handler(target);
        // Another client already waiting while this one is answered: requests overlap.
        if (waitReadable(m_listener, 0)) m_mostAtOnce = 2;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " Status\r\n";
        head += "Content-Type: " + a.contentType + "\r\n";
        head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
        for (const auto& h : a.headers)
            head += h.first + ": " + h.second + "\r\n";
        head += "Connection: close\r\n\r\n";
        sendAll(fd, head);
        switch (a.mode) {
        case HttpAnswer::Mode::Whole:
            sendAll(fd, a.body);
            break;
        case HttpAnswer::Mode::Cut:
            sendAll(fd, a.body.left(a.body.size() / 2));
            break;
        case HttpAnswer::Mode::Stall:
            sendAll(fd, a.body.left(16));
            // Nothing more until the client gives up (closes) or the server stops.
            while (!m_stop) {
                if (waitReadable(fd, 20)) {
                    char byte;
                    if (::recv(fd, &byte, 1, 0) <= 0) break;
                }
            }
            break;
        }
        ::shutdown(fd, SHUT_WR);
    }

    std::function<HttpAnswer(const QByteArray&)> m_handler;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    QList<QByteArray> m_requests;
    std::atomic<int> m_mostAtOnce{1};
};

} // namespace testsupport
