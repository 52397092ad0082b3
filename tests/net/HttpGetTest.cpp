// Getting a file from a real server on this machine: statuses, redirects, limits, cut and stalled
// answers, and the retry, as the charts' download meets them.

#include "net/HttpGet.h"
#include "support/LocalHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

using testsupport::HttpAnswer;
using testsupport::LocalHttpServer;

namespace {

int argc = 1;
char name[] = "net_test";
char* argv[] = {name, nullptr};

QCoreApplication& app() {
    static QCoreApplication instance(argc, argv);
    return instance;
}

net::GetLimits quick() {
    net::GetLimits limits;
    limits.connectTimeoutMs = 2000;
    limits.stallTimeoutMs = 500;
    limits.retryPauseMs = 50;
    limits.maxBytes = 1000;
    return limits;
}

} // namespace

TEST(HttpGetTest, OnlySecureAddressesAndRedirects) {
    const struct {
        const char* from;
        const char* to; // null: a request to `from` alone
        bool allowed;
    } cases[] = {
        {"https://coastwatch.pfeg.noaa.gov/erddap", nullptr, true},
        {"http://coastwatch.pfeg.noaa.gov/erddap", nullptr, false},
        {"http://127.0.0.1:8080/erddap", nullptr, true},
        {"http://localhost/erddap", nullptr, true},
        {"http://[::1]/erddap", nullptr, true},
        {"http://127.0.0.1.example.com/erddap", nullptr, false},
        {"ftp://127.0.0.1/x", nullptr, false},
        {"https://a.example/x", "https://b.example/y", true},
        {"https://a.example/x", "http://b.example/y", false},
        {"https://a.example/x", "http://127.0.0.1/y", false}, // never down to plain HTTP
        {"http://127.0.0.1/x", "http://localhost/y", true},
        {"http://127.0.0.1/x", "http://b.example/y", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + (c.to ? c.to : ""));
        const bool allowed = c.to ? net::isAllowedRedirect(QUrl(c.from), QUrl(c.to))
                                  : net::isAllowedUrl(QUrl(c.from));
        EXPECT_EQ(allowed, c.allowed);
    }
}

TEST(HttpGetTest, AnswersAsTheServerGaveThem) {
    app();
    int calls503 = 0;
    LocalHttpServer server([&](const QByteArray& target) {
        HttpAnswer a;
        if (target == "/whole") a.body = "CDF\x01 whole";
        if (target == "/missing") {
            a.status = 404;
            a.body = "Error { code=404; message=\"Not Found: nothing\"; }";
        }
        if (target == "/busy") {
            a.status = ++calls503 == 1 ? 503 : 200;
            a.body = "after retry";
        }
        if (target == "/always500") a.status = 500;
        if (target == "/big") a.body = QByteArray(1001, 'x');
        if (target == "/cut") {
            a.body = QByteArray(800, 'c');
            a.mode = HttpAnswer::Mode::Cut;
        }
        if (target == "/stall") {
            a.body = QByteArray(800, 's');
            a.mode = HttpAnswer::Mode::Stall;
        }
        if (target == "/hop") {
            a.status = 302;
            a.headers = {{"Location", "/whole"}};
        }
        if (target == "/away") {
            a.status = 301;
            a.headers = {{"Location", "http://example.com/x.nc"}};
        }
        return a;
    });
    const struct {
        const char* path;
        int status;
        const char* body;    // null: no check
        const char* failure; // null: a whole answer; else a word the failure holds
    } cases[] = {
        {"/whole", 200, "CDF\x01 whole", nullptr},
        {"/missing", 404, "Error { code=404; message=\"Not Found: nothing\"; }", nullptr},
        {"/busy", 200, "after retry", nullptr},
        {"/always500", 500, nullptr, nullptr},
        {"/big", 0, nullptr, "larger"},
        {"/cut", 0, nullptr, "cut off"},
        {"/stall", 0, nullptr, "stalled"},
        {"/hop", 200, "CDF\x01 whole", nullptr},
        {"/away", 301, nullptr, "not secure"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        QElapsedTimer clock;
        clock.start();
        const net::GetResult r = net::getNow(QUrl(server.base() + c.path), quick());
        EXPECT_LT(clock.elapsed(), 4000);
        if (c.failure) {
            EXPECT_TRUE(r.failure.contains(QLatin1String(c.failure))) << r.failure.toStdString();
            EXPECT_TRUE(r.body.isEmpty());
            continue;
        }
        EXPECT_TRUE(r.transferred()) << r.failure.toStdString();
        EXPECT_EQ(r.status, c.status);
        if (c.body) {
            EXPECT_EQ(r.body, QByteArray(c.body));
        }
    }
    EXPECT_EQ(calls503, 2);
    EXPECT_EQ(server.requests().count("/always500"), 2); // one retry, no more
    EXPECT_EQ(server.mostAtOnce(), 1);
}
