#include "Analytics/Gzip.h"

#include "Common/LocalHttpServer.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QByteArray inflated(const QByteArray& gzip)
{
    LocalHttpServer::Request request;
    request.headers.insert("content-encoding", "gzip");
    request.body = gzip;
    return request.decodedBody();
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char& byte : data)
        byte = static_cast<char>(generator.bounded(256));
    return data;
}

}  // namespace

TEST(Gzip, CompressesToAGzipStreamThatInflatesBackExactly)
{
    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"short text", QByteArrayLiteral("{\"resourceLogs\":[]}")},
        {"repetitive", QByteArray(1 << 20, 'a')},
        {"incompressible", randomBytes(300'000)},
        {"UTF-8", QStringLiteral("한국어 😀 — “quotes”").toUtf8()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        const auto gzip = Gzip::compress(c.data, &error);
        ASSERT_TRUE(gzip.has_value()) << qPrintable(error);
        ASSERT_GE(gzip->size(), 18);  // header and trailer at least
        EXPECT_EQ(static_cast<unsigned char>(gzip->at(0)), 0x1f);
        EXPECT_EQ(static_cast<unsigned char>(gzip->at(1)), 0x8b);
        EXPECT_EQ(inflated(*gzip), c.data);
    }
}
