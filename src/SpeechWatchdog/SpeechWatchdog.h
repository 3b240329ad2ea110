#pragma once

#include <QString>

#include <optional>

// The longest time a synthesizer may take to speak a text, so a voice that never reports
// its end cannot stall the speech queue. The chat shows the same bound under each reply.
namespace SpeechWatchdog {

// Seconds allowed for speaking `text` in `localeID`, "en-US" when none is given. The
// locale is matched by prefix, case-sensitively: "ko", "zh" and "ja" have rows of their
// own, every other locale shares one. Every character of the text counts, surrounding
// white space included, and at least one.
double timeout(const QString& text, const std::optional<QString>& localeID);

}  // namespace SpeechWatchdog
