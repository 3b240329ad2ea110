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

void save(const QList<SpeakerProfile>& profiles)
{
    for (const SpeakerProfile& profile : profiles) {
        if (!profile.isEncodable()) {
            qCCritical(lcSpeakerProfiles, "save failed: the embedding of '%s' holds a non-finite value",
                       qPrintable(profile.label));
            return;
        }
    }
    file().write(profiles);
}

void append(const SpeakerProfile& profile)
{
    QList<SpeakerProfile> profiles = load();
    profiles.removeIf(
        [&](const SpeakerProfile& p) { return p.label.compare(profile.label, Qt::CaseInsensitive) == 0; });
    profiles.append(profile);
    save(profiles);
}

void rename(const QString& from, const QString& to)
{
    QList<SpeakerProfile> profiles = load();
    for (SpeakerProfile& profile : profiles)
        if (profile.label.compare(from, Qt::CaseInsensitive) == 0)
            profile.label = to;
    save(profiles);
}

}  // namespace SpeakerProfileStore
