#pragma once

#include <array>

class AppSettings;

// The four performance probes of the diagnostics tab: switches that each turn off one
// suspected source of slowdown in long sessions, bound to their settings. Their texts are
// a developer tool's fixed Korean, the same in every interface language.
struct PerformanceProbe {
    const char* label;
    const char* description;
    bool (AppSettings::*get)() const;
    void (AppSettings::*set)(bool);
    void (AppSettings::*changed)();
};

namespace PerformanceProbes {

// A. the stats line, B. the timeline's drawing, C. telemetry, D. pause-sample trimming.
const std::array<PerformanceProbe, 4>& all();

const char* header();
const char* hint();

}  // namespace PerformanceProbes
