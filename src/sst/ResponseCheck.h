#pragma once
// Whether a server's answer to a griddap request is a NetCDF file to decode, and if not, what
// to tell the user in plain words.

#include <QByteArray>
#include <QString>

#include <optional>

namespace sst {

struct ResponseCheck {
    bool isData = false; // a whole NetCDF file by its signature and length
    QString message;     // why not, for the user; empty when isData
};

// The answer to a request: its HTTP status (0 when the transport got none), the body as it
// arrived, and the length the server declared (Content-Length), if any. Accepted: status 200, a
// body as long as declared, starting with a NetCDF signature (classic "CDF\x01", 64-bit offset
// "CDF\x02", CDF-5 "CDF\x05", or NetCDF-4's HDF5 "\x89HDF\r\n\x1a\n"). Otherwise the message
// gives ERDDAP's own error message when the body holds one, and says so when the body is empty,
// cut short, a web page (a sign-in portal's) or something else.
ResponseCheck checkResponse(int httpStatus, const QByteArray& body,
                            std::optional<qint64> declaredLength = std::nullopt);

// The message of an ERDDAP error body, Error { code=404; message="..."; }, unescaped and cut to
// a readable length; empty when the body is no such error.
QString erddapErrorMessage(const QByteArray& body);

// Whether the bytes begin with one of the NetCDF signatures above.
bool hasNetcdfSignature(const QByteArray& bytes);

} // namespace sst
