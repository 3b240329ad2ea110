// Any alias file: a readable one is loaded as it stands, never written by reading and survives
// a rewrite; a damaged one loads as no aliases and is moved aside whole before anything new is
// written. Corrections change only what they name.
#include "FuzzCheck.h"
#include "FuzzedStoreFile.h"
#include "Persona/AliasStore.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzedStoreFile file(&AliasStore::filePath, QByteArrayView(data, static_cast<qsizetype>(size)));
    const std::optional<QList<Alias>> expected = file.decodeList(&Alias::fromJson);
    const QList<Alias> loaded = AliasStore::load();
    fuzzCheck(file.unchanged(), "loading never writes");
    fuzzCheck(loaded == expected.value_or(QList<Alias>()), "a readable file loads whole, a damaged one as nothing");

    const QString text = QStringLiteral("Parlivox 파리복스 ok");
    const bool named = std::ranges::any_of(loaded, [&](const Alias& alias) {
        return !alias.wrong.isEmpty() && text.contains(alias.wrong, Qt::CaseInsensitive);
    });
    if (!named)
        fuzzCheck(AliasStore::apply(text) == text, "a text no alias names stays as it is");

    if (expected) {
        fuzzCheck(AliasStore::save(loaded), "a read list can be written back");
        fuzzCheck(AliasStore::load() == loaded, "what was read survives a rewrite");
    } else {
        fuzzCheck(AliasStore::add(QStringLiteral("fuzz"), QStringLiteral("퍼즈")), "a change is written");
        fuzzCheck(file.movedAsideWhole(), "a damaged file is moved aside whole before a change");
        fuzzCheck(AliasStore::load().size() == 1, "the change starts a fresh file");
    }
    return 0;
}
