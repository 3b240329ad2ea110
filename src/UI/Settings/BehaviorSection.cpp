#include "UI/Settings/BehaviorSection.h"

#include "Persistence/AppSettings.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/SettingBinding.h"

#include <QCheckBox>

BehaviorSection::BehaviorSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("behaviorSection"), parent)
{
    using S = AppSettings;
    S& settings = context.settings;
    setTitle(QStringLiteral("settings.section.behavior"));
    const auto toggle = [this](const char* name, const char* key) {
        const QString base = QStringLiteral("settings.") + QLatin1String(key);
        return addToggle(QLatin1String(name), base, base + QStringLiteral("_help"));
    };

    QCheckBox* gaze = toggle("cameraGazeToggle", "camera_gaze");
    SettingBinding::toggle(*gaze, settings, &S::cameraGazeEnabled, &S::setCameraGazeEnabled,
                           &S::cameraGazeEnabledChanged);
    QCheckBox* grayscale = toggle("grayscaleToggle", "camera_grayscale");
    SettingBinding::toggle(*grayscale, settings, &S::cameraGrayscaleProcessing, &S::setCameraGrayscaleProcessing,
                           &S::cameraGrayscaleProcessingChanged);
    SettingBinding::follow(*grayscale, settings, &S::cameraGazeEnabledChanged,
                           [grayscale, &settings] { grayscale->setEnabled(settings.cameraGazeEnabled()); });
    SettingBinding::toggle(*toggle("phaseSoundsToggle", "phase_sounds"), settings, &S::phaseSoundsEnabled,
                           &S::setPhaseSoundsEnabled, &S::phaseSoundsEnabledChanged);
    SettingBinding::toggle(*toggle("rightAltToggle", "right_option_interrupt"), settings,
                           &S::rightOptionInterruptEnabled, &S::setRightOptionInterruptEnabled,
                           &S::rightOptionInterruptEnabledChanged);
    SettingBinding::toggle(*toggle("bargeInToggle", "barge_in"), settings, &S::bargeInEnabled, &S::setBargeInEnabled,
                           &S::bargeInEnabledChanged);
    SettingBinding::toggle(*toggle("diagnosticsLoggingToggle", "diagnostics_logging"), settings,
                           &S::diagnosticsLoggingEnabled, &S::setDiagnosticsLoggingEnabled,
                           &S::diagnosticsLoggingEnabledChanged);
}
