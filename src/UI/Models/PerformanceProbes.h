#pragma once

#include <array>

class AppSettings;

// The four performance probes of the diagnostics tab: switches that each turn off one
// suspected source of slowdown in long sessions, bound to their settings. Each has a title
// and a description of what it switches, as table keys.
struct PerformanceProbe {
    const char* labelKey;
    const char* descriptionKey;
    bool (AppSettings::*get)() const;
    void (AppSettings::*set)(bool);
    void (AppSettings::*changed)();
};

namespace PerformanceProbes {

// A. the stats line, B. the timeline's drawing, C. telemetry, D. pause-sample trimming.
const std::array<PerformanceProbe, 4>& all();

const char* headerKey();
const char* hintKey();

}  // namespace PerformanceProbes
