#include "Pipeline/VoiceAnswer.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

TEST(VoiceAnswer, TakesEveryListedAnswerAndNeverANegationAsAYes)
{
    using Kind = VoiceAnswer::Kind;
    const struct {
        const char* transcript;
        Kind kind;
    } cases[] = {
        // The approve list, each word as said.
        {"진행", Kind::approve},
        {"진행해", Kind::approve},
        {"진행해줘", Kind::approve},
        {"진행하자", Kind::approve},
        {"해", Kind::approve},
        {"해줘", Kind::approve},
        {"응", Kind::approve},
        {"네", Kind::approve},
        {"예", Kind::approve},
        {"그래", Kind::approve},
        {"맞아", Kind::approve},
        {"확인", Kind::approve},
        {"오케이", Kind::approve},
        {"ok", Kind::approve},
        {"okay", Kind::approve},
        {"yes", Kind::approve},
        {"yeah", Kind::approve},
        {"yep", Kind::approve},
        {"go", Kind::approve},
        {"sure", Kind::approve},
        // The cancel list.
        {"취소", Kind::cancel},
        {"취소해", Kind::cancel},
        {"취소해줘", Kind::cancel},
        {"취소하자", Kind::cancel},
        {"그만", Kind::cancel},
        {"그만해", Kind::cancel},
        {"아니", Kind::cancel},
        {"아니야", Kind::cancel},
        {"하지마", Kind::cancel},
        {"관둬", Kind::cancel},
        {"no", Kind::cancel},
        {"nope", Kind::cancel},
        {"cancel", Kind::cancel},
        {"stop", Kind::cancel},
        {"abort", Kind::cancel},
        // Case, white space and end marks do not count; the prefixes take any ending.
        {"OK!", Kind::approve},
        {" 네. ", Kind::approve},
        {"…Yes?", Kind::approve},
        {"확인했어", Kind::approve},
        {"진행했어", Kind::approve},
        {"확인해봐", Kind::approve},
        {"진행해주세요", Kind::approve},
        {"확인 할게", Kind::approve},
        {"그만해요", Kind::cancel},
        {"취소할래요!", Kind::cancel},
        // A negation is never a yes.
        {"진행하지 마", Kind::none},
        {"진행하지마", Kind::none},
        {"진행하지 말고", Kind::none},
        {"확인 안 해", Kind::none},
        {"확인안했어", Kind::none},
        {"진행 안돼", Kind::none},
        {"확인 못 했어", Kind::none},
        {"진행 않을래", Kind::none},
        {"진행 싫어", Kind::none},
        {"진행 말아", Kind::none},
        {"진행 취소", Kind::none},
        {"진행 아니", Kind::none},
        {"확인 no", Kind::none},
        {"진행 not yet", Kind::none},
        {"진행 don’t", Kind::none},
        {"진행 stop", Kind::none},
        {"don't send it", Kind::none},
        // Longer than an answer, or empty.
        {"yes please do it now", Kind::none},
        {"확인했어 그런데 하나만 더", Kind::none},
        {"", Kind::none},
        {"?!", Kind::none},
        {"noted", Kind::none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.transcript);
        EXPECT_EQ(VoiceAnswer::classify(QString::fromUtf8(c.transcript)), c.kind);
    }
}
