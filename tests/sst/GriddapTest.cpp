// The griddap request of an area's chart and the check of the server's answer.
#include "sst/GriddapRequest.h"
#include "sst/ResponseCheck.h"
#include "sst/SstSources.h"

#include <gtest/gtest.h>

namespace {

TEST(SstRequest, UrlPerSourceAreaTimeAndServer) {
    const QDateTime december(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);
    // Boxes worked out by hand from the area table: the corner pixels' outer edges plus one
    // data cell (0.01° for MUR, 0.02° for ACSPO).
    const struct {
        const char* source;
        int area;
        std::optional<QDateTime> time;
        const char* server;
        const char* url;
    } cases[] = {
        {"mur", 1, std::nullopt, "",
         "https://coastwatch.pfeg.noaa.gov/erddap/griddap/jplMURSST41.nc?analysed_sst"
         "%5B(last)%5D%5B(41.2089):1:(43.3697)%5D%5B(-71.0703):1:(-68.1779)%5D"},
        // ACSPO's latitudes descend, so the range runs north to south.
        {"acspo", 30, december, "",
         "https://coastwatch.noaa.gov/erddap/griddap/noaacwLEOACSPOSSTL3SnrtCDaily.nc?"
         "sea_surface_temperature%5B(2026-12-01T12:00:00Z)%5D%5B(30.5419):1:(27.9738)%5D"
         "%5B(-87.8242):1:(-84.9132)%5D"},
        {"mur", 1, QDateTime(QDate(2026, 12, 1), QTime(7, 30), Qt::OffsetFromUTC, -3600),
         "http://127.0.0.1:8080/erddap//",
         "http://127.0.0.1:8080/erddap/griddap/jplMURSST41.nc?analysed_sst"
         "%5B(2026-12-01T08:30:00Z)%5D%5B(41.2089):1:(43.3697)%5D%5B(-71.0703):1:(-68.1779)%5D"},
        {"mur", 0, std::nullopt, "", ""},
        {"mur", 31, std::nullopt, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const sst::SstSource* source = sst::findSource(QString::fromLatin1(c.source));
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(sst::griddapUrl(*source, c.area, c.time, QString::fromLatin1(c.server)),
                  QString::fromLatin1(c.url));
    }
    EXPECT_EQ(sst::defaultSource().name, QStringLiteral("mur"));
    EXPECT_EQ(sst::findSource(QStringLiteral("MUR")), nullptr);
}

TEST(SstResponse, CheckedBeforeDecoding) {
    const QByteArray classic("CDF\x01\0\0\0\0", 8), offset64("CDF\x02\0\0\0\0", 8);
    const QByteArray hdf("\x89HDF\r\n\x1a\n", 8);
    const QByteArray notFound =
        "Error {\n    code=404;\n    message=\"Not Found: Your query produced no matching "
        "results. (time=2030-01-01T00:00:00Z is outside of the variable's actual_range: "
        "2002-06-01T09:00:00Z to 2026-12-01T09:00:00Z)\";\n}\n";
    const struct {
        int status;
        QByteArray body;
        std::optional<qint64> declared;
        bool isData;
        const char* says; // part of the message
    } cases[] = {
        {200, classic, 8, true, ""},
        {200, offset64, std::nullopt, true, ""},
        {200, hdf, std::nullopt, true, ""},
        {404, notFound, std::nullopt, false,
         "The server answered: Not Found: Your query produced no matching results. (time="},
        {400,
         "Error {\n    code=400;\n    message=\"Bad Request: Query error: \\\"lat\\\"; "
         "is not a dimension.\";\n}\n",
         std::nullopt, false, "Bad Request: Query error: \"lat\"; is not a dimension."},
        {500,
         "Error {\n    code=500;\n    message=\"Internal Server Error: Too many "
         "requests\";\n}\n",
         std::nullopt, false, "Internal Server Error: Too many requests"},
        {200, notFound, std::nullopt, false, "Not Found: Your query"},
        {503, "", std::nullopt, false, "HTTP status 503"},
        {0, "", std::nullopt, false, "no answer"},
        {200, "", std::nullopt, false, "empty answer"},
        {200, classic, 4000, false, "cut short: 8 of 4000 bytes"},
        {200, "\n<!DOCTYPE html><html><title>Welcome to Harbour WiFi</title>", std::nullopt, false,
         "web page"},
        {200, "<HTML><BODY>Sign in</BODY></HTML>", std::nullopt, false, "sign in"},
        {200, "GIF89a....", std::nullopt, false, "not sea temperature data"},
        {200, "CDF", std::nullopt, false, "not sea temperature data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.left(40).toStdString());
        const sst::ResponseCheck check = sst::checkResponse(c.status, c.body, c.declared);
        EXPECT_EQ(check.isData, c.isData);
        EXPECT_TRUE(check.message.contains(QString::fromUtf8(c.says)))
            << check.message.toStdString();
        EXPECT_EQ(check.message.isEmpty(), c.isData);
    }
}

} // namespace
