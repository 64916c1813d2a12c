#include "updates/ManifestFetcher.h"

#include "TestCertificate.h"
#include "TestHttpServer.h"
#include "platform/BuildInfo.h"
#include "tests/support/WarningLog.h"
#include "updates/SiteUpdateFeed.h"
#include "updates/UpdateFailure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSslSocket>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <thread>
#include <zlib.h>

namespace DewlightUpdates {
namespace {

using namespace std::chrono_literals;
using Testing::TestHttpServer;

struct Outcome {
    std::optional<QByteArray> body;
    std::optional<UpdateFailure> failure;
};

QCoro::Task<Outcome> fetchOutcome(UpdateFeed& feed) {
    Outcome outcome;
    try {
        QByteArray body = co_await feed.fetch();
        outcome.body = std::move(body);
    } catch (const UpdateFailureError& error) {
        outcome.failure = error.failure();
    }
    co_return outcome;
}

Outcome fetch(UpdateFeed& feed) {
    return QCoro::waitFor(fetchOutcome(feed));
}

Outcome fetch(ManifestFetcher::Settings settings) {
    ManifestFetcher fetcher(std::move(settings));
    return fetch(fetcher);
}

ManifestFetcher::Settings at(const QUrl& url) {
    ManifestFetcher::Settings settings;
    settings.url = url;
    return settings;
}

// Header names in lower case to their values.
std::map<std::string, std::string> headersOf(const QByteArray& request) {
    std::map<std::string, std::string> headers;
    const QList<QByteArray> lines = request.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            headers[line.left(colon).toLower().toStdString()] =
                line.mid(colon + 1).trimmed().toStdString();
    }
    return headers;
}

// The threads this process runs now.
qsizetype threadCount() {
    return QDir(QStringLiteral("/proc/self/task"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
        .size();
}

// A fetcher's network thread has finished once its manager is gone, but the system thread behind
// it may still be ending, and OpenSSL frees its state for that thread only then: a process that
// ended right after a test would leave that state unfreed, which the leak checker reports.
class ManifestFetcherTest : public ::testing::Test {
protected:
    void TearDown() override {
        QElapsedTimer waited;
        waited.start();
        while (threadCount() > threadsBefore_ && waited.elapsed() < 5000)
            std::this_thread::sleep_for(5ms);
    }

private:
    const qsizetype threadsBefore_ = threadCount();
};

TEST_F(ManifestFetcherTest, SendsAPlainGetWithTheNamedHeadersAndNoCookies) {
    TestHttpServer server;
    server.respondWith(TestHttpServer::response(200, R"({"format":1,"apps":{}})",
                                                "Set-Cookie: seen=1; Path=/\r\n"
                                                "Cache-Control: max-age=3600\r\n"));
    ManifestFetcher fetcher(at(server.url()));
    EXPECT_EQ(fetch(fetcher).body, QByteArray(R"({"format":1,"apps":{}})"));
    // A second fetch neither sends the cookie nor is answered from a cache.
    EXPECT_EQ(fetch(fetcher).body, QByteArray(R"({"format":1,"apps":{}})"));

    ASSERT_EQ(server.requests().size(), 2u);
    for (const QByteArray& request : server.requests()) {
        EXPECT_TRUE(request.startsWith("GET /downloads/versions.json HTTP/1.1\r\n"))
            << request.toStdString();
        const auto headers = headersOf(request);
        EXPECT_EQ(headers.at("user-agent"), "Norvane");
        EXPECT_EQ(headers.at("accept"), "application/json");
        EXPECT_EQ(headers.at("accept-language"), "*");
        // Beyond the three, only what the HTTP stack itself adds.
        const std::set<std::string> allowed = {"host",       "connection",   "accept-encoding",
                                               "user-agent", "accept",       "accept-language",
                                               "pragma",     "cache-control"};
        for (const auto& [name, value] : headers)
            EXPECT_TRUE(allowed.contains(name)) << name << ": " << value;
        if (headers.contains("cache-control")) {
            EXPECT_EQ(headers.at("cache-control"), "no-cache");
        }
    }
}

TEST_F(ManifestFetcherTest, OnlyStatus200IsAnAnswer) {
    struct Case {
        int status;
        QByteArray headers;
    };
    const Case cases[] = {
        {204, {}}, {301, "Location: /moved.json\r\n"}, {302, "Location: /moved.json\r\n"},
        {304, {}}, {307, "Location: /moved.json\r\n"}, {404, {}},
        {500, {}},
    };
    for (const auto& c : cases) {
        TestHttpServer server;
        server.respondWith(
            TestHttpServer::response(c.status, R"({"format":1,"apps":{}})", c.headers));
        EXPECT_EQ(fetch(at(server.url())).failure, UpdateFailure::unreachable) << c.status;
        // A redirect is never followed: give a second request the time to arrive.
        QTest::qWait(50);
        EXPECT_EQ(server.requests().size(), 1u) << c.status;
    }
}

TEST_F(ManifestFetcherTest, AnEmptyBodyIsAnEmptyAnswer) {
    TestHttpServer server;
    server.respondWith(TestHttpServer::response(200, {}));
    const Outcome outcome = fetch(at(server.url()));
    ASSERT_TRUE(outcome.body);
    EXPECT_TRUE(outcome.body->isEmpty());
}

TEST_F(ManifestFetcherTest, TransportFailuresAreUnreachable) {
    const QByteArray answers[] = {
        "SSH-2.0-OpenSSH\r\n\r\n",                             // not HTTP
        "",                                                    // closed without an answer
        "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort", // body cut short
    };
    for (const QByteArray& answer : answers) {
        TestHttpServer server;
        server.respondWith(answer);
        EXPECT_EQ(fetch(at(server.url())).failure, UpdateFailure::unreachable)
            << answer.toStdString();
    }

    QUrl closed;
    {
        TestHttpServer gone;
        closed = gone.url();
    }
    EXPECT_EQ(fetch(at(closed)).failure, UpdateFailure::unreachable);
    EXPECT_EQ(fetch(at(QUrl())).failure, UpdateFailure::unreachable);
}

TEST_F(ManifestFetcherTest, ReadsAtMostTheLimit) {
    const qsizetype limit = static_cast<qsizetype>(UpdateManifest::maximumBytes);
    {
        TestHttpServer server;
        const QByteArray body(limit, 'a');
        server.respondWith(TestHttpServer::response(200, body));
        EXPECT_EQ(fetch(at(server.url())).body, body);
    }
    {
        TestHttpServer server;
        server.respondWith(TestHttpServer::response(200, QByteArray(limit + 1, 'a')));
        EXPECT_EQ(fetch(at(server.url())).failure, UpdateFailure::unreadable);
    }
    {
        // No length announced: the body runs until the server closes.
        TestHttpServer server;
        server.respondWith("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" +
                           QByteArray(8 * limit, 'a'));
        EXPECT_EQ(fetch(at(server.url())).failure, UpdateFailure::unreadable);
    }
}

// `size` zero bytes in the gzip format: a few kilobytes that unpack to any size.
QByteArray gzippedZeros(qsizetype size) {
    z_stream stream = {};
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 9,
                           Z_DEFAULT_STRATEGY),
              Z_OK);
    const QByteArray chunk(1 << 20, '\0');
    QByteArray packed;
    char out[1 << 16];
    for (qsizetype left = size; left >= 0; left -= chunk.size()) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.constData()));
        stream.avail_in = static_cast<uInt>(std::min(left, chunk.size()));
        const int flush = left <= chunk.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, flush);
            packed.append(out, static_cast<qsizetype>(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH)
            break;
    }
    deflateEnd(&stream);
    return packed;
}

