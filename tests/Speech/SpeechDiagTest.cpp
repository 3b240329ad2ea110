#include "Speech/SpeechDiag.h"
#include "Common/QtPrinters.h"
#include "Speech/SpeechPlayerError.h"

#include <gtest/gtest.h>

TEST(SpeechDiag, SummariesReadAsOneLine)
{
    const std::pair<SpeechDiag, const char*> cases[] = {
        {SpeechDiag::queued(12, QStringLiteral("Korean (ko)"), 10.9), "queued 12 chars · voice=Korean (ko) · watchdog=10s"},
        {SpeechDiag::queued(3, QStringLiteral("%1 odd"), 3.0), "queued 3 chars · voice=%1 odd · watchdog=3s"},
        {SpeechDiag::started(13, QStringLiteral("Korean (ko)")), "started 13 chars · voice=Korean (ko)"},
        {SpeechDiag::finished(13, 1520), "finished 13 chars in 1520 ms"},
        {SpeechDiag::cancelled(4, 0), "cancelled 4 chars after 0 ms"},
        {SpeechDiag::aborted(QStringLiteral("hard ceiling 22s reached"), 20), "aborted (hard ceiling 22s reached) for 20 chars"},
    };
    for (const auto& [diag, expected] : cases)
        EXPECT_EQ(diag.summary(), QString::fromUtf8(expected));
}

TEST(SpeechPlayerError, DescriptionsNameTheCause)
{
    EXPECT_EQ(SpeechPlayerError::timeout().description(),
              QStringLiteral("Speech watchdog timed out before the synthesizer finished."));
    EXPECT_TRUE(SpeechPlayerError::voiceUnavailable(QStringLiteral("ko-KR")).description().startsWith(
        QStringLiteral("이 시스템에 'ko-KR' 언어용 음성이 설치돼 있지 않습니다.")));
    EXPECT_EQ(SpeechPlayerError::playbackFailed(QStringLiteral("no audio output device")).description(),
              QStringLiteral("Speech could not be played: no audio output device"));
}
