#include "Platform/EspeakEngine.h"

#include "Common/QtPrinters.h"

#include <cmath>
#include <future>

#include <gtest/gtest.h>

namespace {

EspeakEngine::Rendering renderAndWait(EspeakEngine& engine, const QString& voiceID, const QString& text)
{
    std::promise<EspeakEngine::Rendering> promise;
    engine.render(voiceID, text, 0.05, 0.05,
                  [&promise](EspeakEngine::Rendering rendering) { promise.set_value(std::move(rendering)); });
    return promise.get_future().get();
}

double rms(const float* samples, std::int64_t count)
{
    double sum = 0;
    for (std::int64_t i = 0; i < count; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

const SpeechVoice* find(const QList<SpeechVoice>& voices, const QString& identifier)
{
    for (const SpeechVoice& voice : voices)
        if (voice.identifier == identifier)
            return &voice;
    return nullptr;
}

}  // namespace

TEST(EspeakEngine, ListsKoreanAndEnglishVoicesEachWithAFemaleVariant)
{
    EspeakEngine& engine = EspeakEngine::shared();
    ASSERT_TRUE(engine.startError().isEmpty()) << engine.startError().toStdString();

    const QList<SpeechVoice>& voices = engine.voices();
    const SpeechVoice* korean = find(voices, QStringLiteral("ko"));
    const SpeechVoice* koreanFemale = find(voices, QStringLiteral("ko+f3"));
    const SpeechVoice* american = find(voices, QStringLiteral("gmw/en-US"));
    ASSERT_TRUE(korean && koreanFemale && american);
    EXPECT_EQ(korean->language, QStringLiteral("ko"));
    EXPECT_EQ(korean->gender, VoiceGender::male);
    EXPECT_EQ(koreanFemale->language, QStringLiteral("ko"));
    EXPECT_EQ(koreanFemale->gender, VoiceGender::female);
    EXPECT_EQ(american->language, QStringLiteral("en-US"));
    EXPECT_EQ(voices.indexOf(*koreanFemale), voices.indexOf(*korean) + 1);
}

TEST(EspeakEngine, NormalizesLanguageTags)
{
    const std::pair<const char*, const char*> cases[] = {
        {"en-us", "en-US"},   {"en-gb-scotland", "en-GB-scotland"},
        {"en-029", "en-029"}, {"ko", "ko"},
        {"cmn", "zh-CN"},     {"yue", "zh-HK"},
        {"EN_us", "en-US"},   {"cmn-latn-pinyin", "cmn-Latn-pinyin"},
    };
    for (const auto& [tag, expected] : cases)
        EXPECT_EQ(EspeakEngine::normalizedLanguage(QString::fromUtf8(tag)), QString::fromUtf8(expected)) << tag;
}

TEST(EspeakEngine, DefaultVoiceComesFromAnyListedLanguage)
{
    EspeakEngine& engine = EspeakEngine::shared();
    const auto mandarin = engine.defaultVoice(QStringLiteral("zh-cmn"));
    ASSERT_TRUE(mandarin.has_value());
    EXPECT_EQ(mandarin->language, QStringLiteral("zh-CN"));
    EXPECT_TRUE(engine.defaultVoice(QStringLiteral("en_US")).has_value());
    EXPECT_FALSE(engine.defaultVoice(QStringLiteral("xx-XX")).has_value());
}

TEST(EspeakEngine, RendersKoreanAndEnglishSpeechToNonSilentPcm)
{
    EspeakEngine& engine = EspeakEngine::shared();
    struct Case {
        const char* voice;
        const char* text;
        double minSeconds;
        double maxSeconds;
    };
    const Case cases[] = {
        {"ko", "안녕하세요, 오늘 날씨가 참 좋네요.", 1.0, 10.0},
        {"ko+f3", "안녕하세요.", 0.4, 10.0},
        {"gmw/en-US", "Hello there, how are you today?", 1.0, 3.0},
        {"gmw/en-US+f3", "Hi.", 0.2, 3.0},
    };
    for (const Case& c : cases) {
        const auto rendering = renderAndWait(engine, QString::fromUtf8(c.voice), QString::fromUtf8(c.text));
        ASSERT_TRUE(rendering.audio) << c.voice << ": " << rendering.error.toStdString();
        const AudioBuffer& audio = *rendering.audio;
        EXPECT_EQ(audio.format(), (AudioFormat{22050, 1}));
        EXPECT_GT(audio.durationSeconds(), c.minSeconds) << c.text;
        EXPECT_LT(audio.durationSeconds(), c.maxSeconds) << c.text;
        EXPECT_GT(rms(audio.channelData(0), audio.frameCount()), 0.02) << c.text;
        const auto padding = static_cast<std::int64_t>(0.05 * 22050);
        EXPECT_EQ(rms(audio.channelData(0), padding), 0.0) << "leading silence";
        EXPECT_EQ(rms(audio.channelData(0) + audio.frameCount() - padding, padding), 0.0) << "trailing silence";
    }
}

TEST(EspeakEngine, RefusesVoicesItDidNotList)
{
    EspeakEngine& engine = EspeakEngine::shared();
    for (const char* id : {"../../../etc/passwd", "English_(America)", ""}) {
        const auto rendering = renderAndWait(engine, QString::fromUtf8(id), QStringLiteral("Hello."));
        EXPECT_FALSE(rendering.audio) << id;
        EXPECT_EQ(rendering.error, QStringLiteral("the voice '%1' is not installed").arg(QString::fromUtf8(id)));
    }
}
