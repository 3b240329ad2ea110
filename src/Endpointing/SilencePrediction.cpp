#include "Endpointing/SilencePrediction.h"

#include "Support/Text.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// The four longer hesitations end in three full stops, not an ellipsis character.
constexpr QStringView kHesitationMarkers[] = {u"음",    u"어",    u"그",    u"저",   u"아",
                                              u"음...", u"어...", u"그...", u"저..."};

// Tried in this order: "거든요" and "을까" also end in final endings but mean more is coming.
constexpr QStringView kContinuingSuffixes[] = {u"고",   u"며",   u"면",     u"서",   u"면서", u"지만", u"는데",
                                               u"다가", u"거든", u"거든요", u"려고", u"라고", u"다고", u"하고",
                                               u"이고", u"이며", u"인데",   u"는지", u"은지", u"을지", u"을까"};

constexpr QStringView kSentenceFinalSuffixes[] = {u"다",   u"다.",  u"요",   u"요.",   u"까",   u"까?",
                                                  u"니",   u"니까", u"니다", u"니다.", u"군요", u"네요",
                                                  u"지요", u"예요", u"에요", u"이에요"};

constexpr int kHesitationBias = 1500;
constexpr int kContinuingBias = 1200;
constexpr int kSentenceFinalBias = -400;

// A suffix of whole characters: "ᄀ고" (a leading jamo joined to a syllable) does not end in "고".
bool endsWithCharacters(const QString& word, QStringView suffix)
{
    if (!word.endsWith(suffix))
        return false;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, word);
    finder.setPosition(word.size() - suffix.size());
    return finder.isAtBoundary();
}

}  // namespace

int SilencePrediction::predictedMs() const
{
    int ms = pauseSamplesMs.empty() ? initialSilenceMs : *std::ranges::max_element(pauseSamplesMs) + 350;
    ms += particleBias(trailingToken(transcript));

    if (secondsSinceTurnStart) {
        // Slow speakers get more time, fast ones less.
        const double rate =
            static_cast<double>(Text::graphemeCount(transcript)) / std::max(*secondsSinceTurnStart, 0.001);
        if (rate < 2.0)
            ms += 600;
        else if (rate > 6.0)
            ms -= 300;
    }

    // Someone looking at the screen is likely still talking to it; truncation toward zero.
    if (gaze == GazeMachineState::engaged)
        ms = static_cast<int>(ms * (gazeConfidence * 0.7 + 1.0));
    else if (gaze == GazeMachineState::averted)
        ms = static_cast<int>(ms * 0.7);

    return std::min(std::max(ms, minSilenceMs), maxSilenceMs);
}

QString SilencePrediction::trailingToken(const QString& transcript)
{
    const QString text = Text::trimmed(transcript);
    qsizetype start = text.size();
    while (start > 0 && text.at(start - 1) != u' ' && text.at(start - 1) != u'\n')
        --start;
    return text.sliced(start);
}

int SilencePrediction::particleBias(const QString& tail)
{
    if (tail.isEmpty())
        return 0;
    const QString word = tail.normalized(QString::NormalizationForm_C);
    if (std::ranges::find(kHesitationMarkers, QStringView(word)) != std::end(kHesitationMarkers))
        return kHesitationBias;
    const auto endsWith = [&word](QStringView suffix) { return endsWithCharacters(word, suffix); };
    if (std::ranges::any_of(kContinuingSuffixes, endsWith))
        return kContinuingBias;
    if (std::ranges::any_of(kSentenceFinalSuffixes, endsWith))
        return kSentenceFinalBias;
    return 0;
}
