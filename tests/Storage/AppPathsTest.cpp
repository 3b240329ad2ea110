#include "Storage/AppPaths.h"
#include "Common/QtPrinters.h"
#include "Common/TestEnvironment.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

TEST(AppPaths, DefaultRootIsTheHiddenFolderInHome)
{
    EXPECT_EQ(AppPaths::root(), QDir::homePath() + "/.parli_vox_mac");
    EXPECT_EQ(AppPaths::history(), AppPaths::root() + "/history");
}

TEST(AppPaths, EnsureAllCreatesEveryDirectoryRepeatablyAndGoesOnPastOneItCannotCreate)
{
    for (const bool logsBlocked : {false, true}) {
        ScopedDataRoot root;
        if (logsBlocked) {
            ASSERT_TRUE(QDir().mkpath(root.path()));
            ASSERT_TRUE(FileIO::writeAtomically(AppPaths::logs(), "a file where the folder should be"));
        }
        AppPaths::ensureAll();
        AppPaths::ensureAll();
        for (const QString& dir : {AppPaths::root(), AppPaths::work(), AppPaths::history(), AppPaths::logs(),
                                   AppPaths::cache(), AppPaths::recordings(), AppPaths::minutes()})
            EXPECT_EQ(QFileInfo(dir).isDir(), !logsBlocked || dir != AppPaths::logs()) << dir.toStdString();
    }
}

TEST(AppPaths, GuardAcceptsPathsInsideTheRootEvenBeforeTheyExist)
{
    ScopedDataRoot root;
    AppPaths::ensureAll();
    const QString inside[] = {
        root.path(),
        root.path() + "/",
        root.path() + "/avatars/new.png",  // does not exist yet
        root.path() + "/a/b/../c/./d.txt",  // not existing, with dot components
        root.base() + "/../" + QFileInfo(root.base()).fileName() + "/.parli_vox_mac/history",
        root.path() + "/history/../logs",
    };
    for (const QString& path : inside)
        EXPECT_EQ(AppPaths::validate(path), std::nullopt) << path.toStdString();
}

TEST(AppPaths, GuardRefusesEscapesWithTheNormalizedPath)
{
    ScopedDataRoot root;
    AppPaths::ensureAll();
    const auto refused = AppPaths::validate(root.path() + "/../Documents");
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->path, root.base() + "/Documents");
    EXPECT_EQ(refused->description(),
              "Path '" + root.base() + "/Documents' is outside the allowed root (~/.parli_vox_mac/).");

    for (const QString& path : {root.base() + "/.parli_vox_mac2/x",  // sibling sharing the prefix
                                root.path() + "/missing/../../outside",  // climbs out through a missing folder
                                QStringLiteral("/etc/passwd"), QStringLiteral("relative/file")})
        EXPECT_TRUE(AppPaths::validate(path).has_value()) << path.toStdString();
}

TEST(AppPaths, GuardResolvesSymbolicLinksBeforeComparing)
{
    ScopedDataRoot root;
    AppPaths::ensureAll();
    ASSERT_TRUE(QDir().mkpath(root.base() + "/outside"));
    ASSERT_TRUE(QFile::link(root.base() + "/outside", root.path() + "/escape"));
    EXPECT_TRUE(AppPaths::validate(root.path() + "/escape").has_value());
    EXPECT_TRUE(AppPaths::validate(root.path() + "/escape/not-yet.png").has_value());

    // A link inside the root to another place inside it is fine.
    ASSERT_TRUE(QFile::link(AppPaths::history(), root.path() + "/hist"));
    EXPECT_EQ(AppPaths::validate(root.path() + "/hist/2026-01-01.jsonl"), std::nullopt);
    // So is the root itself reached through a link.
    ASSERT_TRUE(QFile::link(root.path(), root.base() + "/alias"));
    EXPECT_EQ(AppPaths::validate(root.base() + "/alias/logs/report.txt"), std::nullopt);
}

TEST(AppPaths, AFolderNamedWithATrailingSlashIsJudgedRightBeforeItExists)
{
    ScopedDataRoot root;
    const QString folder = root.base() + "/not-yet/";  // not created
    const std::pair<QString, bool> cases[] = {
        {root.base() + "/not-yet", true},
        {root.base() + "/not-yet/", true},
        {root.base() + "/not-yet/a/b.txt", true},
        {root.base() + "/not-yet-either/a", false},
        {root.base() + "/not-yet/../elsewhere", false},
    };
    for (const auto& [path, inside] : cases)
        EXPECT_EQ(AppPaths::isInside(path, folder), inside) << path.toStdString();
}
