#pragma once

// Getting one file over HTTPS: the only code that talks to QNetworkAccessManager. Certificates
// are checked, compressed transfer is accepted, the desktop's proxy settings apply, and a
// response is bounded in time and size. What the body means is for the caller to judge.

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QTimer;

namespace net {

struct GetLimits {
    int connectTimeoutMs = 20000; // until the response's headers arrive
    int stallTimeoutMs = 60000;   // without a byte, once the response has begun
    qint64 maxBytes = 64LL * 1024 * 1024;
    int retryPauseMs = 10000; // before the one retry after 500 or 503
    int maxRedirects = 5;
};

struct GetResult {
    int status = 0;  // the HTTP status; 0 when no response came
    QByteArray body; // as received (decompressed); empty after a failure of the transfer
    QString contentType;
    QUrl finalUrl;
    QString failure; // why no whole response came, in plain words; empty when one did
    bool transferred() const { return failure.isEmpty(); }
};

// Whether a request may go to url: HTTPS anywhere, plain HTTP only to this machine (a local
// server, as tests and a user's own mirror use).
bool isAllowedUrl(const QUrl& url);

// Whether a redirect from `from` may be followed to `to`: to HTTPS, or from this machine to this
// machine. Never from HTTPS down to HTTP.
bool isAllowedRedirect(const QUrl& from, const QUrl& to);

// One GET at a time. finished() comes exactly once per start(), also after cancel().
class HttpGet : public QObject {
    Q_OBJECT
public:
    explicit HttpGet(QNetworkAccessManager* manager, GetLimits limits = {},
                     QObject* parent = nullptr);
    ~HttpGet() override;

    void start(const QUrl& url);
    void cancel();
    bool isRunning() const { return m_reply != nullptr || m_retryPending; }

signals:
    void progress(qint64 received, qint64 total); // total is -1 when unknown
    void finished(const net::GetResult& result);

private:
    void send(const QUrl& url);
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void fail(const QString& failure);
    void done(GetResult result);

    QNetworkAccessManager* m_manager;
    GetLimits m_limits;
    QPointer<QNetworkReply> m_reply;
    QTimer* m_connectTimer;
    QTimer* m_retryTimer;
    QUrl m_url;
    QByteArray m_body;
    int m_redirects = 0;
    bool m_retried = false;
    bool m_retryPending = false;
    QString m_failure;
};

// Runs one GET to its end in a local event loop (for the command line). progress may be empty.
GetResult getNow(const QUrl& url, const GetLimits& limits = {},
                 const std::function<void(qint64, qint64)>& progress = {});

} // namespace net
