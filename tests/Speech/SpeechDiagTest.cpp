#include "Speech/SpeechDiag.h"
#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

// The other summaries are checked where the player writes them.
TEST(SpeechDiag, QueuedSummaryTruncatesTheWatchdogAndKeepsTheVoiceNameLiteral)
{
    const std::pair<SpeechDiag, const char*> cases[] = {
        {SpeechDiag::queued(12, QStringLiteral("Korean (ko)"), 10.9),
         "queued 12 chars · voice=Korean (ko) · watchdog=10s"},
        {SpeechDiag::queued(3, QStringLiteral("%1 odd"), 3.0), "queued 3 chars · voice=%1 odd · watchdog=3s"},
    };
    for (const auto& [diag, expected] : cases)
        EXPECT_EQ(diag.summary(), QString::fromUtf8(expected));
}
