#include "Storage/SpeakerProfileStore.h"

#include "Storage/AppPaths.h"
#include "Support/JsonListFile.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSpeakerProfiles, "app.parlivox.speaker.profiles")

namespace SpeakerProfileStore {

namespace {
using ProfilesFile = JsonListFile<SpeakerProfile>;

ProfilesFile file()
{
    return {filePath(),        &SpeakerProfile::fromJson, &SpeakerProfile::toJson,
            lcSpeakerProfiles, "profiles file",           "profile %1 is not a valid speaker profile"};
}
}  // namespace

QString filePath()
{
    return AppPaths::root() + QStringLiteral("/speakers/profiles.json");
}

QList<SpeakerProfile> load()
{
    const auto contents = file().read();
    if (contents.state == ProfilesFile::State::undecodable)
        qCCritical(lcSpeakerProfiles, "decode failed: %s", qPrintable(contents.error));
    return contents.items;
}

bool save(const QList<SpeakerProfile>& profiles, QString* error)
{
    for (const SpeakerProfile& profile : profiles) {
        if (!profile.isEncodable()) {
            const QString cause = QStringLiteral("the voice of '%1' holds a non-finite value").arg(profile.label);
            qCCritical(lcSpeakerProfiles, "save failed: %s", qPrintable(cause));
            if (error)
                *error = cause;
            return false;
        }
    }
    return file().write(profiles, error);
}

bool append(const SpeakerProfile& profile, QString* error)
{
    QList<SpeakerProfile> profiles = load();
    profiles.removeIf(
        [&](const SpeakerProfile& p) { return p.label.compare(profile.label, Qt::CaseInsensitive) == 0; });
    profiles.append(profile);
    return save(profiles, error);
}

bool rename(const QString& from, const QString& to, QString* error)
{
    QList<SpeakerProfile> profiles = load();
    for (SpeakerProfile& profile : profiles)
        if (profile.label.compare(from, Qt::CaseInsensitive) == 0)
            profile.label = to;
    return save(profiles, error);
}

}  // namespace SpeakerProfileStore
