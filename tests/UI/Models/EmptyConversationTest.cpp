// What an empty conversation invites the user to do, in every state the talk tab can be in.
#include "UI/Models/EmptyConversation.h"

#include "Common/QtPrinters.h"
#include "Persistence/AppLanguage.h"
#include "Persistence/L10n.h"
#include "UI/Models/WorkState.h"

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;
}

TEST(EmptyConversation, TheHintFollowsClockRestAndAFailedStart)
{
    const struct {
        bool clockedIn, resting;
        Phase phase;
        bool canType;
        const char* key;
    } cases[] = {
        {false, false, Phase::idle, true, "chat.empty"},
        {false, false, Phase::idle, false, "chat.empty"},
        {true, false, Phase::idle, true, "chat.empty_speak_or_type"},  // starting
        {true, false, Phase::listening, true, "chat.empty_speak_or_type"},
        {true, false, Phase::listening, false, "chat.empty_speak"},
        {true, false, Phase::thinking, true, "chat.empty_speak_or_type"},
        {true, false, Phase::error, true, "chat.empty_failed"},
        {true, false, Phase::error, false, "chat.empty_failed"},
        {true, true, Phase::listening, true, "chat.empty_resting"},
        {true, true, Phase::speaking, false, "chat.empty_resting"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EmptyConversation::hintKey(c.clockedIn, c.resting, c.phase, c.canType), QString::fromLatin1(c.key))
            << c.key;
}

// Whatever the state, the hint names a work-state button only while that button is enabled,
// and invites typing only where there is a composer.
TEST(EmptyConversation, TheHintNeverInvitesWhatIsDisabled)
{
    const L10n::Table& english = L10n::builtInTable(AppLanguage::english);
    for (const bool clockedIn : {false, true}) {
        for (const bool resting : {false, true}) {
            if (resting && !clockedIn)
                continue;  // a rest ends with the session
            for (const Phase phase : allCases<Phase>()) {
                for (const bool canType : {false, true}) {
                    const QString hint = english.value(EmptyConversation::hintKey(clockedIn, resting, phase, canType));
                    SCOPED_TRACE(hint.toStdString());
                    const WorkState work = WorkState::of(clockedIn, resting);
                    if (hint.contains(english.value("btn.start"))) {
                        EXPECT_TRUE(work.clockIn.enabled);
                    }
                    if (hint.contains(english.value("btn.stop"))) {
                        EXPECT_TRUE(work.clockOut.enabled);
                    }
                    if (hint.contains(QStringLiteral("type"))) {
                        EXPECT_TRUE(canType);
                    }
                }
            }
        }
    }
}
