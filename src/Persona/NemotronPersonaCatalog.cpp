#include "Persona/NemotronPersonaCatalog.h"

#include "Persistence/AppSettings.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QSet>

namespace NemotronPersonaCatalog {

QString extrasFilePath()
{
    return AppPaths::root() + QStringLiteral("/persona/nemotron-extras.json");
}

const QList<NemotronPersona>& builtIn()
{
    static const QList<NemotronPersona> kPersonas = [] {
        const auto json = FileIO::readAll(QStringLiteral(":/Persona/builtin-personas.json"));
        const auto decoded = json ? NemotronPersona::listFromJson(*json) : std::nullopt;
        Q_ASSERT_X(decoded && decoded->size() == 4, "NemotronPersonaCatalog", "built-in personas damaged");
        return decoded.value_or(QList<NemotronPersona>());
    }();
    return kPersonas;
}

QList<NemotronPersona> allPersonas()
{
    QList<NemotronPersona> result = builtIn();
    const auto json = FileIO::readAll(extrasFilePath());
    const auto extras = json ? NemotronPersona::listFromJson(*json) : std::nullopt;
    if (!extras)
        return result;
    QSet<QString> seen;
    for (const auto& p : result)
        seen.insert(p.id);
    for (const auto& p : *extras) {
        if (seen.contains(p.id))
            continue;
        seen.insert(p.id);
        result.append(p);
    }
    return result;
}

std::optional<NemotronPersona> persona(const QString& id)
{
    for (const auto& p : allPersonas())
        if (p.id == id)
            return p;
    return std::nullopt;
}

QString defaultID(AppMode mode)
{
    const QString raw = rawValue(mode);
    for (const auto& p : builtIn())
        if (p.modeAffinity == raw)
            return p.id;
    return QString::fromLatin1(kFallbackID);
}

QString chosenID(const AppSettings& settings, AppMode mode)
{
    const QString stored = settings.nemotronPersonaIDByMode().value(rawValue(mode));
    return stored.isEmpty() ? defaultID(mode) : stored;
}

}  // namespace NemotronPersonaCatalog
