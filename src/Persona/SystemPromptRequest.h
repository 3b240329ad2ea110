#pragma once

#include "Persistence/AppMode.h"

#include <QString>

// What the system prompt of one backend request is built from.
struct SystemPromptRequest {
    QString name;  // the assistant's name
    QString localeID;  // recognition locale (the source language in translate mode)
    QString toolsManifest;  // the tool section: SkillRegistry::toolsManifest of the enabled skills
    AppMode mode = AppMode::conversation;
    QString personaID;  // catalog persona of the mode; empty for none
    QString translateTargetLocale;  // translate mode only; empty means English
};
