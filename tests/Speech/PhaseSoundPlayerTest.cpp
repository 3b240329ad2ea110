#include "Platform/EventSoundPlayer.h"
#include "Common/QtPrinters.h"
#include "Speech/PhaseSoundPlayer.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct RecordingSounds final : EventSoundPlayer {
    QStringList played;
    void play(const QString& eventID) override { played.append(eventID); }
};

}  // namespace

TEST(PhaseSoundPlayer, PlaysOneDistinctSoundForEachAnnouncedPhase)
{
    RecordingSounds sounds;
    PhaseSoundPlayer player(sounds);
    EXPECT_TRUE(player.enabled());
    for (ConversationPhase phase : allCases<ConversationPhase>())
        player.play(phase);
    EXPECT_EQ(sounds.played, (QStringList{QStringLiteral("audio-volume-change"), QStringLiteral("message"),
                                          QStringLiteral("dialog-warning"), QStringLiteral("dialog-error")}));
}

TEST(PhaseSoundPlayer, RepeatsOverlapAndDisabledIsSilent)
{
    RecordingSounds sounds;
    PhaseSoundPlayer player(sounds);
    player.play(ConversationPhase::listening);
    player.play(ConversationPhase::listening);
    EXPECT_EQ(sounds.played.size(), 2);

    player.setEnabled(false);
    player.play(ConversationPhase::error);
    player.play(ConversationPhase::listening);
    EXPECT_EQ(sounds.played.size(), 2);
}
