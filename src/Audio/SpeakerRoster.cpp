#include "Audio/SpeakerRoster.h"

#include "Audio/SpectralEmbedder.h"

#include <algorithm>

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

int SpeakerRoster::addEnrolled(const QString& label, const QList<float>& embedding, const QList<float>& voiceprint)
{
    const int id = m_nextSpeakerID++;
    m_members.append({Speaker{id, label, embedding, 0, true}, voiceprint});
    return id;
}

template <typename Score>
SpeakerRoster::Member* SpeakerRoster::best(Score score, Thresholds thresholds)
{
    Member* best = nullptr;
    float bestScore = -1;
    for (Member& member : m_members) {
        const std::optional<float> candidate = score(member);
        if (candidate && *candidate > bestScore) {
            bestScore = *candidate;
            best = &member;
        }
    }
    if (!best)
        return nullptr;
    return bestScore >= (best->speaker.isEnrolled ? thresholds.enrollment : thresholds.match) ? best : nullptr;
}

Speaker SpeakerRoster::assign(const QList<float>& embedding, const QList<float>& voiceprint)
{
    const auto onVoiceprint = [&](const Member& member) {
        return !voiceprint.isEmpty() && voiceprint.size() == member.voiceprint.size()
                   ? std::optional(score(voiceprint, member.voiceprint))
                   : std::nullopt;
    };
    Member* match = best(onVoiceprint, kVoiceprintThresholds);
    if (!match) {
        match = best(
            [&](const Member& member) {
                return onVoiceprint(member) ? std::nullopt : std::optional(score(embedding, member.speaker.embedding));
            },
            kBandThresholds);
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
        SpectralEmbedder::normalize(match->voiceprint);
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
