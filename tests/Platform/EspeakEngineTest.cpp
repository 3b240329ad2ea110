#include "Platform/EspeakEngine.h"

#include "Common/QtPrinters.h"

#include <cmath>
#include <future>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Rendering {
    std::vector<AudioBufferPtr> pieces;
    std::vector<float> samples;  // the pieces joined
    QString error;
};

// Renders and joins the pieces; `stopAfter` pieces, the sink asks to stop.
Rendering renderAndWait(EspeakEngine& engine, const QString& voiceID, const QString& text, std::size_t stopAfter = 0)
{
    Rendering rendering;
    std::promise<QString> done;
    engine.render(
        voiceID, text, 0.05, 0.05,
        [&](AudioBufferPtr piece) {
            rendering.samples.insert(rendering.samples.end(), piece->channelData(0),
                                     piece->channelData(0) + piece->frameCount());
            rendering.pieces.push_back(std::move(piece));
            return rendering.pieces.size() != stopAfter;
        },
        [&](const QString& error) { done.set_value(error); });
    rendering.error = done.get_future().get();
    return rendering;
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
        const Rendering rendering = renderAndWait(engine, QString::fromUtf8(c.voice), QString::fromUtf8(c.text));
        ASSERT_TRUE(rendering.error.isEmpty()) << c.voice << ": " << rendering.error.toStdString();
        ASSERT_GT(rendering.pieces.size(), 2U) << "handed over as rendered, not as one block";
        std::int64_t position = 0;
        for (const AudioBufferPtr& piece : rendering.pieces) {
            EXPECT_EQ(piece->format(), (AudioFormat{22050, 1}));
            EXPECT_EQ(piece->framePosition(), position);
            position += piece->frameCount();
        }
        const double seconds = double(rendering.samples.size()) / 22050;
        EXPECT_GT(seconds, c.minSeconds) << c.text;
        EXPECT_LT(seconds, c.maxSeconds) << c.text;
        const float* samples = rendering.samples.data();
        const auto count = std::int64_t(rendering.samples.size());
        EXPECT_GT(rms(samples, count), 0.02) << c.text;
        const auto padding = static_cast<std::int64_t>(0.05 * 22050);
        EXPECT_EQ(rms(samples, padding), 0.0) << "leading silence";
        const auto voiced = std::find_if(samples, samples + count, [](float sample) { return sample != 0.0f; });
        EXPECT_EQ(voiced - samples, std::lround(0.05 * 22050)) << "espeak-ng's own pause is cut";
        EXPECT_GT(
            rms(rendering.pieces.front()->channelData(0) + padding, rendering.pieces.front()->frameCount() - padding),
            0.0)
            << "the first piece carries speech";
        EXPECT_EQ(rms(samples + count - padding, padding), 0.0) << "trailing silence";
    }
}

TEST(EspeakEngine, ASinkThatSaysStopEndsTheRenderThere)
{
    const Rendering rendering =
        renderAndWait(EspeakEngine::shared(), QStringLiteral("gmw/en-US"),
                      QStringLiteral("This long sentence is cut off after its second piece."), 2);
    EXPECT_EQ(rendering.pieces.size(), 2U);
    EXPECT_TRUE(rendering.error.isEmpty()) << "stopping is no failure";
}

TEST(EspeakEngine, RefusesVoicesItDidNotList)
{
    EspeakEngine& engine = EspeakEngine::shared();
    for (const char* id : {"../../../etc/passwd", "English_(America)", ""}) {
        const Rendering rendering = renderAndWait(engine, QString::fromUtf8(id), QStringLiteral("Hello."));
        EXPECT_TRUE(rendering.pieces.empty()) << id;
        EXPECT_EQ(rendering.error, QStringLiteral("the voice '%1' is not installed").arg(QString::fromUtf8(id)));
    }
}
