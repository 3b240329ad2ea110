#pragma once

#include <QDateTime>

// What the rest skill asks of the engine: stop listening until the given wall-clock moment.
// Called on the GUI thread.
class RestCommand {
public:
    virtual ~RestCommand() = default;

    virtual void setRestWindow(const QDateTime& until) = 0;
};
