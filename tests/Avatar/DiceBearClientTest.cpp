// The avatar image service client: the address and file name made from a seed, and against
// a local server, that only a PNG picture is ever saved as the avatar.
#include "Avatar/DiceBearClient.h"
#include "Common/FakeScheduler.h"
#include "Common/LocalHttpServer.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Storage/AvatarLibrary.h"
#include "Support/FileIO.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Style = DiceBearClient::Style;

namespace {
const QByteArray query = "&size=512&backgroundType=solid&backgroundColor=fbf9f4";

QByteArray png()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG");
    return bytes;
}
}  // namespace

TEST(DiceBearClient, MakesTheAddressAndTheFileNameFromTheSeed)
{
    const QString sixty(60, QLatin1Char('a'));
    struct Case {
        Style style;
        QString seed;
        QByteArray pathAndQuery;
        QString fileName;
    };
    const QList<Case> cases{
        {Style::bigSmile, "  blue sky! ", "/9.x/big-smile/png?seed=blue%20sky!" + query,
         "dicebear-big-smile-blue_sky_.png"},
        {Style::notionists, "하늘 색", "/9.x/notionists/png?seed=%ED%95%98%EB%8A%98%20%EC%83%89" + query,
         "dicebear-notionists-하늘_색.png"},
        {Style::pixelArt, sixty, "/9.x/pixel-art/png?seed=" + sixty.toLatin1() + query,
         "dicebear-pixel-art-" + sixty.left(40) + ".png"},
        // Characters that would split the query or be read as a space are encoded.
        {Style::thumbs, "a+b&c=d#e", "/9.x/thumbs/png?seed=a%2Bb%26c%3Dd%23e" + query, "dicebear-thumbs-a_b_c_d_e.png"},
        {Style::micah, "smile\U0001F600", "/9.x/micah/png?seed=smile%F0%9F%98%80" + query, "dicebear-micah-smile_.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seed.toStdString());
        const QString seed = DiceBearClient::effectiveSeed(c.seed);
        const QUrl url = DiceBearClient::requestUrl(QUrl("http://127.0.0.1:9"), c.style, seed, 512);
        EXPECT_EQ(url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority), c.pathAndQuery);
        EXPECT_EQ(DiceBearClient::fileName(c.style, seed), c.fileName);
    }
    // A blank seed becomes a random one of 8 hexadecimal digits.
    const QString first = DiceBearClient::effectiveSeed(" \n\t");
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{8}$").match(first).hasMatch()) << first.toStdString();
    EXPECT_NE(DiceBearClient::effectiveSeed(""), first);
}

TEST(DiceBearClient, SavesOnlyAPngPictureAsTheAvatar)
{
    struct Case {
        const char* name;
        int status;
        QByteArray body;
        bool silent = false;  // the server never answers
        bool refused = false;  // nothing listens
        std::optional<DiceBearClient::Error::Kind> failure = {};
        QString description = {};
    };
    using Kind = DiceBearClient::Error::Kind;
    const QString notPng = "The avatar service sent something that is not a PNG picture.";
    const QList<Case> cases{
        {"png", 200, png()},
        {"no content", 204, {}, false, false, Kind::notAnImage, "The avatar service sent no picture."},
        {"empty", 200, {}, false, false, Kind::notAnImage, "The avatar service sent no picture."},
        {"proxy page", 200, "<html>Sign in to the network</html>", false, false, Kind::notAnImage, notPng},
        {"truncated png", 200, png().left(30), false, false, Kind::notAnImage, notPng},
        {"not found", 404, "missing", false, false, Kind::status, "HTTP 404"},
        {"silent", 200, {}, true, false, Kind::transport, "The request timed out."},
        {"refused", 200, {}, false, true, Kind::transport},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedDataRoot root;
        FakeScheduler scheduler;
        LocalHttpServer server;
        server.setHandler([&c](const LocalHttpServer::Request&) {
            return LocalHttpServer::Reply{c.status, c.body, "image/png", {}, c.silent};
        });
        const QUrl host =
            c.refused ? QUrl(QStringLiteral("http://127.0.0.1:%1").arg(LocalHttpServer::unusedPort())) : server.url();
        DiceBearClient client(scheduler, host);
        std::optional<DiceBearClient::Result> result;
        int calls = 0;
        client.download(Style::lorelei, "Sky", 512, [&](const DiceBearClient::Result& r) {
            result = r;
            ++calls;
        });
        EXPECT_FALSE(result);  // never before download() returns
        if (c.silent) {
            ASSERT_TRUE(server.waitForRequests(1));
            scheduler.advance(DiceBearClient::timeout);
        }
        QElapsedTimer waited;
        waited.start();
        while (!result && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();

        ASSERT_TRUE(result);
        EXPECT_EQ(calls, 1);
        const QString path = AvatarLibrary::directory() + "/dicebear-lorelei-Sky.png";
        if (!c.failure) {
            EXPECT_EQ(std::get<QString>(*result), "dicebear-lorelei-Sky.png");
            EXPECT_EQ(FileIO::readAll(path), c.body);
            continue;
        }
        const auto* error = std::get_if<DiceBearClient::Error>(&*result);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind, *c.failure);
        EXPECT_EQ(error->status, c.failure == Kind::status ? c.status : 0);
        // The refusal's wording is the network library's.
        EXPECT_EQ(error->description, c.refused ? error->description : c.description);
        EXPECT_FALSE(error->description.isEmpty());
        EXPECT_TRUE(QDir(AvatarLibrary::directory()).isEmpty());
    }
}
