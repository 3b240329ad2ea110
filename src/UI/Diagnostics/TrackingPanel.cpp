#include "UI/Diagnostics/TrackingPanel.h"

#include "Audio/AudioDeviceManager.h"
#include "Audio/AudioDeviceSource.h"
#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/AppServices.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "UI/App/AppContext.h"
#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/MicMeter.h"
#include "UI/Diagnostics/SymbolLabel.h"
#include "UI/Diagnostics/TintedLabel.h"
#include "UI/Kit/ElidedLabel.h"
#include "UI/Kit/FlowLayout.h"
#include "UI/Kit/Icons.h"
#include "UI/Models/FireReason.h"
#include "UI/Models/TrackingReadout.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr auto samplingInterval = std::chrono::seconds(1);

void display(TintedLabel& label, const TrackingReadout::Value& value)
{
    label.setValue(value.text, value.tint);
}

QString orDash(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("—") : name;
}
}  // namespace

TrackingPanel::TrackingPanel(AppContext& context, QWidget* parent)
    : RoundedPanel(context.theme, Fill::tinted, 8, false, parent), m_context(context), m_sampling(context.scheduler),
      m_micMeter(new MicMeter(context.theme, this))
{
    setObjectName(QStringLiteral("trackingPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);

    auto* metrics = new FlowLayout(10, 8);
    m_phase = addMetric(*metrics, "phaseValue", "tracking.phase");
    m_mic = addMetric(*metrics, "micValue", "tracking.mic", m_micMeter);
    m_yaw = addMetric(*metrics, "yawValue", "tracking.yaw");
    m_pitch = addMetric(*metrics, "pitchValue", "tracking.pitch");
    m_gaze = addMetric(*metrics, "gazeValue", "tracking.gaze");
    m_transcript = addMetric(*metrics, "transcriptValue", "tracking.stt_chars");
    m_spoke = addMetric(*metrics, "spokeValue", "tracking.spoke");
    m_camera = addMetric(*metrics, "cameraValue", "tracking.cam");
    m_faceProcessing = addMetric(*metrics, "faceProcessingValue", "tracking.face_proc");
    m_memory = addMetric(*metrics, "memoryValue", "tracking.rss");
    m_cpu = addMetric(*metrics, "cpuValue", "tracking.cpu");
    layout->addLayout(metrics);
    layout->addLayout(makeDevicesRow());
    layout->addLayout(makeFireBadge());

    relabel();
    refreshReadouts();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &TrackingPanel::relabel);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &TrackingPanel::refreshReadouts);
    connect(&context.settings, &AppSettings::microphoneDeviceUIDChanged, this, &TrackingPanel::refreshDevices);
    connect(&context.engine, &EngineState::phaseChanged, this, &TrackingPanel::refreshDevices);
    // The first list arrives a moment after start.
    connect(&context.services.audioDevices.source(), &AudioDeviceSource::devicesChanged, this,
            &TrackingPanel::refreshDevices);
    for (const auto changed :
         {&EngineState::phaseChanged, &EngineState::headPoseChanged, &EngineState::gazeStatusChanged,
          &EngineState::liveTranscriptChanged, &EngineState::hasStartedSpeakingChanged,
          &EngineState::faceProcessingMsChanged, &EngineState::lastFireReasonChanged, &EngineState::lastFireAtChanged})
        connect(&context.engine, changed, this, &TrackingPanel::refreshReadouts);
    connect(&context.settings, &AppSettings::cameraGazeEnabledChanged, this, &TrackingPanel::refreshReadouts);
    connect(&context.micLevel, &MicLevelMonitor::levelChanged, this, &TrackingPanel::refreshReadouts);
}

TintedLabel* TrackingPanel::caption(const char* key, const QFont& font)
{
    auto* label = new TintedLabel(m_context.theme, font, TextTint::secondary(), this);
    m_captions.append({label, key});
    return label;
}

TrackingPanel::Metric TrackingPanel::addMetric(FlowLayout& row, const char* name, const char* captionKey,
                                               QWidget* beside)
{
    const Metric metric{
        caption(captionKey, DiagnosticsFonts::text(9, QFont::Medium)),
        new TintedLabel(m_context.theme, DiagnosticsFonts::mono(11, QFont::DemiBold), TextTint::primary(), this)};
    metric.value->setObjectName(QLatin1String(name));
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(metric.caption);
    auto* value = new QHBoxLayout;
    value->setSpacing(4);
    value->addWidget(metric.value);
    if (beside)
        value->addWidget(beside);
    column->addLayout(value);
    row.addLayout(column);
    return metric;
}

