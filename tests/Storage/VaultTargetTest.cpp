#include "Storage/VaultTarget.h"
#include "Common/QtPrinters.h"
#include "Persistence/AppSettings.h"
#include "Support/UserDefaults.h"

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
    const QList<Case> cases{
        {"  /home/u/Vault \n", "  ", "/home/u/Vault", "Parlivox"},
        {"/v", "\tNotes/Parlivox ", "/v", "Notes/Parlivox"},
        {" \t\n", "Sub", std::nullopt, {}},
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
