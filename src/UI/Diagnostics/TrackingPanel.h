#pragma once

#include "Diagnostics/SystemMonitor.h"
#include "Support/Scheduler.h"
#include "UI/Diagnostics/RoundedPanel.h"

class ElidedLabel;
class FlowLayout;
class MicMeter;
class QHBoxLayout;
class QToolButton;
class SymbolLabel;
class TintedLabel;
struct AppContext;

// The live read-out at the top of the diagnostics tab: the engine's phase, the microphone
// level, head pose and gaze, the live transcript's length, whether the user has spoken,
// camera gaze, face-tracking time, the process's memory and CPU, the device names, and why
// and how long ago the end-of-turn detector last fired. While shown it samples the process's
// resources once a second on the scheduler; hidden, it samples nothing. In a narrow window the
// read-outs that do not fit move to a line below, and long names are cut, whole on hover.
class TrackingPanel final : public RoundedPanel {
    Q_OBJECT
public:
    explicit TrackingPanel(AppContext& context, QWidget* parent = nullptr);

    // Reads the microphone and output device names again.
    void refreshDevices();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Metric {
        TintedLabel* caption;
        TintedLabel* value;
    };
    // A column of a caption above a value (named `name`), with `beside` next to the value.
    Metric addMetric(FlowLayout& row, const char* name, const char* captionKey, QWidget* beside = nullptr);
    // A label whose text is the key's, relabelled with the interface language.
    TintedLabel* caption(const char* key, const QFont& font);
    QHBoxLayout* makeDevicesRow();
    QHBoxLayout* makeFireBadge();
    void relabel();
    void refreshReadouts();
    void sample();

    AppContext& m_context;
    QList<std::pair<TintedLabel*, const char*>> m_captions;
    SingleShot m_sampling;
    SystemMonitor::Reading m_resources;

    MicMeter* m_micMeter;
    Metric m_phase;
    Metric m_mic;
    Metric m_yaw;
    Metric m_pitch;
    Metric m_gaze;
    Metric m_transcript;
    Metric m_spoke;
    Metric m_camera;
    Metric m_faceProcessing;
    Metric m_memory;
    Metric m_cpu;
    ElidedLabel* m_micDevice;
    ElidedLabel* m_speakerDevice;
    SymbolLabel* m_fireIcon;
    TintedLabel* m_fireLabel;
    ElidedLabel* m_fireDescription;
    TintedLabel* m_fireAge;
    QToolButton* m_refresh = nullptr;
};
