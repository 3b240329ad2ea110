#pragma once

#include "Persistence/AppMode.h"
#include "Persona/NemotronPersona.h"

class AppSettings;

// The built-in personas (one per mode but translate) and the user's extra personas from
// "<root>/persona/nemotron-extras.json". Nothing is cached: an edited file counts at the
// next call. Stateless, so callable from any thread.
namespace NemotronPersonaCatalog {

inline constexpr const char* kFallbackID = "a1b2c3d4-conv-default";

QString extrasFilePath();
const QList<NemotronPersona>& builtIn();

// The built-ins, then the extras in file order, skipping ids already seen. A missing,
// unreadable or undecodable extras file (one bad entry is enough) adds nothing.
QList<NemotronPersona> allPersonas();
std::optional<NemotronPersona> persona(const QString& id);
// The first built-in made for the mode, else the fallback; extras are never defaults.
QString defaultID(AppMode mode);
// The persona the settings hold for the mode when not empty, else the mode's default.
QString chosenID(const AppSettings& settings, AppMode mode);

}  // namespace NemotronPersonaCatalog
