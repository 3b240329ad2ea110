#include "Audio/SpeakerClassifier.h"

#include "Storage/SpeakerProfileStore.h"
#include "Support/Text.h"

#include <QDateTime>

QString SpeakerClassifier::unavailableReason()
{
    return RealFft::loadError();
}

SpeakerClassifier::SpeakerClassifier(QObject* parent) : QObject(parent)
{
}

SpeakerClassifier::~SpeakerClassifier() = default;

void SpeakerClassifier::loadEnrolledProfiles()
{
    QList<SpeakerProfile> profiles;
    m_worker.runAndWait([&profiles] { profiles = SpeakerProfileStore::load(); });
    std::lock_guard lock(m_mutex);
    for (const SpeakerProfile& profile : profiles)
        if (profile.embedding.size() == SpectralEmbedder::kBands)
            m_roster.addEnrolled(profile.label, profile.embedding,
                                 profile.voiceprint.size() == VoiceprintEmbedder::kLength ? profile.voiceprint
                                                                                          : QList<float>());
}

void SpeakerClassifier::accumulate(AudioBufferPtr buffer)
{
    m_worker.post([this, buffer = std::move(buffer)] {
        m_embedder.accumulate(*buffer);
        m_voiceprints.accumulate(buffer);
    });
}

void SpeakerClassifier::resetUtterance()
{
    m_worker.post([this] {
        m_embedder.reset();
        m_voiceprints.reset();
    });
}

std::optional<Speaker> SpeakerClassifier::endUtterance()
{
    std::optional<QList<float>> embedding, voiceprint;
    std::optional<VoiceprintEmbedder::Speech> speech;
    m_worker.runAndWait([&] {
        embedding = m_embedder.finalize();
        voiceprint = m_voiceprints.finalize();
        speech = m_voiceprints.speech();
    });
    std::lock_guard lock(m_mutex);
    SpeakerRoster::Heard heard;
    if (speech) {
        heard.voicedFrames = speech->voicedFrames;
        if (m_lastSpeechEnd)
            heard.pauseSeconds = speech->startSeconds - *m_lastSpeechEnd;
        m_lastSpeechEnd = speech->endSeconds;
    }
    if (!embedding)
        return std::nullopt;
    return m_roster.assign(*embedding, voiceprint.value_or(QList<float>()), heard);
}

bool SpeakerClassifier::enrollSpeaker(int id, const QString& name, QString* error)
{
    const QString label = Text::trimmed(name);
    if (label.isEmpty())
        return false;
    SpeakerProfile profile{label, {}, QDateTime::currentDateTimeUtc(), {}};
    {
        std::lock_guard lock(m_mutex);
        const std::optional<Speaker> speaker = m_roster.speaker(id);
        if (!speaker)
            return false;
        profile.embedding = speaker->embedding;
        profile.voiceprint = m_roster.voiceprint(id);
    }
    bool stored = false;
    m_worker.runAndWait([&] { stored = SpeakerProfileStore::append(profile, error); });
    if (!stored)
        return false;
    std::lock_guard lock(m_mutex);
    m_roster.enroll(id, label);
    return true;
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
