#pragma once

#include "Skills/MessagesListRecentSkill.h"

class CalendarStore;
class DesktopWorkspace;
class RestCommand;
class Scheduler;
class SkillRegistry;
class SystemMonitor;

// What the built-in skills are made from. Everything referenced must outlive the registry
// the skills are added to.
struct BuiltInSkills {
    CalendarStore& calendar;
    DesktopWorkspace& workspace;
    SystemMonitor& monitor;
    RestCommand& rest;
    Scheduler& scheduler;
    QString messagesDatabase = MessagesListRecentSkill::defaultDatabasePath();

    // Adds the calendar, mail, messages, alias, memory, resource and rest skills.
    void addTo(SkillRegistry& registry) const;
};
