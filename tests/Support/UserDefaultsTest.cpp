#include "Support/UserDefaults.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Support/FileIO.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(UserDefaults, ValuesKeepTheirTypesAcrossAReload)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cfg/parlivox/defaults.json");
    {
        UserDefaults defaults(path);
        defaults.set("s", QStringLiteral("텍스트"));
        defaults.set("b", false);
        defaults.set("n", 0.5);
        defaults.set("empty", QJsonArray());
        defaults.set("one", QJsonArray{"a"});
        defaults.set("map", QJsonObject{{"minutes", "x"}});
    }
    UserDefaults reloaded(path);
    EXPECT_EQ(reloaded.string("s"), QStringLiteral("텍스트"));
    EXPECT_EQ(reloaded.strictBool("b"), false);
    EXPECT_EQ(reloaded.value("n").toDouble(), 0.5);
    EXPECT_EQ(reloaded.stringArray("empty"), QStringList());
    EXPECT_EQ(reloaded.stringArray("one"), QStringList{"a"});
    EXPECT_EQ(reloaded.stringMap("map"), (QMap<QString, QString>{{"minutes", "x"}}));
}

TEST(UserDefaults, FileAndFolderAreReadableByTheOwnerOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("parlivox/defaults.json");
    UserDefaults defaults(path);
    defaults.set("parlivox.openAIAPIKey", QStringLiteral("sk-secret"));
    EXPECT_EQ(TestEnvironment::permissionBits(path), 0600u);
    EXPECT_EQ(TestEnvironment::permissionBits(dir.filePath("parlivox")), 0700u);
}

TEST(UserDefaults, EveryChangeIsOnDiskAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    UserDefaults writer(path);
    writer.set("k", 1);
    EXPECT_TRUE(UserDefaults(path).contains("k"));
    writer.remove("k");
    EXPECT_FALSE(UserDefaults(path).contains("k"));
}

TEST(UserDefaults, TypedReadersRefuseOtherTypes)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("d.json"));
    defaults.set("num", 3);
    defaults.set("mixed", QJsonArray{"a", 1});
    defaults.set("badmap", QJsonObject{{"a", true}});
    defaults.set("str", QStringLiteral("true"));
    EXPECT_EQ(defaults.string("num"), std::nullopt);
    EXPECT_EQ(defaults.strictBool("str"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("mixed"), std::nullopt);
    EXPECT_EQ(defaults.stringArray("str"), std::nullopt);
    EXPECT_EQ(defaults.stringMap("badmap"), std::nullopt);
    EXPECT_EQ(defaults.string("absent"), std::nullopt);
}

TEST(UserDefaults, LaxBooleanReadingOfAnyStoredValue)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("d.json"));
    const std::pair<QJsonValue, bool> cases[] = {
        {true, true},
        {false, false},
        {1, true},
        {0, false},
        {0.5, true},
        {QStringLiteral("YES"), true},
        {QStringLiteral("yes"), true},
        {QStringLiteral("true"), true},
        {QStringLiteral("T"), true},
        {QStringLiteral("no"), false},
        {QStringLiteral("false"), false},
        {QStringLiteral("0"), false},
        {QStringLiteral("007"), true},
        {QStringLiteral("  +1"), true},
        {QStringLiteral("-0"), false},
        {QStringLiteral(""), false},
        {QJsonArray{true}, false},
        {QJsonValue(QJsonValue::Null), false},
    };
    int i = 0;
    for (const auto& [value, expected] : cases) {
        const QString key = QString::number(i++);
        defaults.set(key, value);
        EXPECT_EQ(defaults.laxBool(key), expected) << "case " << key.toStdString();
    }
    EXPECT_FALSE(defaults.laxBool("absent"));
}

TEST(UserDefaults, DamagedFileIsMovedAsideNotOverwritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.json");
    const std::pair<QByteArray, QString> cases[] = {
        {"{\"parlivox.localeID\": ", "(unterminated object)"},
        {"[1,2]", "(not a JSON object)"},
    };
    for (const auto& [damaged, reason] : cases) {
        ASSERT_TRUE(FileIO::writeAtomically(path, damaged));
        LogCapture log(QStringLiteral("app.parlivox.defaults"));
        UserDefaults defaults(path);
        EXPECT_FALSE(defaults.contains("parlivox.localeID"));
        ASSERT_EQ(log.messages().size(), 1);
        EXPECT_TRUE(log.messages().first().contains(reason)) << log.messages().first().toStdString();
        defaults.set("parlivox.localeID", QStringLiteral("en-US"));

        const QStringList aside = TestEnvironment::movedAsideCopies(path);
        ASSERT_FALSE(aside.isEmpty());
        bool kept = false;
        for (const QString& copy : aside)
            kept = kept || FileIO::readAll(copy) == damaged;
        EXPECT_TRUE(kept) << "the user's damaged file must be kept";
        EXPECT_EQ(UserDefaults(path).string("parlivox.localeID"), QStringLiteral("en-US"));
        QFile::remove(path);
    }
}
