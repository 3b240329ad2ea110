#include "Speech/SystemSpeechPlayer.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Speech/FakeSpeechSynthesizer.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

SpeechVoice voice(const char* id, const char* language, VoiceGender gender)
{
    return {QString::fromUtf8(id), QString::fromUtf8(id), QString::fromUtf8(language), gender};
}

const SpeechVoice kSamantha = voice("samantha", "en-US", VoiceGender::female);
const SpeechVoice kAlex = voice("alex", "en-US", VoiceGender::male);
const SpeechVoice kDaniel = voice("daniel", "en-GB", VoiceGender::male);
const SpeechVoice kKate = voice("kate", "en-GB", VoiceGender::female);
const SpeechVoice kTingTing = voice("tingting", "zh-CN", VoiceGender::female);
const SpeechVoice kLiang = voice("liang", "zh-TW", VoiceGender::male);
const SpeechVoice kYuna = voice("yuna", "ko-KR", VoiceGender::female);
const SpeechVoice kMinsu = voice("minsu", "ko-KR", VoiceGender::male);

struct Completed {
    int calls = 0;
    std::optional<SpeechPlayerError> error;
};

class SystemSpeechPlayerTest : public ::testing::Test {
protected:
    SystemSpeechPlayerTest()
    {
        auto synthesizer = std::make_unique<FakeSpeechSynthesizer>();
        synth = synthesizer.get();
        synth->installed = {kDaniel, kSamantha, kAlex, kKate, kTingTing, kLiang, kMinsu, kYuna};
        player = std::make_unique<SystemSpeechPlayer>(std::move(synthesizer), scheduler);
        player->onDiagnostic = [this](const SpeechDiag& diag) { diags.append(diag.summary()); };
    }

    SpeechPlayer::Completion recordInto(Completed& completed)
    {
        return [&completed](const std::optional<SpeechPlayerError>& error) {
            ++completed.calls;
            completed.error = error;
        };
    }

    FakeScheduler scheduler;
    FakeSpeechSynthesizer* synth = nullptr;
    std::unique_ptr<SystemSpeechPlayer> player;
    QStringList diags;
};

}  // namespace

TEST_F(SystemSpeechPlayerTest, ShortTextsWithoutASentenceMarkGetAFullStop)
{
    struct Case {
        const char* text;
        const char* locale;
        const char* spoken;
        int queuedChars;
    };
    const Case cases[] = {
        {"Hi", "en-US", "Hi.", 2},
        {"Hello there", "en-US", "Hello there", 11},
        {"안녕하세요", "ko-KR", "안녕하세요.", 5},
        {"  Hi \n", "en-US", "Hi.", 2},
        {"👩‍💻 ok", "en-US", "👩‍💻 ok.", 4},
        // Six characters are short, seven are not.
        {"Hello1", "en-US", "Hello1.", 6},
        {"Hello12", "en-US", "Hello12", 7},
        // Each sentence mark keeps a short text as it is; other punctuation does not.
        {"Hi.", "en-US", "Hi.", 3},
        {"Hi!", "en-US", "Hi!", 3},
        {"Hi?", "en-US", "Hi?", 3},
        {"Done…", "en-US", "Done…", 5},
        {"好的。", "zh-CN", "好的。", 3},
        {"좋아요！", "ko-KR", "좋아요！", 4},
        {"좋아요？", "ko-KR", "좋아요？", 4},
        {"Hi,", "en-US", "Hi,.", 3},
        {"Hi:)", "en-US", "Hi:).", 4},
    };
    for (const Case& c : cases) {
        diags.clear();
        player->speak(QString::fromUtf8(c.text), QString::fromUtf8(c.locale), [](const auto&) {});
        EXPECT_EQ(synth->current().text, QString::fromUtf8(c.spoken)) << c.text;
        ASSERT_FALSE(diags.isEmpty());
        EXPECT_TRUE(diags.first().startsWith(QStringLiteral("queued %1 chars").arg(c.queuedChars))) << c.text;
    }
}

TEST_F(SystemSpeechPlayerTest, ReportsEachStepAndEndsWhenTheSynthesizerFinishes)
{
    Completed completed;
    player->speak(QStringLiteral("Hello world."), QStringLiteral("en-US"), recordInto(completed));
    EXPECT_EQ(synth->current().voice, kSamantha);

    scheduler.advance(40ms);
    synth->reportStarted();
    scheduler.advance(1500ms);
    synth->reportFinished();
    EXPECT_EQ(completed.calls, 0) << "completions come from the event loop";
    scheduler.runDue();

    EXPECT_EQ(completed.calls, 1);
    EXPECT_FALSE(completed.error.has_value());
    EXPECT_EQ(diags, (QStringList{QStringLiteral("queued 12 chars · voice=samantha (en-US) · watchdog=3s"),
                                  QStringLiteral("started 12 chars · voice=samantha (en-US)"),
                                  QStringLiteral("finished 12 chars in 1500 ms")}));
}

