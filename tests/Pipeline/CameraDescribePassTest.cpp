// The camera describe pass through the whole engine, with a scripted camera.
#include "Common/QtPrinters.h"
#include "EngineHarness.h"

#include "Pipeline/CameraDescribePass.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Phase = ConversationPhase;

namespace {

const QString kDescribe = QStringLiteral("{\"skill\":\"camera.describe\",\"args\":{}}");

// The latest backend call answers with this text, the whole of it at once.
void replyWith(EngineHarness& h, const QString& text)
{
    const std::size_t calls = h.backend.calls.size();
    ASSERT_TRUE(h.settle([&] { return !h.backend.stream.isNull(); }));
    h.backend.stream->push(text);
    h.backend.stream->finish();
    ASSERT_TRUE(h.settle([&] { return h.backend.stream.isNull() || h.backend.calls.size() > calls; }));
}

// Asks, and lets the model call the camera.
void askToLook(EngineHarness& h, const QString& question)
{
    h.clockIn();
    h.engine->submitTextTurn(question);
    replyWith(h, kDescribe);
}

void showTheStill(EngineHarness& h)
{
    ASSERT_TRUE(h.settle([&] { return h.showFrame(); }));
}

TEST(CameraDescribePass, TheStillGoesToASecondQuestionWithoutToolsAndItsAnswerIsKept)
{
    EngineHarness h(EngineHarness::Camera::scripted);
    h.settings.setLocaleID(QStringLiteral("en-US"));
    askToLook(h, QStringLiteral("what is on my desk"));
    showTheStill(h);
    ASSERT_TRUE(h.settle([&] { return h.backend.calls.size() == 2; }));
    EXPECT_EQ(h.lines("skill"),
              QStringList({"→ camera.describe (Describe the camera view)", "camera.describe — capturing still frame",
                           "camera.describe — frame saved, running second LLM pass"}));
    const QString still = CameraDescribePass::stillPath();
    EXPECT_EQ(h.backend.calls[1].transcript,
              QStringLiteral("what is on my desk\n\n[사용자가 카메라/화면에 보이는 것을 물었습니다. 아래 이미지를 보고 "
                             "자연스럽게 답하세요.]\n@") +
                  still);
    EXPECT_EQ(h.backend.calls[1].localeID, "en-US");
    EXPECT_EQ(QImage(still).size(), QSize(320, 240));
    // The camera was off before the pass and is off after it.
    EXPECT_TRUE(h.settle([&] {
        std::lock_guard lock(h.camera.mutex);
        return !h.camera.handler;
    }));

    h.answer(QStringLiteral("A laptop and a cup of tea."));
    h.speakAll();
    EXPECT_EQ(h.phase(), Phase::listening);
    const QList<ConversationTurn> turns = h.engine->state().lastTurns();
    ASSERT_EQ(turns.size(), 2);
    EXPECT_EQ(turns[1].text, "A laptop and a cup of tea.");
    EXPECT_EQ(CameraDescribePass::secondQuestion({}, "/x.png").section('\n', 0, 0), "지금 카메라에 뭐가 보여?");
}

TEST(CameraDescribePass, AFailedCaptureIsSaidAStopCallsThePassOffAndANestedCallIsRefused)
{
    // Said by the voice, so in its language.
    for (const auto& [locale, said] :
         {std::pair{"ko-KR", "카메라 화면을 가져오지 못했어요. 카메라 권한이 켜져 있는지 확인해 주세요."},
          std::pair{"en-US", "I couldn't get a picture from the camera. Check that camera access is allowed."}}) {
        SCOPED_TRACE(std::string("no camera, ") + locale);
        EngineHarness h(EngineHarness::Camera::scripted);
        h.settings.setUiLanguage(AppLanguage::korean);
        h.settings.setLocaleID(QString::fromLatin1(locale));
        h.camera.failure = CameraError{CameraError::Kind::noDevice, {}};
        askToLook(h, QStringLiteral("look at this"));
        ASSERT_TRUE(h.settle([&] { return !h.player.calls.empty(); }));
        EXPECT_EQ(h.player.calls.back().text, QString::fromUtf8(said));
        EXPECT_EQ(h.engine->state().lastTurns().last().text, QString::fromUtf8(said));
        EXPECT_EQ(h.lines("error"), QStringList{"camera.describe — could not capture a frame"});
        h.speakAll();
        EXPECT_EQ(h.phase(), Phase::listening);
    }
    {
        SCOPED_TRACE("stopped while the camera starts");
        EngineHarness h(EngineHarness::Camera::scripted);
        askToLook(h, QStringLiteral("look at this"));
        h.engine->stopSpeaking();
        showTheStill(h);
        ASSERT_TRUE(h.settle([&] { return h.lines("skill").last().contains("stopped"); }));
        EXPECT_EQ(h.lines("skill").last(), "camera.describe — stopped before the second pass");
        EXPECT_EQ(h.backend.calls.size(), 1u);
        EXPECT_TRUE(h.player.calls.empty());
        EXPECT_EQ(h.phase(), Phase::listening);
    }
    {
        SCOPED_TRACE("asked again by the second reply");
        EngineHarness h(EngineHarness::Camera::scripted);
        askToLook(h, QStringLiteral("look at this"));
        showTheStill(h);
        ASSERT_TRUE(h.settle([&] { return h.backend.calls.size() == 2; }));
        replyWith(h, kDescribe);
        EXPECT_EQ(h.lines("skill").last(), "camera.describe — refused inside a describe pass");
        EXPECT_EQ(h.phase(), Phase::listening);
        h.scheduler.advance(5s);
        EXPECT_EQ(h.backend.calls.size(), 2u);
    }
}

}  // namespace
