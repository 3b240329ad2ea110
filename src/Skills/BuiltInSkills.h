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
    // The rest skill is added only with one: without it, resting could never end.
    RestCommand* rest;
    Scheduler& scheduler;
    QString messagesDatabase = MessagesListRecentSkill::defaultDatabasePath();

    // Adds the calendar, mail, messages, alias, memory, resource and camera skills, and the
    // rest skill when there is a rest command. The calendar skills answer on a worker of
    // their own, which goes with the last of them; the messages skill on another.
    void addTo(SkillRegistry& registry) const;
};
