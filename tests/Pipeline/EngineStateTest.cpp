#include "Pipeline/EngineState.h"

#include "Common/QtPrinters.h"

#include <QMetaProperty>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

TEST(EngineState, StartsAsTheEngineIsBeforeAnySession)
{
    const EngineState state;
    EXPECT_EQ(state.phase(), ConversationPhase::idle);
    EXPECT_FALSE(state.isEnabled());
    EXPECT_EQ(state.gazeStatus(), GazeStatus::noFace);
    EXPECT_EQ(state.lastFireReason(), QStringLiteral("\u2014"));
    EXPECT_EQ(state.errorMessage(), std::nullopt);
    EXPECT_EQ(state.pendingSkill(), std::nullopt);
}

// Every published value has a row; each change must announce its own property once, and
// setting the same value again must announce nothing (views redraw on every signal).
TEST(EngineState, EachSetterAnnouncesOnlyARealChangeOfItsOwnProperty)
{
    const QDateTime at(QDate(2026, 1, 5), QTime(9, 0), Qt::UTC);
    const auto turn = ConversationTurn::make(ConversationTurn::Role::user, QStringLiteral("안녕"), at);
    const auto skill = PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("메일 쓰기"), {});
    const struct {
        const char* property;
        std::function<void(EngineState&)> change;
    } cases[] = {
        {"phase", [](EngineState& s) { s.setPhase(ConversationPhase::listening); }},
        {"enabled", [](EngineState& s) { s.setEnabled(true); }},
        {"liveTranscript", [](EngineState& s) { s.setLiveTranscript(QStringLiteral("오늘")); }},
        {"assistantMessage", [](EngineState& s) { s.setAssistantMessage(QStringLiteral("네")); }},
        {"lastTurns", [&](EngineState& s) { s.setLastTurns({turn}); }},
        // An empty message is still a message: the banner shows.
        {"errorMessage", [](EngineState& s) { s.setErrorMessage(QString()); }},
        {"pendingSkill", [&](EngineState& s) { s.setPendingSkill(skill); }},
        {"cameraActive", [](EngineState& s) { s.setCameraActive(true); }},
        {"gazeStatus", [](EngineState& s) { s.setGazeStatus(GazeStatus::lookingAway); }},
        // A turn of the roll alone is a change too.
        {"headPose",
         [](EngineState& s) {
             s.setHeadPose(HeadPose{0.0, 0.0, 0.2});
         }},
        {"faceProcessingMs", [](EngineState& s) { s.setFaceProcessingMs(4.5); }},
        {"lastFireReason", [](EngineState& s) { s.setLastFireReason(QStringLiteral("silence")); }},
        {"lastFireAt", [&](EngineState& s) { s.setLastFireAt(at); }},
        {"hasStartedSpeaking", [](EngineState& s) { s.setHasStartedSpeaking(true); }},
        {"firstMicActivityAt", [&](EngineState& s) { s.setFirstMicActivityAt(at); }},
        {"currentRecordingURL",
         [](EngineState& s) { s.setCurrentRecordingURL(QUrl::fromLocalFile(QStringLiteral("meeting.caf"))); }},
    };
    const QMetaObject& meta = EngineState::staticMetaObject;
    ASSERT_EQ(int(std::size(cases)), meta.propertyCount() - meta.propertyOffset());

    for (const auto& c : cases) {
        SCOPED_TRACE(c.property);
        ASSERT_GE(meta.indexOfProperty(c.property), meta.propertyOffset());
        EngineState state;
        std::vector<std::pair<QByteArray, std::unique_ptr<QSignalSpy>>> spies;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
            const QMetaProperty property = meta.property(i);
            EXPECT_EQ(property.notifySignal().name(), QByteArray(property.name()) + "Changed");
            spies.emplace_back(property.name(), std::make_unique<QSignalSpy>(&state, property.notifySignal()));
        }

        c.change(state);
        c.change(state);

        for (const auto& [name, spy] : spies)
            EXPECT_EQ(spy->count(), name == c.property ? 1 : 0) << name.constData();
    }
}
