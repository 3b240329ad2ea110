#include "Pipeline/VaultMirror.h"

#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Persistence/AppSettings.h"
#include "Storage/ObsidianSync.h"
#include "Support/UserDefaults.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every note under the vault, as "<folder>/<file>: <the entry bodies>".
QStringList notes(const QString& vault)
{
    QStringList found;
    QDirIterator files(vault, {QStringLiteral("*.md")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        file.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(file.readAll());
        QStringList bodies;
        for (const QString& entry : text.split(QStringLiteral("\n## ")).mid(1))
            bodies << entry.section(QLatin1Char('\n'), 2).trimmed();
        const QString locale = text.section(QStringLiteral("locale: "), 1).section(QLatin1Char('\n'), 0, 0);
        found << QDir(vault).relativeFilePath(files.filePath()).section(QLatin1Char('/'), 0, 1) + QStringLiteral(" [") +
                     locale + QStringLiteral("]: ") + bodies.join(QStringLiteral(" | "));
    }
    found.sort();
    return found;
}

TEST(VaultMirror, EachModeWritesToItsNoteOnlyWhenItsSettingIsOnAndAVaultIsChosen)
{
    struct Case {
        const char* name;
        AppMode mode;
        bool conversations, translations, memories;
        QString vault;  // "*" for the test's vault
        QString user, reply;
        QStringList expected;
    };
    const QString turn = QStringLiteral("**나**: hi\n\n**비서**: hello");
    const QList<Case> cases = {
        {"conversation",
         AppMode::conversation,
         true,
         false,
         false,
         "*",
         "hi",
         "hello",
         {"Parlivox/Conversations [en-US]: " + turn}},
        {"brainstorm goes with conversations",
         AppMode::brainstorm,
         true,
         false,
         false,
         "*",
         "hi",
         "hello",
         {"Parlivox/Conversations [en-US]: " + turn}},
        {"counseling, setting off", AppMode::counseling, false, true, true, "*", "hi", "hello", {}},
        {"translate",
         AppMode::translate,
         false,
         true,
         false,
         "*",
         "hi",
         "hello",
         {"Parlivox/Translations [de-DE]: " + turn}},
        {"translate follows its own setting", AppMode::translate, true, false, false, "*", "hi", "hello", {}},
        {"minutes never", AppMode::minutes, true, true, false, "*", "hi", "hello", {}},
        {"blank vault", AppMode::conversation, true, true, true, "  \t", "hi", "hello", {}},
        {"no user text", AppMode::conversation, true, false, false, "*", "", "hello", {}},
        {"no reply", AppMode::conversation, true, false, false, "*", "hi", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        const QString vault = home.filePath(QStringLiteral("vault"));
        UserDefaults defaults(home.filePath(QStringLiteral("defaults.json")));
        AppSettings settings(defaults, AppSettings::Environment{});
        settings.setLocaleID(QStringLiteral("en-US"));
        settings.setTranslateSourceLocale(QStringLiteral("de-DE"));
        settings.setAppMode(c.mode);
        settings.setObsidianSyncConversations(c.conversations);
        settings.setObsidianSyncTranslations(c.translations);
        settings.setObsidianSyncMemories(c.memories);
        settings.setObsidianSubfolder(QStringLiteral(" "));
        settings.setObsidianVaultPath(c.vault == QLatin1String("*") ? vault : c.vault);
        FakeScheduler clock;
        {
            ObsidianSync sync;  // drained when it goes
            VaultMirror(settings, sync, clock).syncTurn(c.user, c.reply);
        }
        EXPECT_EQ(notes(vault), c.expected);
    }
}

TEST(VaultMirror, ARememberedNoteGoesToTheMemoriesNoteWithoutALocale)
{
    QTemporaryDir home;
    UserDefaults defaults(home.filePath(QStringLiteral("defaults.json")));
    AppSettings settings(defaults, AppSettings::Environment{});
    settings.setObsidianVaultPath(home.filePath(QStringLiteral("vault")));
    FakeScheduler clock;
    {
        ObsidianSync sync;
        VaultMirror mirror(settings, sync, clock);
        settings.setObsidianSyncMemories(false);
        mirror.syncMemory(QStringLiteral("likes tea"));
        settings.setObsidianSyncMemories(true);
        mirror.syncMemory(QStringLiteral("buy milk"));
    }
    EXPECT_EQ(notes(home.filePath(QStringLiteral("vault"))), QStringList{"Parlivox/Memories []: - buy milk"});
}

}  // namespace
