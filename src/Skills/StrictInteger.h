#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

// Whole numbers in skill arguments: an optional "+" or "-" and ASCII digits, nothing else
// (no white space, no fraction, no unit), within the 64-bit signed range. Qt's own
// conversions tolerate surrounding white space, which the skills must refuse.
namespace StrictInteger {

std::optional<std::int64_t> parse(QStringView text);

}  // namespace StrictInteger
