#include "Audio/SpeakerRoster.h"

#include "Audio/SpectralEmbedder.h"

#include <algorithm>
#include <limits>

namespace {

// Folds the n+1-th vector into the mean of the first n, over the mean's length.
void addToMean(QList<float>& mean, int n, const QList<float>& vector)
{
    const auto count = float(n);
    for (qsizetype i = 0; i < std::min(mean.size(), vector.size()); ++i)
        mean[i] = (mean[i] * count + vector[i]) / (count + 1);
}

}  // namespace

float SpeakerRoster::score(const QList<float>& a, const QList<float>& b)
{
    if (a.isEmpty() || a.size() != b.size())
        return 0;
    float dot = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        dot += a[i] * b[i];
    return dot;
}

float SpeakerRoster::distance(const QList<float>& a, const QList<float>& b)
{
    if (a.isEmpty() || a.size() != b.size())
        return std::numeric_limits<float>::infinity();
    float squares = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        squares += (a[i] - b[i]) * (a[i] - b[i]);
    return squares / float(a.size());
}

int SpeakerRoster::addEnrolled(const QString& label, const QList<float>& embedding, const QList<float>& voiceprint)
{
    const int id = m_nextSpeakerID++;
    m_members.append({Speaker{id, label, embedding, 0, true}, voiceprint});
    return id;
}

template <typename Score>
std::pair<SpeakerRoster::Member*, float> SpeakerRoster::best(Score score)
{
    Member* best = nullptr;
    float bestScore = -std::numeric_limits<float>::infinity();
    for (Member& member : m_members) {
        const std::optional<float> candidate = score(member);
        if (candidate && *candidate > bestScore) {
            bestScore = *candidate;
            best = &member;
        }
    }
    return {best, bestScore};
}

Speaker SpeakerRoster::assign(const QList<float>& embedding, const QList<float>& voiceprint)
{
    const auto hasVoiceprint = [&](const Member& member) {
        return !voiceprint.isEmpty() && voiceprint.size() == member.voiceprint.size();
    };
    // On the voiceprint, the speaker closest for its reach, with the distance over the reach
    // negated as its score.
    auto [match, closeness] = best([&](const Member& member) -> std::optional<float> {
        if (!hasVoiceprint(member))
            return std::nullopt;
        const Speaker& speaker = member.speaker;
        const float reach = speaker.isEnrolled ? kVoiceprintReach.enrolled
                                               : kVoiceprintReach.opened +
                                                     kVoiceprintReach.fewUtterances / float(speaker.utteranceCount);
        return -distance(voiceprint, member.voiceprint) / reach;
    });
    if (match && !(closeness >= -1))
        match = nullptr;
    if (!match) {
        const auto [onBands, bandScore] = best([&](const Member& member) -> std::optional<float> {
            if (hasVoiceprint(member))
                return std::nullopt;
            return score(embedding, member.speaker.embedding);
        });
        if (onBands && bandScore >= (onBands->speaker.isEnrolled ? kBandThresholds.enrollment : kBandThresholds.match))
            match = onBands;
    }
    if (!match) {
        const int id = m_nextSpeakerID++;
        m_members.append({Speaker{id, QStringLiteral("Speaker %1").arg(id), embedding, 1, false}, voiceprint});
        return m_members.last().speaker;
    }
    Speaker& speaker = match->speaker;
    if (!speaker.isEnrolled) {
        addToMean(speaker.embedding, speaker.utteranceCount, embedding);
        SpectralEmbedder::normalize(speaker.embedding);
        addToMean(match->voiceprint, speaker.utteranceCount, voiceprint);
    }
    ++speaker.utteranceCount;
    return speaker;
}

qsizetype SpeakerRoster::indexOf(int id) const
{
    for (qsizetype i = 0; i < m_members.size(); ++i)
        if (m_members[i].speaker.id == id)
            return i;
    return -1;
}

std::optional<SpeakerRoster::Renamed> SpeakerRoster::rename(int id, const QString& label)
{
    const qsizetype index = indexOf(id);
    if (index < 0)
        return std::nullopt;
    Speaker& speaker = m_members[index].speaker;
    const Renamed renamed{speaker.label, speaker.isEnrolled};
    speaker.label = label;
    return renamed;
}

std::optional<Speaker> SpeakerRoster::speaker(int id) const
{
    const qsizetype index = indexOf(id);
    return index < 0 ? std::nullopt : std::optional(m_members[index].speaker);
}

QList<float> SpeakerRoster::voiceprint(int id) const
{
    const qsizetype index = indexOf(id);
    return index < 0 ? QList<float>() : m_members[index].voiceprint;
}

bool SpeakerRoster::enroll(int id, const QString& label)
{
    const qsizetype index = indexOf(id);
    if (index < 0)
        return false;
    m_members[index].speaker.label = label;
    m_members[index].speaker.isEnrolled = true;
    return true;
}

QList<Speaker> SpeakerRoster::speakers() const
{
    QList<Speaker> speakers;
    speakers.reserve(m_members.size());
    for (const Member& member : m_members)
        speakers.append(member.speaker);
    return speakers;
}
