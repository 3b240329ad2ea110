#include "Speech/PhaseSoundPlayer.h"
#include "Common/QtPrinters.h"
#include "Speech/EventSoundPlayer.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct RecordingSounds final : EventSoundPlayer {
    QStringList played;
    void play(const QString& eventID) override { played.append(eventID); }
};

}  // namespace

TEST(PhaseSoundPlayer, PlaysOneDistinctSoundForEachAnnouncedPhaseEveryTimeUntilDisabled)
{
    RecordingSounds sounds;
    PhaseSoundPlayer player(sounds);
    for (ConversationPhase phase : allCases<ConversationPhase>())
        player.play(phase);
    player.play(ConversationPhase::listening);  // a repeat overlaps rather than being dropped
    EXPECT_EQ(sounds.played, (QStringList{QStringLiteral("audio-volume-change"), QStringLiteral("message"),
                                          QStringLiteral("dialog-warning"), QStringLiteral("dialog-error"),
                                          QStringLiteral("audio-volume-change")}));
    player.setEnabled(false);
    player.play(ConversationPhase::error);
    player.play(ConversationPhase::listening);
    EXPECT_EQ(sounds.played.size(), 5);
}
