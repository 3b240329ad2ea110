#include "Pipeline/VoiceAnswer.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

TEST(VoiceAnswer, TakesEveryListedAnswerAndNeverANegationAsAYes)
{
    using Kind = VoiceAnswer::Kind;
    const struct {
        Kind kind;
        std::vector<const char*> transcripts;
    } cases[] = {
        // Every word of the two lists as said.
        {Kind::approve, {"진행", "진행해", "진행해줘", "진행하자", "해",   "해줘", "응",   "네",  "예", "그래",
                         "맞아", "확인",   "오케이",   "ok",       "okay", "yes",  "yeah", "yep", "go", "sure"}},
        {Kind::cancel,
         {"취소", "취소해", "취소해줘", "취소하자", "그만", "그만해", "아니", "아니야", "하지마", "관둬", "no", "nope",
          "cancel", "stop", "abort"}},
        // Case, white space and end marks do not count; the prefixes take any ending.
        {Kind::approve, {"OK!", " 네. ", "…Yes?", "확인했어", "진행했어", "확인해봐", "진행해주세요", "확인 할게"}},
        {Kind::cancel, {"그만해요", "취소할래요!"}},
        // A negation is never a yes; longer than an answer, or empty, is none.
        {Kind::none,
         {"진행하지 마", "진행하지마", "진행하지 말고", "확인 안 해", "확인안했어", "진행 안돼", "확인 못 했어",
          "진행 않을래", "진행 싫어", "진행 말아", "진행 취소", "진행 아니", "확인 no", "진행 not yet", "진행 don’t",
          "진행 stop", "don't send it"}},
        {Kind::none, {"yes please do it now", "확인했어 그런데 하나만 더", "", "?!", "noted"}},
    };
    for (const auto& c : cases) {
        for (const char* transcript : c.transcripts)
            EXPECT_EQ(VoiceAnswer::classify(QString::fromUtf8(transcript)), c.kind) << transcript;
    }
}
