#include "Storage/ObsidianSync.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "Common/ScopedTimeZone.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QDateTime seoul(int day, int hour, int minute, int second)
{
    return QDateTime(QDate(2025, 5, day), QTime(hour, minute, second), Qt::LocalTime);
}

QString read(const QString& path)
{
    return QString::fromUtf8(FileIO::readAll(path).value_or("<missing>"));
}

QStringList filesBelow(const QString& directory)
{
    QStringList files;
    QDir dir(directory);
    for (const QFileInfo& info : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (info.isDir())
            files << filesBelow(info.filePath());
        else
            files << info.filePath();
    }
    return files;
}
}  // namespace

class ObsidianSyncTest : public ::testing::Test {
protected:
    QString vault() const { return m_dir.path() + QStringLiteral("/vault"); }
    VaultTarget target(const QString& subfolder = QStringLiteral("Parlivox")) const { return {vault(), subfolder}; }
    QString note(const QString& relative) const { return vault() + QLatin1Char('/') + relative; }

    // Local days and UTC headings differ only in a known zone.
    ScopedTimeZone zone{"Asia/Seoul"};
    QTemporaryDir m_dir;
};

TEST_F(ObsidianSyncTest, EachChannelAppendsToItsNoteOfTheLocalDayUnderOneFrontMatter)
{
    LogCapture log(QStringLiteral("app.parlivox.obsidian"));
    {
        ObsidianSync sync;
        const auto conversation = [&](const QString& body, const QDateTime& at, const char* locale) {
            sync.append(ObsidianSync::Channel::conversation, target(), body, at, QString::fromUtf8(locale));
        };
        conversation(QStringLiteral("**나**: 안녕\n\n**비서**: 네"), seoul(12, 17, 30, 0), "ko-KR");
        conversation(QStringLiteral("second"), seoul(12, 23, 59, 59), "en-US");
        conversation(QStringLiteral("early"), seoul(13, 0, 0, 1), "en-US");
        sync.append(ObsidianSync::Channel::memory, target(), QStringLiteral("- buy milk"), seoul(12, 9, 0, 0),
                    std::nullopt);
        sync.append(ObsidianSync::Channel::translate, target(), QStringLiteral("t"), seoul(12, 9, 0, 0),
                    QStringLiteral("ja-JP"));
    }
    // Local midnight splits the days while the headings stay in UTC.
    const QString path = note(QStringLiteral("Parlivox/Conversations/2025-05-12.md"));
    EXPECT_EQ(read(path), QStringLiteral("---\ntitle: Parlivox Conversation \u2014 2025-05-12\ntype: conversation\n"
                                         "locale: ko-KR\n---\n\n"
                                         "## 2025-05-12T08:30:00Z\n\n**나**: 안녕\n\n**비서**: 네\n\n"
                                         "## 2025-05-12T14:59:59Z\n\nsecond\n\n"));
    EXPECT_TRUE(read(note("Parlivox/Conversations/2025-05-13.md")).endsWith("## 2025-05-12T15:00:01Z\n\nearly\n\n"));
    EXPECT_EQ(read(note("Parlivox/Memories/2025-05-12.md")),
              QStringLiteral("---\ntitle: Parlivox Memory \u2014 2025-05-12\ntype: memory\n"
                             "locale: \n---\n\n## 2025-05-12T00:00:00Z\n\n- buy milk\n\n"));
    EXPECT_TRUE(read(note("Parlivox/Translations/2025-05-12.md"))
                    .startsWith(QStringLiteral("---\ntitle: Parlivox Translate \u2014 2025-05-12\ntype: translate\n"
                                               "locale: ja-JP\n")));
    EXPECT_EQ(log.messages().first(), QStringLiteral("appended conversation → ") + path);
}

TEST_F(ObsidianSyncTest, TheMeetingChannelIsNotForDailyNotes)
{
    LogCapture log(QStringLiteral("app.parlivox.obsidian"));
    {
        ObsidianSync sync;
        sync.append(ObsidianSync::Channel::meeting, target(), "x", seoul(12, 9, 0, 0), std::nullopt);
    }
    EXPECT_FALSE(QFileInfo::exists(vault()));
    EXPECT_EQ(log.messages(), QStringList{"ObsidianSync.append called on .meeting channel — use writeMeeting instead"});
}

TEST_F(ObsidianSyncTest, MeetingNotesAreNamedByStampAndTitle)
{
    const QDateTime at = seoul(12, 14, 3, 27);
    LogCapture log(QStringLiteral("app.parlivox.obsidian"));
    {
        ObsidianSync sync;
        sync.writeMeeting(target(), QStringLiteral("[10:00] A: 안녕\n"), at);
        sync.writeMeeting(target(), QStringLiteral("body"), at, QStringLiteral("  Weekly sync \n"));
        sync.writeMeeting(target(), QStringLiteral("replaced"), at.addSecs(1), QStringLiteral("   "));
        sync.writeMeeting(target(), QStringLiteral("blank title"), at.addSecs(1), QStringLiteral("   "));
    }
    EXPECT_EQ(filesBelow(vault()).size(), 3) << "a second meeting in the same second replaces the first";
    const QString plain = note(QStringLiteral("Parlivox/Meetings/2025-05-12 14-03-27.md"));
    EXPECT_EQ(read(plain), QStringLiteral("---\ntitle: Meeting \u2014 2025-05-12 14-03-27\ntype: meeting\n"
                                          "created: 2025-05-12T05:03:27Z\n---\n\n"
                                          "# Meeting \u2014 2025-05-12 14-03-27\n\n[10:00] A: 안녕\n"));
    EXPECT_EQ(read(note(QStringLiteral("Parlivox/Meetings/2025-05-12 14-03-27 \u2014 Weekly sync.md"))),
              QStringLiteral("---\ntitle: Meeting \u2014 2025-05-12 14-03-27\ntype: meeting\n"
                             "created: 2025-05-12T05:03:27Z\n---\n\n# Weekly sync\n\nbody"));
    EXPECT_EQ(read(note(QStringLiteral("Parlivox/Meetings/2025-05-12 14-03-28.md"))).right(11),
              QStringLiteral("blank title"));
    EXPECT_EQ(log.messages().first(), QStringLiteral("wrote meeting → ") + plain);
}

