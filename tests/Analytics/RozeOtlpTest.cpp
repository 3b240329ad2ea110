#include "Analytics/RozeOtlp.h"

#include "Common/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

QJsonObject valueOf(const QJsonArray& attributes, const QString& key)
{
    for (const auto& attribute : attributes)
        if (attribute[QStringLiteral("key")].toString() == key)
            return attribute[QStringLiteral("value")].toObject();
    return {};
}

}  // namespace

TEST(RozeOtlp, SeveritiesCarryTheirNumbersAndTexts)
{
    const struct {
        RozeSeverity severity;
        int number;
        const char* text;
    } cases[] = {
        {RozeSeverity::trace, 1, "TRACE"}, {RozeSeverity::debug, 5, "DEBUG"},  {RozeSeverity::info, 9, "INFO"},
        {RozeSeverity::warn, 13, "WARN"},  {RozeSeverity::error, 17, "ERROR"}, {RozeSeverity::fatal, 21, "FATAL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QJsonObject json = RozeOtlp::logRecord({QDateTime::fromMSecsSinceEpoch(0), c.severity, {}, {}});
        EXPECT_EQ(json[QStringLiteral("severityNumber")].toInt(), c.number);
        EXPECT_EQ(json[QStringLiteral("severityText")].toString(), QString::fromUtf8(c.text));
    }
}

TEST(RozeOtlp, RecordKeepsTimeBodyAndTypedAttributes)
{
    const RozeLogRecord record{QDateTime::fromMSecsSinceEpoch(1'767'600'000'123), RozeSeverity::warn,
                               QStringLiteral("[fsm] listening → thinking"),
                               QVariantMap{{QStringLiteral("category"), QStringLiteral("fsm")},
                                           {QStringLiteral("ts"), 1767600000.123},
                                           {QStringLiteral("len"), 42},
                                           {QStringLiteral("big"), qint64(9'007'199'254'740'993)},
                                           {QStringLiteral("flag"), true},
                                           {QStringLiteral("when"), QDate(2026, 1, 5)}}};
    const QJsonObject json = RozeOtlp::logRecord(record);
    // 64-bit integers are strings in the JSON form, so no digit is lost to doubles.
    EXPECT_EQ(json[QStringLiteral("timeUnixNano")].toString(), QStringLiteral("1767600000123000000"));
    EXPECT_EQ(json[QStringLiteral("body")][QStringLiteral("stringValue")].toString(), record.body);

    const QJsonArray attributes = json[QStringLiteral("attributes")].toArray();
    EXPECT_EQ(attributes.size(), 6);
    EXPECT_EQ(valueOf(attributes, QStringLiteral("category")),
              (QJsonObject{{QStringLiteral("stringValue"), QStringLiteral("fsm")}}));
    EXPECT_EQ(valueOf(attributes, QStringLiteral("ts")),
              (QJsonObject{{QStringLiteral("doubleValue"), 1767600000.123}}));
    EXPECT_EQ(valueOf(attributes, QStringLiteral("len")),
              (QJsonObject{{QStringLiteral("intValue"), QStringLiteral("42")}}));
    EXPECT_EQ(valueOf(attributes, QStringLiteral("big")),
              (QJsonObject{{QStringLiteral("intValue"), QStringLiteral("9007199254740993")}}));
    EXPECT_EQ(valueOf(attributes, QStringLiteral("flag")), (QJsonObject{{QStringLiteral("boolValue"), true}}));
    EXPECT_EQ(valueOf(attributes, QStringLiteral("when")),
              (QJsonObject{{QStringLiteral("stringValue"), QStringLiteral("2026-01-05")}}));
}

TEST(RozeOtlp, TimesOutsideTheRangeOfNanosecondsSaturate)
{
    const struct {
        qint64 millis;
        const char* nanos;
    } cases[] = {
        {9'223'372'036'854, "9223372036854000000"},  // the last millisecond that fits, in 2262
        {9'223'372'036'855, "9223372036854775807"},  // the next one
        {32'503'680'000'000, "9223372036854775807"},  // the year 3000
        {-9'223'372'036'854, "-9223372036854000000"},  // the first that fits, in 1677
        {-9'223'372'036'855, "-9223372036854775808"},  // the one before
        {-11'676'096'000'000, "-9223372036854775808"},  // the year 1600
    };
    for (const auto& c : cases) {
        const QJsonObject json =
            RozeOtlp::logRecord({QDateTime::fromMSecsSinceEpoch(c.millis, Qt::UTC), RozeSeverity::info, {}, {}});
        EXPECT_EQ(json[QStringLiteral("timeUnixNano")].toString(), QString::fromUtf8(c.nanos)) << c.millis;
        EXPECT_EQ(json[QStringLiteral("observedTimeUnixNano")].toString(), QString::fromUtf8(c.nanos)) << c.millis;
    }
}

TEST(RozeOtlp, RequestWrapsRecordsInOrderUnderOneResourceAndScope)
{
    const QList<QJsonObject> records{
        RozeOtlp::logRecord({QDateTime::fromMSecsSinceEpoch(1), RozeSeverity::info, QStringLiteral("one"), {}}),
        RozeOtlp::logRecord({QDateTime::fromMSecsSinceEpoch(2), RozeSeverity::error, QStringLiteral("two"), {}}),
    };
    const QByteArray body =
        RozeOtlp::logsRequest(RozeOtlp::resource(QStringLiteral("parlivox"), QStringLiteral("1.2")), records);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);

    const QJsonArray resourceLogs = document[QStringLiteral("resourceLogs")].toArray();
    ASSERT_EQ(resourceLogs.size(), 1);
    const QJsonArray resourceAttributes =
        resourceLogs[0][QStringLiteral("resource")][QStringLiteral("attributes")].toArray();
    EXPECT_EQ(valueOf(resourceAttributes, QStringLiteral("service.name"))[QStringLiteral("stringValue")],
              QStringLiteral("parlivox"));
    EXPECT_EQ(valueOf(resourceAttributes, QStringLiteral("service.version"))[QStringLiteral("stringValue")],
              QStringLiteral("1.2"));
    const QJsonArray scopeLogs = resourceLogs[0][QStringLiteral("scopeLogs")].toArray();
    ASSERT_EQ(scopeLogs.size(), 1);
    EXPECT_EQ(scopeLogs[0][QStringLiteral("scope")][QStringLiteral("name")].toString(), QStringLiteral("roze"));
    const QJsonArray logRecords = scopeLogs[0][QStringLiteral("logRecords")].toArray();
    ASSERT_EQ(logRecords.size(), 2);
    EXPECT_EQ(logRecords[0].toObject(), records[0]);
    EXPECT_EQ(logRecords[1].toObject(), records[1]);
}