QHBoxLayout* TrackingPanel::makeDevicesRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(14);
    const auto addDevice = [this, row](const char* symbol, ThemePalette::Named colour, const char* captionKey,
                                       const char* objectName) {
        auto* device = new QHBoxLayout;
        device->setSpacing(6);
        auto* icon = new SymbolLabel(m_context.theme, 12, this);
        icon->setSymbol(QLatin1String(symbol), colour);
        TintedLabel* label = caption(captionKey, DiagnosticsFonts::text(10));
        // A name cut at the panel's edge rather than widening it.
        auto* name =
            new ElidedLabel(m_context.theme, DiagnosticsFonts::mono(10), TextTint::primary(), Qt::ElideRight, this);
        name->setObjectName(QLatin1String(objectName));
        device->addWidget(icon);
        device->addWidget(label);
        device->addWidget(name, 1);
        row->addLayout(device, 1);
        return name;
    };
    m_micDevice = addDevice("mic.fill", ThemePalette::Named::green, "tracking.mic_label", "micDeviceName");
    m_speakerDevice =
        addDevice("speaker.wave.2.fill", ThemePalette::Named::blue, "tracking.out_label", "outputDeviceName");

    auto* refresh = new QToolButton(this);
    refresh->setObjectName(QStringLiteral("refreshDevicesButton"));
    refresh->setAutoRaise(true);
    refresh->setIcon(Icons::symbol(QStringLiteral("arrow.clockwise")));
    refresh->setIconSize(QSize(12, 12));
    m_refresh = refresh;
    connect(refresh, &QToolButton::clicked, this, &TrackingPanel::refreshDevices);
    row->addWidget(refresh);
    return row;
}

QHBoxLayout* TrackingPanel::makeFireBadge()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    m_fireIcon = new SymbolLabel(m_context.theme, 12, this);
    TintedLabel* fireCaption = caption("tracking.last_fire", DiagnosticsFonts::text(10, QFont::Medium));
    m_fireLabel =
        new TintedLabel(m_context.theme, DiagnosticsFonts::text(10, QFont::DemiBold), TextTint::primary(), this);
    m_fireLabel->setObjectName(QStringLiteral("fireLabel"));
    m_fireDescription =
        new ElidedLabel(m_context.theme, DiagnosticsFonts::text(10), TextTint::secondary(), Qt::ElideRight, this);
    m_fireDescription->setObjectName(QStringLiteral("fireDescription"));
    // Digits of one width, so the counting age does not jitter.
    m_fireAge = new TintedLabel(m_context.theme, DiagnosticsFonts::mono(10), TextTint::secondary(), this);
    m_fireAge->setObjectName(QStringLiteral("fireAge"));
    row->addWidget(m_fireIcon);
    row->addWidget(fireCaption);
    row->addWidget(m_fireLabel);
    row->addWidget(m_fireDescription, 1);
    row->addWidget(m_fireAge);
    return row;
}

void TrackingPanel::refreshDevices()
{
    m_micDevice->setText(
        orDash(m_context.services.audioDevices.displayInputName(m_context.settings.microphoneDeviceUID())));
    m_speakerDevice->setText(orDash(m_context.services.audioDevices.displayDefaultOutputName()));
}

void TrackingPanel::showEvent(QShowEvent* event)
{
    RoundedPanel::showEvent(event);
    refreshDevices();
    if (!m_sampling.isPending())
        sample();
}

void TrackingPanel::hideEvent(QHideEvent* event)
{
    m_sampling.cancel();
    RoundedPanel::hideEvent(event);
}

void TrackingPanel::sample()
{
    m_resources = m_context.services.systemMonitor.sample();
    refreshReadouts();
    m_sampling.start(samplingInterval, [this] { sample(); });
}

void TrackingPanel::relabel()
{
    const AppLanguage language = m_context.settings.uiLanguage();
    for (const auto& [label, key] : std::as_const(m_captions))
        label->setText(L10n::t(QLatin1String(key), language));
    m_refresh->setToolTip(L10n::t(QStringLiteral("btn.refresh"), language));
    m_refresh->setAccessibleName(m_refresh->toolTip());
}

void TrackingPanel::refreshReadouts()
{
    const EngineState& engine = m_context.engine;
    const AppLanguage language = m_context.settings.uiLanguage();
    display(*m_phase.value, TrackingReadout::phase(engine.phase(), language));
    const TrackingReadout::Meter mic = TrackingReadout::micLevel(m_context.micLevel.level());
    m_mic.value->setValue(mic.text, mic.textTint);
    m_micMeter->setLevel(mic.fraction, mic.fillTint);
    display(*m_yaw.value, TrackingReadout::angle(engine.headPose().yaw));
    display(*m_pitch.value, TrackingReadout::angle(engine.headPose().pitch));
    display(*m_gaze.value, TrackingReadout::gaze(engine.gazeStatus(), language));
    display(*m_transcript.value, TrackingReadout::transcriptLength(engine.liveTranscript()));
    display(*m_spoke.value, TrackingReadout::spoke(engine.hasStartedSpeaking(), language));
    display(*m_camera.value, TrackingReadout::camera(m_context.settings.cameraGazeEnabled(), language));
    display(*m_faceProcessing.value, TrackingReadout::faceProcessing(engine.faceProcessingMs()));
    display(*m_memory.value, TrackingReadout::memory(m_resources.memoryRSS));
    display(*m_cpu.value,
            TrackingReadout::cpu(m_resources.cpuPercent, m_resources.cpuPercentRaw, m_resources.coreCount));

    const FireReason::Badge badge = FireReason::classify(engine.lastFireReason(), language);
    m_fireIcon->setSymbol(badge.icon, badge.tint);
    m_fireLabel->setValue(badge.label, badge.tint);
    m_fireDescription->setText(badge.description);
    m_fireAge->setText(FireReason::ageText(engine.lastFireAt(), m_context.scheduler.wallTime()));
}
