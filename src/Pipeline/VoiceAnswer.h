#pragma once

#include <QString>

// Reads a spoken transcript as the answer to "진행할까요?". An approval must be a plain yes:
// anything that holds a negation or cancel cue is never one, and "진행…"/"확인…" count only
// alone or with a polite ending, so "진행하지 마" or "확인 안 해" never runs a skill.
namespace VoiceAnswer {

enum class Kind { none, approve, cancel };

// Answers are at most 12 characters once trimmed of white space and of the end marks
// . ! ? 。 ！ ？ …, compared in lower case.
Kind classify(const QString& transcript);

}  // namespace VoiceAnswer
