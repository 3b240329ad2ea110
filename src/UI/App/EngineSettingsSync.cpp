#include "UI/App/EngineSettingsSync.h"

#include "Persistence/AppSettings.h"
#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"

#include <functional>
#include <memory>
#include <type_traits>

template <typename Getter, typename Signal, typename Action>
void EngineSettingsSync::watch(Getter get, Signal changed, Action act)
{
    using Value = std::decay_t<std::invoke_result_t<Getter, const AppSettings&>>;
    auto last = std::make_shared<Value>(std::invoke(get, m_settings));
    connect(&m_settings, changed, this, [this, get, act, last] {
        Value now = std::invoke(get, m_settings);
        if (now == *last)
            return;
        *last = now;
        act(now);
    });
}

EngineSettingsSync::EngineSettingsSync(const AppSettings& settings, const EngineState& engine, EngineCommands& commands,
                                       QObject* parent)
    : QObject(parent), m_settings(settings)
{
    const auto reapply = [&commands](const auto&) { commands.applySettings(); };
    using S = AppSettings;
    watch(&S::localeID, &S::localeIDChanged, reapply);
    watch(&S::translateTargetLocale, &S::translateTargetLocaleChanged, reapply);
    watch(&S::avatarGender, &S::avatarGenderChanged, reapply);
    watch(&S::selectedVoiceID, &S::selectedVoiceIDChanged, reapply);
    watch(&S::phaseSoundsEnabled, &S::phaseSoundsEnabledChanged, reapply);
    watch(&S::cameraGrayscaleProcessing, &S::cameraGrayscaleProcessingChanged, reapply);
    watch(&S::diagnosticsLoggingEnabled, &S::diagnosticsLoggingEnabledChanged, reapply);
    watch(&S::telemetryEnabled, &S::telemetryEnabledChanged, reapply);
    watch(&S::cameraGazeEnabled, &S::cameraGazeEnabledChanged, [&commands](bool on) { commands.setCameraGaze(on); });
    watch(&S::appMode, &S::appModeChanged, [&engine, &commands](AppMode) {
        if (engine.isEnabled())
            commands.applyAppModeChange();
        else
            commands.setEnabled(true);
    });
}
