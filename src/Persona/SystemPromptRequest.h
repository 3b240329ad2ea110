#pragma once

#include "Persistence/AppMode.h"

#include <QSet>
#include <QString>

// What the system prompt of one backend request is built from.
struct SystemPromptRequest {
    QString name;  // the assistant's name
    QString localeID;  // recognition locale (the source language in translate mode)
    QSet<QString> disabledSkillIDs;  // skills left out of the tool section
    AppMode mode = AppMode::conversation;
    QString personaID;  // catalog persona of the mode; empty for none
    QString translateTargetLocale;  // translate mode only; empty means English
};
