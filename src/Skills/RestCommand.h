#pragma once

#include <QDateTime>

enum class AppLanguage;

// What the rest skill asks of the engine: stop listening until the given wall-clock moment.
// Called on the GUI thread.
class RestCommand {
public:
    virtual ~RestCommand() = default;

    virtual void setRestWindow(const QDateTime& until) = 0;
    // The language the assistant speaks in now, for the skill's spoken confirmation.
    virtual AppLanguage spokenLanguage() const = 0;
};
