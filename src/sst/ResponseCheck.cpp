#include "sst/ResponseCheck.h"

#include <QCoreApplication>

namespace sst {

namespace {

// A server's message is shown as it came, up to this many characters.
constexpr qsizetype LongestServerMessage = 400;

QString tr(const char* text) {
    return QCoreApplication::translate("sst", text);
}

bool looksLikeWebPage(const QByteArray& body) {
    const QByteArray start = body.left(512).trimmed().toLower();
    return start.startsWith('<') || start.contains("<html") || start.contains("<!doctype");
}

} // namespace

bool hasNetcdfSignature(const QByteArray& bytes) {
    return bytes.startsWith(QByteArray("CDF\x01", 4)) ||
           bytes.startsWith(QByteArray("CDF\x02", 4)) ||
           bytes.startsWith(QByteArray("CDF\x05", 4)) ||
           bytes.startsWith(QByteArray("\x89HDF\r\n\x1a\n", 8));
}

QString erddapErrorMessage(const QByteArray& body) {
    const QByteArray head = body.left(64 * 1024);
    const qsizetype error = head.indexOf("Error");
    if (error < 0 || head.left(error).trimmed().size() > 0) return {};
    const qsizetype brace = head.indexOf('{', error);
    const qsizetype key = head.indexOf("message=", brace);
    if (brace < 0 || key < 0) return {};
    qsizetype from = key + qsizetype(sizeof("message=") - 1);
    qsizetype to = head.indexOf(';', from);
    if (from < head.size() && head[from] == '"') {
        // The quoted message may hold ";" itself: it ends at the last quote before the "}".
        const qsizetype close = head.lastIndexOf('}');
        to = head.lastIndexOf('"', close < 0 ? -1 : close);
        ++from;
        if (to < from) return {};
    }
    if (to < 0) to = head.size();
    QString message = QString::fromUtf8(head.mid(from, to - from)).trimmed();
    message.replace(QLatin1String("\\\""), QLatin1String("\""));
    message.replace(QLatin1String("\\n"), QLatin1String(" "));
    if (message.size() > LongestServerMessage)
        message = message.left(LongestServerMessage) + QStringLiteral("…");
    return message;
}

ResponseCheck checkResponse(int httpStatus, const QByteArray& body,
                            std::optional<qint64> declaredLength) {
    const QString serverMessage = erddapErrorMessage(body);
    if (!serverMessage.isEmpty()) return {false, tr("The server answered: %1").arg(serverMessage)};
    if (httpStatus != 200) {
        if (httpStatus == 0) return {false, tr("The server gave no answer.")};
        return {false,
                tr("The server answered with HTTP status %1 and no explanation.").arg(httpStatus)};
    }
    if (body.isEmpty()) return {false, tr("The server sent an empty answer.")};
    if (declaredLength && body.size() < *declaredLength)
        return {false, tr("The download was cut short: %1 of %2 bytes arrived.")
                           .arg(body.size())
                           .arg(*declaredLength)};
    if (hasNetcdfSignature(body)) return {true, {}};
    if (looksLikeWebPage(body))
        return {false, tr("The answer was a web page, not sea temperature data. A network that "
                          "wants you to sign in first (in a hotel, a marina or a café) sends "
                          "such pages: sign in with a web browser, then try again.")};
    return {false, tr("The answer was not sea temperature data (no NetCDF file).")};
}

} // namespace sst