TEST_F(SystemSpeechPlayerTest, WatchdogEndsAnUtteranceTheSynthesizerNeverStarts)
{
    Completed completed;
    const QString twentyKorean = QStringLiteral("오늘은 날씨가 맑고 따뜻합니다 정말요");  // 20 characters
    player->speak(twentyKorean, QStringLiteral("ko-KR"), recordInto(completed));
    EXPECT_TRUE(diags.first().endsWith(QStringLiteral("watchdog=20s")));

    scheduler.advance(19999ms);
    EXPECT_EQ(completed.calls, 0);
    EXPECT_EQ(synth->stopCount, 0);

    scheduler.advance(1ms);
    EXPECT_EQ(diags.last(), QStringLiteral("aborted (hard ceiling 20s reached) for 20 chars"));
    EXPECT_EQ(synth->stopCount, 1) << "the synthesizer is stopped";
    scheduler.runDue();
    ASSERT_EQ(completed.calls, 1);
    EXPECT_EQ(completed.error, SpeechPlayerError::timeout());

    // The late cancel report changes nothing, and the next utterance starts normally.
    synth->deliverQueuedReports();
    scheduler.runDue();
    EXPECT_EQ(completed.calls, 1);
    EXPECT_EQ(diags.last(), QStringLiteral("cancelled 20 chars after 0 ms"));
}

TEST_F(SystemSpeechPlayerTest, WatchdogAlsoEndsAnUtteranceThatStartedButNeverFinished)
{
    Completed completed;
    player->speak(QStringLiteral("Hello there"), QStringLiteral("en-US"), recordInto(completed));
    synth->reportStarted();
    scheduler.advance(3519ms);  // 11 characters: 3.52 s
    EXPECT_EQ(completed.calls, 0);
    scheduler.advance(1ms);
    scheduler.runDue();
    ASSERT_EQ(completed.calls, 1);
    EXPECT_EQ(completed.error, SpeechPlayerError::timeout());
    EXPECT_EQ(diags.last(), QStringLiteral("aborted (hard ceiling 3s reached) for 11 chars"));
}

TEST_F(SystemSpeechPlayerTest, ANewSpeakCutsTheOldOneOffWithoutEndingItself)
{
    Completed first, second;
    player->speak(QStringLiteral("First sentence here."), QStringLiteral("en-US"), recordInto(first));
    synth->reportStarted();
    player->speak(QStringLiteral("Second sentence here."), QStringLiteral("en-US"), recordInto(second));
    synth->reportStarted();
    synth->deliverQueuedReports();  // the first one's cancel arrives after the second began
    scheduler.runDue();

    EXPECT_EQ(first.calls, 1);
    EXPECT_FALSE(first.error.has_value());
    EXPECT_EQ(second.calls, 0) << "the stale cancel report must not end the new utterance";
    EXPECT_TRUE(diags.contains(QStringLiteral("cancelled 20 chars after 0 ms")));

    synth->reportFinished();
    scheduler.runDue();
    EXPECT_EQ(second.calls, 1);
    EXPECT_FALSE(second.error.has_value());
    // Nor does the first one's watchdog fire into the second.
    scheduler.advance(10s);
    EXPECT_EQ(second.calls, 1);
}

TEST_F(SystemSpeechPlayerTest, StopEndsTheCallNormallyAndDoesNothingWhenIdle)
{
    player->stop();
    EXPECT_TRUE(diags.isEmpty());
    EXPECT_EQ(synth->stopCount, 0);

    Completed completed;
    player->speak(QStringLiteral("Something to say."), QStringLiteral("en-US"), recordInto(completed));
    player->stop();
    EXPECT_EQ(completed.calls, 0) << "never from inside stop()";
    scheduler.runDue();
    EXPECT_EQ(completed.calls, 1);
    EXPECT_FALSE(completed.error.has_value());
}

TEST_F(SystemSpeechPlayerTest, EmptyTextReturnsAtOnceWithoutTheSynthesizer)
{
    Completed completed;
    player->speak(QStringLiteral(" \n\t"), QStringLiteral("en-US"), recordInto(completed));
    EXPECT_EQ(completed.calls, 0);
    scheduler.runDue();
    EXPECT_EQ(completed.calls, 1);
    EXPECT_FALSE(completed.error.has_value());
    EXPECT_TRUE(synth->spoken.empty());
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "no watchdog left behind";
}

