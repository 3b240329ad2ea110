#include "Storage/SpeakerProfileStore.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSpeakerProfiles, "app.parlivox.speaker.profiles")

namespace SpeakerProfileStore {

namespace {
QString directory()
{
    return AppPaths::root() + QStringLiteral("/speakers");
}

std::optional<QList<SpeakerProfile>> decode(const QByteArray& data, QString* error)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = parseError.errorString();
        return std::nullopt;
    }
    if (!document.isArray()) {
        *error = QStringLiteral("the file does not hold a list");
        return std::nullopt;
    }
    QList<SpeakerProfile> profiles;
    const QJsonArray array = document.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        auto profile = SpeakerProfile::fromJson(array.at(i));
        if (!profile) {
            *error = QStringLiteral("profile %1 is not a valid speaker profile").arg(i);
            return std::nullopt;
        }
        profiles.append(std::move(*profile));
    }
    return profiles;
}

enum class FileState { missing, unreadable, undecodable, readable };

FileState read(QList<SpeakerProfile>& profiles, QString* error)
{
    const QString path = filePath();
    if (!QFileInfo::exists(path))
        return FileState::missing;
    const auto data = FileIO::readAll(path, error);
    if (!data)
        return FileState::unreadable;
    auto decoded = decode(*data, error);
    if (!decoded)
        return FileState::undecodable;
    profiles = std::move(*decoded);
    return FileState::readable;
}
}  // namespace

QString filePath()
{
    return directory() + QStringLiteral("/profiles.json");
}

QList<SpeakerProfile> load()
{
    QList<SpeakerProfile> profiles;
    QString error;
    if (read(profiles, &error) == FileState::undecodable)
        qCCritical(lcSpeakerProfiles, "decode failed: %s", qPrintable(error));
    return profiles;
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
    QString error;
    if (!FileIO::ensureDirectory(directory(), false, &error)) {
        qCCritical(lcSpeakerProfiles, "save failed: %s", qPrintable(error));
        return;
    }
    QList<SpeakerProfile> existing;
    if (const FileState state = read(existing, &error);
        state == FileState::unreadable || state == FileState::undecodable) {
        const QString aside = FileIO::moveAside(filePath());
        if (aside.isEmpty()) {
            qCCritical(lcSpeakerProfiles, "save failed: cannot move the damaged %s aside", qPrintable(filePath()));
            return;
        }
        qCWarning(lcSpeakerProfiles, "moved the damaged profiles file (%s) to %s", qPrintable(error),
                  qPrintable(aside));
    }
    QJsonArray array;
    for (const SpeakerProfile& profile : profiles)
        array.append(profile.toJson());
    if (!FileIO::writeAtomically(filePath(), QJsonDocument(array).toJson(QJsonDocument::Indented), &error))
        qCCritical(lcSpeakerProfiles, "save failed: %s", qPrintable(error));
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
