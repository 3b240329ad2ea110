// Any speaker-profile file: a readable one is loaded as it stands, never written by reading and
// survives a rewrite; a damaged one loads as no profiles and is moved aside whole before
// anything new is written.
#include "FuzzCheck.h"
#include "FuzzedStoreFile.h"
#include "Storage/SpeakerProfileStore.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzedStoreFile file(&SpeakerProfileStore::filePath, QByteArrayView(data, static_cast<qsizetype>(size)));
    const std::optional<QList<SpeakerProfile>> expected = file.decodeList(&SpeakerProfile::fromJson);
    const QList<SpeakerProfile> loaded = SpeakerProfileStore::load();
    fuzzCheck(file.unchanged(), "loading never writes");
    fuzzCheck(loaded == expected.value_or(QList<SpeakerProfile>()),
              "a readable file loads whole, a damaged one as nothing");
    for (const SpeakerProfile& profile : loaded)
        fuzzCheck(profile.isEncodable(), "a loaded profile can be written again");

    fuzzCheck(SpeakerProfileStore::rename(QStringLiteral("Speaker 1"), QStringLiteral("Minji")), "a change is written");
    if (expected) {
        QList<SpeakerProfile> renamed = loaded;
        for (SpeakerProfile& profile : renamed) {
            if (profile.label.compare(QStringLiteral("Speaker 1"), Qt::CaseInsensitive) == 0)
                profile.label = QStringLiteral("Minji");
        }
        fuzzCheck(SpeakerProfileStore::load() == renamed, "what was read survives a rewrite");
    } else {
        fuzzCheck(file.movedAsideWhole(), "a damaged file is moved aside whole before a change");
        fuzzCheck(SpeakerProfileStore::load().isEmpty(), "the change starts a fresh file");
    }
    return 0;
}