TEST_F(ManifestFetcherTest, AnUnpackedBodyOverTheLimitEndsTheFetchAtOnce) {
    const qsizetype limit = static_cast<qsizetype>(UpdateManifest::maximumBytes);
    struct Case {
        const char* name;
        qsizetype unpacked;
        std::optional<UpdateFailure> failure;
    };
    const Case cases[] = {
        {"at the limit", limit, std::nullopt},
        {"one byte over", limit + 1, UpdateFailure::unreadable},
        {"a bomb", qsizetype(200) << 20, UpdateFailure::unreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server;
        server.respondWith(TestHttpServer::response(200, gzippedZeros(c.unpacked),
                                                    "Content-Encoding: gzip\r\n"));
        DewlightTest::WarningLog warnings;
        QElapsedTimer clock;
        clock.start();
        const Outcome outcome = fetch(at(server.url()));
        EXPECT_LT(clock.elapsed(), 5000) << "the idle limit is 15 s";
        EXPECT_EQ(outcome.failure, c.failure);
        if (!c.failure) {
            EXPECT_EQ(outcome.body, QByteArray(limit, '\0'));
        }
        EXPECT_THAT(warnings.lines, ::testing::IsEmpty());
    }
}

TEST_F(ManifestFetcherTest, GivesUpAfterTheIdleAndTotalLimits) {
    TestHttpServer silent; // accepts, reads the request, never answers
    ManifestFetcher::Settings idle = at(silent.url());
    idle.idleTimeout = 300ms;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(fetch(idle).failure, UpdateFailure::unreachable);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_LT(clock.elapsed(), 5000);

    // Data keeps moving, so only the total limit can stop it.
    TestHttpServer slow;
    slow.setResponder([](QTcpSocket& socket, const QByteArray&) {
        Testing::trickle(socket, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", 1000, 50ms);
    });
    ManifestFetcher::Settings total = at(slow.url());
    total.idleTimeout = 400ms;
    total.totalTimeout = 900ms;
    clock.restart();
    EXPECT_EQ(fetch(total).failure, UpdateFailure::unreachable);
    EXPECT_GE(clock.elapsed(), 850);
    EXPECT_LT(clock.elapsed(), 5000);

    // A slow answer that keeps moving within both limits is read whole.
    TestHttpServer steady;
    steady.setResponder([](QTcpSocket& socket, const QByteArray&) {
        Testing::trickle(socket, "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n", 6, 100ms);
    });
    ManifestFetcher::Settings within = at(steady.url());
    within.idleTimeout = 400ms;
    within.totalTimeout = 5s;
    EXPECT_EQ(fetch(within).body, QByteArray("xxxxxx"));
}

TEST_F(ManifestFetcherTest, VerifiesTheServerCertificate) {
    if (!QSslSocket::supportsSsl())
        GTEST_SKIP() << "no TLS backend";
    const auto pair = Testing::TestCertificate::make();
    TestHttpServer server(pair.certificate, pair.key);
    server.respondWith(TestHttpServer::response(200, R"({"format":1,"apps":{}})"));
    const QUrl url =
        server.url(QStringLiteral("/downloads/versions.json"), QStringLiteral("https"));

    EXPECT_EQ(fetch(at(url)).failure, UpdateFailure::unreachable);
    EXPECT_TRUE(server.requests().empty());

    ManifestFetcher::Settings trusting = at(url);
    trusting.extraTrustedRoots = {pair.certificate};
    EXPECT_EQ(fetch(trusting).body, QByteArray(R"({"format":1,"apps":{}})"));
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST(SiteUpdateFeed, AcceptsOnlyAnHttpsOrigin) {
    EXPECT_EQ(SiteUpdateFeed::originOf("https://example.org"), QUrl("https://example.org"));
    EXPECT_EQ(SiteUpdateFeed::originOf("https://example.org:8443"),
              QUrl("https://example.org:8443"));
    for (const char* site :
         {"", "example.org", "http://example.org", "https://", "https://example.org/",
          "https://example.org/downloads", "https://user@example.org", "https://example.org?x=1",
          "https://example.org#top", "https://exa mple.org", "ftp://example.org",
          "https://example.org:0", "https://example.org:99999"})
        EXPECT_FALSE(SiteUpdateFeed::originOf(site)) << site;
}

TEST(SiteUpdateFeed, TheManifestLivesOnTheBuildsSite) {
    if (SiteUpdateFeed::site().isEmpty())
        GTEST_SKIP() << "this build has no update site";
    EXPECT_EQ(SiteUpdateFeed::manifestURL().toString(),
              QString::fromUtf8(DewlightPlatform::BuildInfo::updateSite) +
                  "/downloads/versions.json");
}

TEST(SiteUpdateFeed, WithoutASiteTheFeedIsUnreachableAtOnce) {
    if (!SiteUpdateFeed::site().isEmpty())
        GTEST_SKIP() << "this build has an update site";
    EXPECT_TRUE(SiteUpdateFeed::manifestURL().isEmpty());
    SiteUpdateFeed feed;
    // Finished before any event is processed: no request was made.
    auto task = fetchOutcome(feed);
    EXPECT_TRUE(task.isReady());
    EXPECT_EQ(QCoro::waitFor(task).failure, UpdateFailure::unreachable);
}

} // namespace
} // namespace DewlightUpdates
