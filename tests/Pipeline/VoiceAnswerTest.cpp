#include "Pipeline/VoiceAnswer.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

TEST(VoiceAnswer, ApprovesOnlyAPlainYes)
{
    using Kind = VoiceAnswer::Kind;
    const struct {
        const char* transcript;
        Kind kind;
    } cases[] = {
        {"OK!", Kind::approve},
        {" 네. ", Kind::approve},
        {"진행해주세요", Kind::approve},
        {"확인 할게", Kind::approve},
        {"…Yes?", Kind::approve},
        {"그만해요", Kind::cancel},
        {"취소", Kind::cancel},
        {"Nope", Kind::cancel},
        {"하지마", Kind::cancel},
        // A negation or a cancel cue is never a yes.
        {"진행하지 마", Kind::none},
        {"진행하지마", Kind::none},
        {"확인 안 해", Kind::none},
        {"진행 말아", Kind::none},
        {"진행 취소", Kind::none},
        {"진행 아니", Kind::none},
        {"확인 no", Kind::none},
        {"진행 not", Kind::none},
        {"진행 don't", Kind::none},
        {"진행 stop", Kind::none},
        // A prefix counts only alone or with a polite ending.
        {"진행했어", Kind::none},
        {"확인해봐", Kind::none},
        {"yes please do it now", Kind::none},
        {"", Kind::none},
        {"?!", Kind::none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.transcript);
        EXPECT_EQ(VoiceAnswer::classify(QString::fromUtf8(c.transcript)), c.kind);
    }
}
