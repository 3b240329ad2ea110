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

SpeakerRoster::Member* SpeakerRoster::goingOn(const QList<float>& voiceprint, const Heard& heard)
{
    const qsizetype index = indexOf(m_lastID);
    if (index < 0 || !heard.pauseSeconds || *heard.pauseSeconds > kGoingOn.longestPauseSeconds ||
        heard.voicedFrames >= kGoingOn.fewestVoicedFrames)
        return nullptr;
    Member& last = m_members[index];
    const bool comparable = !voiceprint.isEmpty() && voiceprint.size() == last.voiceprint.size();
    // A print that is not a number is no voice to go by either way.
    if (comparable && distance(voiceprint, last.voiceprint) > kGoingOn.clearlyAnother)
        return nullptr;
    return &last;
}

Speaker SpeakerRoster::assign(const QList<float>& embedding, const QList<float>& voiceprint, const Heard& heard)
{
    // Too little to fold into the voice: only counted.
    if (Member* last = goingOn(voiceprint, heard)) {
        ++last->speaker.utteranceCount;
        return last->speaker;
    }
    const auto hasVoiceprint = [&](const Member& member) {
        return !voiceprint.isEmpty() && voiceprint.size() == member.voiceprint.size();
    };
    // On the voiceprint, the speaker closest for its reach, with the distance over the reach
    // negated as its score.
    auto [match, closeness] = best([&](const Member& member) -> std::optional<float> {
        if (!hasVoiceprint(member))
            return std::nullopt;
        const float reach = member.speaker.isEnrolled
                                ? kVoiceprintReach.enrolled
                                : kVoiceprintReach.opened + kVoiceprintReach.fewUtterances / float(member.inVoice);
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
        m_members.append({Speaker{id, QStringLiteral("Speaker %1").arg(id), embedding, 1, false}, voiceprint, 1});
        m_lastID = id;
        return m_members.last().speaker;
    }
    Speaker& speaker = match->speaker;
    if (!speaker.isEnrolled) {
        addToMean(speaker.embedding, match->inVoice, embedding);
        SpectralEmbedder::normalize(speaker.embedding);
        addToMean(match->voiceprint, match->inVoice, voiceprint);
        ++match->inVoice;
    }
    ++speaker.utteranceCount;
    m_lastID = speaker.id;
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