TEST_F(SystemSpeechPlayerTest, NoVoiceForTheLocaleFailsWithoutSpeaking)
{
    Completed completed;
    player->speak(QStringLiteral("Bonjour"), QStringLiteral("xx-XX"), recordInto(completed));
    scheduler.runDue();
    ASSERT_EQ(completed.calls, 1);
    EXPECT_EQ(completed.error, SpeechPlayerError::voiceUnavailable(QStringLiteral("xx-XX")));
    EXPECT_TRUE(completed.error->description().contains(QStringLiteral("'xx-XX'")));
    EXPECT_EQ(diags, QStringList{QStringLiteral("aborted (no voice installed for locale 'xx-XX') for 7 chars")});
    EXPECT_TRUE(synth->spoken.empty());
}

TEST_F(SystemSpeechPlayerTest, PlaybackFailureEndsTheCallWithItsReason)
{
    Completed completed;
    player->speak(QStringLiteral("Hello there"), QStringLiteral("en-US"), recordInto(completed));
    synth->reportFailed(QStringLiteral("no audio output device"));
    scheduler.runDue();
    ASSERT_EQ(completed.calls, 1);
    EXPECT_EQ(completed.error, SpeechPlayerError::playbackFailed(QStringLiteral("no audio output device")));
    EXPECT_EQ(diags.last(), QStringLiteral("aborted (no audio output device) for 11 chars"));
}

TEST_F(SystemSpeechPlayerTest, ChosenVoiceWinsWhenInstalledAndFallsBackOtherwise)
{
    player->speak(QStringLiteral("Hello there"), std::nullopt, [](const auto&) {});
    EXPECT_EQ(synth->current().voice, kSamantha) << "no locale speaks en-US";

    player->setPreferredVoiceID(QStringLiteral("daniel"));
    player->speak(QStringLiteral("Hello there"), QStringLiteral("en-US"), [](const auto&) {});
    EXPECT_EQ(synth->current().voice, kDaniel);

    player->setPreferredVoiceID(QStringLiteral("removed-voice"));
    player->setPreferredGender(AvatarGender::male);
    player->speak(QStringLiteral("Hello there"), QStringLiteral("en-US"), [](const auto&) {});
    EXPECT_EQ(synth->current().voice, kAlex);

    player->setPreferredVoiceID(QString());
    player->speak(QStringLiteral("안녕하세요 반가워요"), QStringLiteral("ko-KR"), [](const auto&) {});
    EXPECT_EQ(synth->current().voice, kMinsu);
}

TEST(SystemSpeechPlayerBestVoice, PrefersExactLocaleThenLanguageThenGenderInSystemOrder)
{
    FakeSpeechSynthesizer synth;
    synth.installed = {kDaniel, kSamantha, kAlex, kKate, kTingTing, kLiang, kMinsu, kYuna};
    synth.platformDefaults.insert(QStringLiteral("yue"), kLiang);

    struct Case {
        const char* locale;
        AvatarGender gender;
        std::optional<SpeechVoice> expected;
    };
    const Case cases[] = {
        {"ko_KR", AvatarGender::female, kYuna},
        {"ko-KR", AvatarGender::male, kMinsu},
        {"en-US", AvatarGender::male, kAlex},
        {"en-US", AvatarGender::female, kSamantha},
        {"en-IN", AvatarGender::male, kDaniel},  // another English, first male in order
        {"en-IN", AvatarGender::female, kSamantha},  // first female English in order
        {"zh-HK", AvatarGender::female, kTingTing},
        {"zh-HK", AvatarGender::male, kLiang},
        {"", AvatarGender::female, kSamantha},  // every voice is a candidate
        {"", AvatarGender::male, kDaniel},
        {"EN-us", AvatarGender::female, std::nullopt},  // case-sensitive, no platform default
        {"yue", AvatarGender::female, kLiang},  // the platform's own choice
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemSpeechPlayer::bestVoice(synth, QString::fromUtf8(c.locale), c.gender), c.expected)
            << c.locale << " " << rawValue(c.gender).toStdString();
    }

    synth.installed = {kDaniel, kAlex};
    EXPECT_EQ(SystemSpeechPlayer::bestVoice(synth, QStringLiteral("en-US"), AvatarGender::female), kAlex)
        << "with only male voices the first exact one is taken";
}
