#include "UI/Models/PerformanceProbes.h"

#include "Persistence/AppSettings.h"

namespace PerformanceProbes {

const std::array<PerformanceProbe, 4>& all()
{
    static const std::array<PerformanceProbe, 4> probes{{
        {"A. 0.5초 stats 로그 기록", "PipelineLog 200-entry 링에 매 tick removeFirst 가 누적 비용을 만드는지 검증",
         &AppSettings::probeStatsLoggingEnabled, &AppSettings::setProbeStatsLoggingEnabled,
         &AppSettings::probeStatsLoggingEnabledChanged},
        {"B. Timeline 화면 렌더", "LazyVStack 200 row diff 가 SwiftUI 재계산 부담을 키우는지 검증 (로그 수집은 유지)",
         &AppSettings::probeTimelineRenderEnabled, &AppSettings::setProbeTimelineRenderEnabled,
         &AppSettings::probeTimelineRenderEnabledChanged},
        {"C. Roze 텔레메트리", "log.record 마다 호출되는 forwardSink + SDK 내부 큐 적체가 원인인지 검증",
         &AppSettings::telemetryEnabled, &AppSettings::setTelemetryEnabled, &AppSettings::telemetryEnabledChanged},
        {"D. pauseSamples 자동 정리", "AdaptiveTurnDetector 의 pauseSamplesMs 가 reset 없이 무한 자라는지 검증",
         &AppSettings::probePauseSamplesAutoTrim, &AppSettings::setProbePauseSamplesAutoTrim,
         &AppSettings::probePauseSamplesAutoTrimChanged},
    }};
    return probes;
}

const char* header()
{
    return "성능 진단 토글 (4개)";
}

const char* hint()
{
    return "앱이 시간이 지나면 느려진다고 느껴질 때, 4개를 하나씩 OFF 해보고 [longrun] 라인의 cpu/rss 추세를 "
           "비교하세요. 기본값은 모두 ON (현재 동작).";
}

}  // namespace PerformanceProbes
