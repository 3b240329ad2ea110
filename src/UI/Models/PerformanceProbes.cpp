#include "UI/Models/PerformanceProbes.h"

#include "Persistence/AppSettings.h"

namespace PerformanceProbes {

const std::array<PerformanceProbe, 4>& all()
{
    static const std::array<PerformanceProbe, 4> probes{{
        {"probe.stats", "probe.stats_help", &AppSettings::probeStatsLoggingEnabled,
         &AppSettings::setProbeStatsLoggingEnabled, &AppSettings::probeStatsLoggingEnabledChanged},
        {"probe.timeline", "probe.timeline_help", &AppSettings::probeTimelineRenderEnabled,
         &AppSettings::setProbeTimelineRenderEnabled, &AppSettings::probeTimelineRenderEnabledChanged},
        {"probe.telemetry", "probe.telemetry_help", &AppSettings::telemetryEnabled, &AppSettings::setTelemetryEnabled,
         &AppSettings::telemetryEnabledChanged},
        {"probe.pause_trim", "probe.pause_trim_help", &AppSettings::probePauseSamplesAutoTrim,
         &AppSettings::setProbePauseSamplesAutoTrim, &AppSettings::probePauseSamplesAutoTrimChanged},
    }};
    return probes;
}

const char* headerKey()
{
    return "probe.header";
}

const char* hintKey()
{
    return "probe.hint";
}

}  // namespace PerformanceProbes
