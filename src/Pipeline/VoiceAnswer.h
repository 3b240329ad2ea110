#pragma once

#include <QString>

// Reads a spoken transcript as the answer to "진행할까요?": a word of the approve or cancel
// list, or an answer starting with "진행" or "확인" (approve) or with "취소" or "그만"
// (cancel). An answer that holds a negation ("진행하지 마", "확인 안 했어", "don't") is never
// an approval.
namespace VoiceAnswer {

enum class Kind { none, approve, cancel };

// Answers are at most 12 characters once trimmed of white space and of the end marks
// . ! ? 。 ！ ？ …, compared in lower case.
Kind classify(const QString& transcript);

}  // namespace VoiceAnswer
