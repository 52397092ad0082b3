#include "net/HttpGet.h"

#include "ThalwiseVersion.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace net {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("HttpGet", text);
}

bool isLoopback(const QUrl& url) {
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

// What a network error means to someone who only wanted a chart.
QString describe(QNetworkReply::NetworkError error, const QString& qtText) {
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return tr(
            "The server's name could not be found. Is the computer connected to the internet?");
    case QNetworkReply::ConnectionRefusedError:
        return tr("The server refused the connection.");
    case QNetworkReply::RemoteHostClosedError:
        return tr("The server closed the connection before the whole answer came.");
    case QNetworkReply::SslHandshakeFailedError:
        return tr("The server's certificate could not be trusted, so nothing was taken from it "
                  "(%1).")
            .arg(qtText);
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return tr("The proxy server the desktop names could not be used (%1).").arg(qtText);
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return tr("The network went away during the download.");
    default:
        return qtText;
    }
}

} // namespace

bool isAllowedUrl(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("https") || (scheme == QLatin1String("http") && isLoopback(url));
}

bool isAllowedRedirect(const QUrl& from, const QUrl& to) {
    if (!isAllowedUrl(to)) return false;
    if (to.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0) return true;
    return isLoopback(from) &&
           from.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0;
}

HttpGet::HttpGet(QNetworkAccessManager* manager, GetLimits limits, QObject* parent)
    : QObject(parent), m_manager(manager), m_limits(limits), m_connectTimer(new QTimer(this)),
      m_retryTimer(new QTimer(this)) {
    // The desktop's proxy settings (environment, or the desktop's own) apply to every request.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, [this] {
        fail(tr("The server did not answer within %1 seconds.")
                 .arg(m_limits.connectTimeoutMs / 1000));
    });
    m_retryTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, [this] {
        m_retryPending = false;
        send(m_url);
    });
}

HttpGet::~HttpGet() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void HttpGet::start(const QUrl& url) {
    Q_ASSERT(!isRunning());
    m_redirects = 0;
    m_retried = false;
    m_failure.clear();
    if (!isAllowedUrl(url)) {
        GetResult result;
        result.finalUrl = url;
        result.failure =
            tr("Only secure (https) addresses are used: %1").arg(url.toDisplayString());
        // Report from the event loop, as every other outcome is.
        QTimer::singleShot(0, this, [this, result] { emit finished(result); });
        return;
    }
    send(url);
}

void HttpGet::cancel() {
    if (m_retryPending) {
        m_retryTimer->stop();
        m_retryPending = false;
        GetResult result;
        result.finalUrl = m_url;
        result.failure = tr("Cancelled.");
        done(result);
        return;
    }
    if (m_reply) fail(tr("Cancelled."));
}

void HttpGet::send(const QUrl& url) {
    m_url = url;
    m_body.clear();
    QNetworkRequest request(url);
    // Redirects are followed here, one by one, so that each can be checked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Thalwise/%1").arg(QStringLiteral(THALWISE_VERSION)));
    request.setTransferTimeout(m_limits.stallTimeoutMs);
    // Qt asks for gzip and deflate itself and unpacks them; a body that unpacks beyond the
    // limit is stopped in onReadyRead.
    request.setDecompressedSafetyCheckThreshold(m_limits.maxBytes);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpGet::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpGet::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpGet::onFinished);
    connect(m_reply, &QNetworkReply::downloadProgress, this,
            [this](qint64 received, qint64 total) { emit progress(received, total); });
    m_connectTimer->start(m_limits.connectTimeoutMs);
}

void HttpGet::onMetaData() {
    m_connectTimer->stop();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        fail(tr("The answer is larger than %1 MB; nothing was taken.")
                 .arg(m_limits.maxBytes / (1024 * 1024)));
}

void HttpGet::onReadyRead() {
    if (!m_reply) return;
    m_body.append(m_reply->readAll());
    if (m_body.size() > m_limits.maxBytes)
        fail(tr("The answer is larger than %1 MB; nothing was taken.")
                 .arg(m_limits.maxBytes / (1024 * 1024)));
}

void HttpGet::fail(const QString& failure) {
    if (!m_reply) return;
    m_failure = failure;
    m_reply->abort(); // finished() follows, and onFinished reports m_failure
}

void HttpGet::onFinished() {
    m_connectTimer->stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    if (!m_failure.isEmpty()) {
        GetResult result;
        result.finalUrl = m_url;
        result.failure = m_failure;
        done(result);
        return;
    }
    m_body.append(reply->readAll());
    GetResult result;
    result.finalUrl = m_url;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    const QNetworkReply::NetworkError error = reply->error();
    if (result.status >= 300 && result.status < 400) {
        const QUrl to =
            m_url.resolved(reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
        if (++m_redirects > m_limits.maxRedirects) {
            result.failure = tr("The server sent the request round too many redirects.");
        } else if (!isAllowedRedirect(m_url, to)) {
            result.failure = tr("The server redirected to an address that is not secure (%1); "
                                "it was not followed.")
                                 .arg(to.toDisplayString());
        } else {
            send(to);
            return;
        }
        done(result);
        return;
    }
    if ((result.status == 500 || result.status == 503) && !m_retried) {
        // One more try after a pause: ERDDAP answers so while it is busy or restarting.
        m_retried = true;
        m_retryPending = true;
        m_retryTimer->start(m_limits.retryPauseMs);
        return;
    }
    if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        result.failure = tr("The download stalled: nothing came for %1 seconds.")
                             .arg(m_limits.stallTimeoutMs / 1000);
    } else if (result.status == 0 && error != QNetworkReply::NoError) {
        result.failure = describe(error, reply->errorString());
    } else if (error == QNetworkReply::RemoteHostClosedError ||
               error == QNetworkReply::UnknownNetworkError ||
               error == QNetworkReply::ProtocolFailure) {
        // The headers came, the body was cut.
        result.failure = tr("The download was cut off before it was complete.");
    } else {
        result.body = m_body; // an HTTP error status keeps its body: ERDDAP explains there
    }
    done(result);
}

void HttpGet::done(GetResult result) {
    m_body.clear();
    m_failure.clear();
    emit finished(result);
}

GetResult getNow(const QUrl& url, const GetLimits& limits,
                 const std::function<void(qint64, qint64)>& progress) {
    QNetworkAccessManager manager;
    HttpGet get(&manager, limits);
    GetResult outcome;
    QEventLoop loop;
    QObject::connect(&get, &HttpGet::finished, &loop, [&](const GetResult& result) {
        outcome = result;
        loop.quit();
    });
    if (progress) QObject::connect(&get, &HttpGet::progress, &loop, progress);
    get.start(url);
    loop.exec();
    return outcome;
}

} // namespace net
