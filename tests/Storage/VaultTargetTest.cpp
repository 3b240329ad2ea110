#include "Storage/VaultTarget.h"
#include "Common/QtPrinters.h"
#include "Persistence/AppSettings.h"
#include "Support/UserDefaults.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(VaultTarget, TrimsBothAndDefaultsTheSubfolder)
{
    struct Case {
        QString vaultPath;
        QString subfolder;
        std::optional<QString> root;
        QString expectedSubfolder;
    };
    const QString home = QDir::homePath();
    const QList<Case> cases{
        {"  /home/u/Vault \n", "  ", "/home/u/Vault", "Parlivox"},
        {"/v", "\tNotes/Parlivox ", "/v", "Notes/Parlivox"},
        {" \t\n", "Sub", std::nullopt, {}},
        // "~" is the home folder, as the placeholder and a shell write it.
        {"~", "", home, "Parlivox"},
        {" ~/Notes/Vault ", "", home + "/Notes/Vault", "Parlivox"},
        // A relative path would land wherever the program was started: never written to.
        {"Notes/Vault", "", std::nullopt, {}},
        {"./Vault", "", std::nullopt, {}},
        {"~other/Vault", "", std::nullopt, {}},
        {"~Vault", "", std::nullopt, {}},
    };
    for (const Case& c : cases) {
        const auto target = VaultTarget::from(c.vaultPath, c.subfolder);
        ASSERT_EQ(target.has_value(), c.root.has_value()) << c.vaultPath.toStdString();
        if (target) {
            EXPECT_EQ(target->root, *c.root);
            EXPECT_EQ(target->subfolder, c.expectedSubfolder);
        }
    }
}

TEST(VaultTarget, ReadsTheVaultSettings)
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath("defaults.json"));
    AppSettings settings(defaults, AppSettings::Environment{});
    EXPECT_FALSE(VaultTarget::fromSettings(settings));
    settings.setObsidianVaultPath(QStringLiteral(" /v "));
    settings.setObsidianSubfolder(QStringLiteral("Sub"));
    const auto target = VaultTarget::fromSettings(settings);
    EXPECT_EQ(target->root + '|' + target->subfolder, QStringLiteral("/v|Sub"));
}