TEST_F(ObsidianSyncTest, SubfoldersAndTitlesNeverLeaveTheVault)
{
    const QString outside = m_dir.path();
    {
        ObsidianSync sync;
        for (const QString climbing : {"..", "../escaped", "a/../../escaped", "./../escaped"}) {
            sync.append(ObsidianSync::Channel::conversation, target(climbing), "x", seoul(12, 9, 0, 0), std::nullopt);
            sync.writeMeeting(target(climbing), "x", seoul(12, 9, 0, 0));
        }
        sync.append(ObsidianSync::Channel::memory, target(outside + QStringLiteral("/abs")), "x", seoul(12, 9, 0, 0),
                    std::nullopt);
        sync.append(ObsidianSync::Channel::memory, target(QStringLiteral("Notes//./Parlivox/")), "x",
                    seoul(12, 9, 0, 0), std::nullopt);
        sync.writeMeeting(target(), "x", seoul(12, 9, 0, 0), QStringLiteral("../../../escaped"));
    }
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"vault"});
    QStringList written = filesBelow(vault());
    written.sort();
    EXPECT_EQ(written, (QStringList{
                           note("Notes/Parlivox/Memories/2025-05-12.md"),
                           note("Parlivox/Meetings/2025-05-12 09-00-00 \u2014 ..-..-..-escaped.md"),
                           vault() + outside + QStringLiteral("/abs/Memories/2025-05-12.md"),
                       }));
}

TEST_F(ObsidianSyncTest, FailedWritesAreLoggedAsFailures)
{
    // A directory where the day's note should be: the note exists but cannot be appended to.
    QDir().mkpath(note("Parlivox/Conversations/2025-05-12.md"));
    // A file where the vault should hold a folder: the folder cannot be made.
    QDir().mkpath(vault());
    FileIO::writeAtomically(note("Blocked"), "file");

    LogCapture log(QStringLiteral("app.parlivox.obsidian"));
    {
        ObsidianSync sync;
        sync.append(ObsidianSync::Channel::conversation, target(), "x", seoul(12, 9, 0, 0), std::nullopt);
        sync.append(ObsidianSync::Channel::memory, target("Blocked"), "x", seoul(12, 9, 0, 0), std::nullopt);
        sync.writeMeeting(target("Blocked"), "x", seoul(12, 9, 0, 0));
    }
    const QStringList lines = log.messages();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("write failed (conversation): ")));
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("write failed (memory): ")));
    EXPECT_TRUE(lines.at(2).startsWith(QStringLiteral("write failed (meeting): ")));
}

TEST_F(ObsidianSyncTest, ValidateChecksTheChosenFolder)
{
    const QString plainFolder = m_dir.path() + QStringLiteral("/plain");
    const QString realVault = m_dir.path() + QStringLiteral("/real");
    QDir().mkpath(plainFolder);
    QDir().mkpath(realVault + QStringLiteral("/.obsidian"));
    FileIO::writeAtomically(m_dir.path() + QStringLiteral("/file.md"), "x");

    const QList<std::pair<QString, std::optional<QString>>> cases{
        {"", QStringLiteral("Vault 경로를 선택해주세요.")},
        {" \n\t", QStringLiteral("Vault 경로를 선택해주세요.")},
        {m_dir.path() + QStringLiteral("/file.md"), QStringLiteral("Vault 경로가 존재하지 않거나 폴더가 아닙니다.")},
        {m_dir.path() + QStringLiteral("/missing"), QStringLiteral("Vault 경로가 존재하지 않거나 폴더가 아닙니다.")},
        {QStringLiteral("  ") + plainFolder,
         QStringLiteral(
             "선택한 폴더에 .obsidian 이 없습니다. Obsidian vault 루트가 맞는지 확인해주세요. (계속 진행 가능)")},
        {QStringLiteral(" ") + realVault + QStringLiteral("\n"), std::nullopt},
        // "~" is the home folder; a relative path is refused whatever it would name.
        {QStringLiteral("~/real"), std::nullopt},
        {QStringLiteral("~/plain/"),
         QStringLiteral(
             "선택한 폴더에 .obsidian 이 없습니다. Obsidian vault 루트가 맞는지 확인해주세요. (계속 진행 가능)")},
        {QStringLiteral("~/missing"), QStringLiteral("Vault 경로가 존재하지 않거나 폴더가 아닙니다.")},
        {QStringLiteral("real"), QStringLiteral("Vault 경로는 / 나 ~ 로 시작하는 전체 경로여야 합니다.")},
        {QStringLiteral("~real"), QStringLiteral("Vault 경로는 / 나 ~ 로 시작하는 전체 경로여야 합니다.")},
    };
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", m_dir.path().toLocal8Bit());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());  // where a relative "real" would be a vault
    for (const auto& [path, message] : cases)
        EXPECT_EQ(ObsidianSync::validate(path), message) << path.toStdString();
    QDir::setCurrent(previous);
    qputenv("HOME", home);
}
