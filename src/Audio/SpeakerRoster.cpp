#include "Audio/SpeakerRoster.h"

#include "Audio/SpectralEmbedder.h"

#include <algorithm>

SpeakerRoster::SpeakerRoster(float matchThreshold, float enrollmentThreshold)
    : m_matchThreshold(matchThreshold), m_enrollmentThreshold(enrollmentThreshold)
{
}

float SpeakerRoster::score(const QList<float>& a, const QList<float>& b)
{
    if (a.isEmpty() || a.size() != b.size())
        return 0;
    float dot = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        dot += a[i] * b[i];
    return dot;
}

int SpeakerRoster::addEnrolled(const QString& label, const QList<float>& embedding)
{
    const int id = m_nextSpeakerID++;
    m_speakers.append(Speaker{id, label, embedding, 0, true});
    return id;
}

Speaker SpeakerRoster::assign(const QList<float>& embedding)
{
    Speaker* best = nullptr;
    float bestScore = -1;
    for (Speaker& speaker : m_speakers) {
        const float candidate = score(embedding, speaker.embedding);
        if (candidate > bestScore) {
            bestScore = candidate;
            best = &speaker;
        }
    }
    if (best && best->isEnrolled && bestScore >= m_enrollmentThreshold) {
        ++best->utteranceCount;
        return *best;
    }
    if (best && !best->isEnrolled && bestScore >= m_matchThreshold) {
        const auto n = float(best->utteranceCount);
        for (qsizetype i = 0; i < std::min(best->embedding.size(), embedding.size()); ++i)
            best->embedding[i] = (best->embedding[i] * n + embedding[i]) / (n + 1);
        SpectralEmbedder::normalize(best->embedding);
        ++best->utteranceCount;
        return *best;
    }
    const int id = m_nextSpeakerID++;
    m_speakers.append(Speaker{id, QStringLiteral("Speaker %1").arg(id), embedding, 1, false});
    return m_speakers.last();
}

std::optional<SpeakerRoster::Renamed> SpeakerRoster::rename(int id, const QString& label)
{
    std::optional<Renamed> renamed;
    for (Speaker& speaker : m_speakers) {
        if (speaker.id != id)
            continue;
        if (!renamed)
            renamed = Renamed{speaker.label, speaker.isEnrolled};
        speaker.label = label;
    }
    return renamed;
}

std::optional<Speaker> SpeakerRoster::speaker(int id) const
{
    for (const Speaker& speaker : m_speakers)
        if (speaker.id == id)
            return speaker;
    return std::nullopt;
}

bool SpeakerRoster::enroll(int id, const QString& label)
{
    for (Speaker& speaker : m_speakers) {
        if (speaker.id == id) {
            speaker.label = label;
            speaker.isEnrolled = true;
            return true;
        }
    }
    return false;
}
