// Each probe switch writes its own setting, and only that one, and follows that setting.
#include "UI/Models/PerformanceProbes.h"

#include "Persistence/AppSettings.h"
#include "Support/UserDefaults.h"

#include <QJsonValue>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(PerformanceProbes, EachSwitchWritesAndStoresItsOwnSettingOnly)
{
    const char* stored[] = {"parlivox.probeStatsLoggingEnabled", "parlivox.probeTimelineRenderEnabled",
                            "parlivox.telemetryEnabled", "parlivox.probePauseSamplesAutoTrim"};
    const auto& probes = PerformanceProbes::all();
    for (std::size_t i = 0; i < probes.size(); ++i) {
        SCOPED_TRACE(probes[i].labelKey);
        QTemporaryDir directory;
        const QString file = directory.filePath(QStringLiteral("defaults.json"));
        UserDefaults defaults(file);
        AppSettings settings(defaults, AppSettings::Environment{});
        for (const PerformanceProbe& probe : probes)
            EXPECT_TRUE((settings.*probe.get)()) << "on by default";

        QSignalSpy announced(&settings, probes[i].changed);
        (settings.*probes[i].set)(false);

        EXPECT_EQ(announced.count(), 1);
        for (std::size_t j = 0; j < probes.size(); ++j)
            EXPECT_EQ((settings.*probes[j].get)(), i != j) << probes[j].labelKey;
        EXPECT_EQ(UserDefaults(file).value(QString::fromLatin1(stored[i])), QJsonValue(false));
    }
}
