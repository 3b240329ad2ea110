// Any extra-persona file: read only, never written; a damaged one adds nothing; a readable one
// adds its personas after the built-in ones, each id once.
#include "FuzzCheck.h"
#include "FuzzedStoreFile.h"
#include "Persona/NemotronPersonaCatalog.h"

#include <QSet>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const FuzzedStoreFile file(&NemotronPersonaCatalog::extrasFilePath, bytes);
    const std::optional<QList<NemotronPersona>> extras = NemotronPersona::listFromJson(bytes.toByteArray());
    const QList<NemotronPersona> all = NemotronPersonaCatalog::allPersonas();
    fuzzCheck(file.unchanged(), "reading the catalog never writes");

    QList<NemotronPersona> expected = NemotronPersonaCatalog::builtIn();
    QSet<QString> ids;
    for (const NemotronPersona& persona : expected)
        ids.insert(persona.id);
    for (const NemotronPersona& persona : extras.value_or(QList<NemotronPersona>())) {
        if (!ids.contains(persona.id)) {
            ids.insert(persona.id);
            expected.append(persona);
        }
    }
    fuzzCheck(all == expected, "built-ins first, then each new id of a readable file once");
    for (const NemotronPersona& persona : all)
        fuzzCheck(NemotronPersonaCatalog::persona(persona.id) == persona, "an id finds its persona");
    return 0;
}
