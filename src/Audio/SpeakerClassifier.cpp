#include "Audio/SpeakerClassifier.h"

#include "Storage/SpeakerProfileStore.h"
#include "Support/Text.h"

#include <QDateTime>

SpeakerClassifier::SpeakerClassifier(float matchThreshold, float enrollmentThreshold, QObject* parent)
    : QObject(parent), m_roster(matchThreshold, enrollmentThreshold)
{
}

SpeakerClassifier::~SpeakerClassifier() = default;

void SpeakerClassifier::loadEnrolledProfiles()
{
    QList<SpeakerProfile> profiles;
    m_worker.runAndWait([&profiles] { profiles = SpeakerProfileStore::load(); });
    std::lock_guard lock(m_mutex);
    for (const SpeakerProfile& profile : profiles)
        if (profile.embedding.size() == SpectralEmbedder::bands)
            m_roster.addEnrolled(profile.label, profile.embedding);
}

void SpeakerClassifier::accumulate(AudioBufferPtr buffer)
{
    m_worker.post([this, buffer = std::move(buffer)] { m_embedder.accumulate(*buffer); });
}

void SpeakerClassifier::resetUtterance()
{
    m_worker.post([this] { m_embedder.reset(); });
}

void SpeakerClassifier::endUtterance(Result done)
{
    m_worker.post([this, done = std::move(done)] {
        std::optional<Speaker> speaker;
        if (const auto embedding = m_embedder.finalize()) {
            std::lock_guard lock(m_mutex);
            m_lastFinalizedEmbedding = embedding;
            speaker = m_roster.assign(*embedding);
        }
        QMetaObject::invokeMethod(
            this, [done, speaker] { done(speaker); }, Qt::QueuedConnection);
    });
}

std::optional<int> SpeakerClassifier::enrollLastUtterance(const QString& name)
{
    const QString label = Text::trimmed(name);
    if (label.isEmpty())
        return std::nullopt;
    SpeakerProfile profile{label, {}, QDateTime::currentDateTimeUtc()};
    int id = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_lastFinalizedEmbedding)
            return std::nullopt;
        profile.embedding = *m_lastFinalizedEmbedding;
        id = m_roster.addEnrolled(label, profile.embedding);
    }
    m_worker.post([profile] { SpeakerProfileStore::append(profile); });
    return id;
}

void SpeakerClassifier::renameSpeaker(int id, const QString& name)
{
    const QString label = Text::trimmed(name);
    if (label.isEmpty())
        return;
    std::optional<SpeakerRoster::Renamed> renamed;
    {
        std::lock_guard lock(m_mutex);
        renamed = m_roster.rename(id, label);
    }
    if (renamed && renamed->isEnrolled)
        m_worker.post([from = renamed->previousLabel, label] { SpeakerProfileStore::rename(from, label); });
}

QList<Speaker> SpeakerClassifier::allSpeakers() const
{
    std::lock_guard lock(m_mutex);
    return m_roster.speakers();
}
