#include "Support/JsonListFile.h"

#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

Q_LOGGING_CATEGORY(lcListTest, "app.parlivox.test.list")

namespace {

using NamesFile = JsonListFile<QString>;

NamesFile namesFile(const QString& path)
{
    return {path,
            [](const QJsonValue& value) { return value.isString() ? std::optional(value.toString()) : std::nullopt; },
            [](const QString& name) { return QJsonValue(name); },
            lcListTest,
            "names file",
            "name %1 is not text"};
}

}  // namespace

TEST(JsonListFile, ReadTellsAMissingFileFromAnUnreadableOrUndecodableOne)
{
    struct Case {
        const char* name;
        std::optional<QByteArray> bytes;  // nothing: no file; "/": a folder in its place
        NamesFile::State state;
        QStringList items;
        std::optional<QString> error;  // nothing: some text, whatever the parser says
    };
    const Case cases[] = {
        {"missing", std::nullopt, NamesFile::State::missing, {}, ""},
        {"list", R"(["a", "b"])", NamesFile::State::readable, {"a", "b"}, ""},
        {"empty list", "[]", NamesFile::State::readable, {}, ""},
        {"one bad element", R"(["a", 1, "c"])", NamesFile::State::undecodable, {}, "name 1 is not text"},
        {"not a list", R"({"a": 1})", NamesFile::State::undecodable, {}, "the file does not hold a list"},
        {"cut short", R"(["a", )", NamesFile::State::undecodable, {}, std::nullopt},
        {"a folder", "/", NamesFile::State::unreadable, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("names.json"));
        if (c.bytes == "/") {
            ASSERT_TRUE(QDir().mkpath(path));
        } else if (c.bytes) {
            ASSERT_TRUE(FileIO::writeAtomically(path, *c.bytes));
        }

        const NamesFile::Contents contents = namesFile(path).read();
        EXPECT_EQ(contents.state, c.state);
        EXPECT_EQ(contents.items, c.items);
        if (c.error)
            EXPECT_EQ(contents.error, *c.error);
        else
            EXPECT_FALSE(contents.error.isEmpty());
        EXPECT_EQ(contents.isDamaged(),
                  c.state == NamesFile::State::unreadable || c.state == NamesFile::State::undecodable);
    }
}

TEST(JsonListFile, WriteSaysInTheOwnersLogWhereTheDamagedFileWent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deeper/names.json"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("deeper"))));
    ASSERT_TRUE(FileIO::writeAtomically(path, R"(["a", 1])"));

    LogCapture log(QStringLiteral("app.parlivox.test.list"));
    namesFile(path).write({"x"});

    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().first().type, QtWarningMsg);
    const QString aside = TestEnvironment::movedAsideCopies(path).value(0);
    EXPECT_EQ(log.lines().first().message,
              QStringLiteral("moved the damaged names file (name 1 is not text) to ") + aside);
    EXPECT_EQ(FileIO::readAll(aside), QByteArray(R"(["a", 1])"));
    EXPECT_EQ(namesFile(path).read().items, QStringList{"x"});
}

TEST(JsonListFile, AFolderThatCannotBeMadeIsLoggedAndNothingIsWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(FileIO::writeAtomically(dir.filePath(QStringLiteral("blocker")), "a file, not a folder"));
    const QString path = dir.filePath(QStringLiteral("blocker/names.json"));

    LogCapture log(QStringLiteral("app.parlivox.test.list"));
    namesFile(path).write({"x"});

    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_EQ(log.lines().first().type, QtCriticalMsg);
    EXPECT_TRUE(log.lines().first().message.startsWith(QStringLiteral("save failed: ")))
        << log.messages().join('\n').toStdString();
    EXPECT_EQ(namesFile(path).read().state, NamesFile::State::missing);
}
