#pragma once

#include "Support/RawEnum.h"

// The six log severities, mildest first. The raw values are the severity texts of the
// upload format.
enum class RozeSeverity { trace, debug, info, warn, error, fatal };

template <>
struct RawEnumTraits<RozeSeverity> {
    static constexpr std::array<RawCase<RozeSeverity>, 6> cases{{
        {RozeSeverity::trace, "TRACE"},
        {RozeSeverity::debug, "DEBUG"},
        {RozeSeverity::info, "INFO"},
        {RozeSeverity::warn, "WARN"},
        {RozeSeverity::error, "ERROR"},
        {RozeSeverity::fatal, "FATAL"},
    }};
};

// The first number of each severity's range in the upload format: 1, 5, 9, 13, 17, 21.
constexpr int severityNumber(RozeSeverity severity)
{
    return 1 + 4 * static_cast<int>(severity);
}
