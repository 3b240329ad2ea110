#pragma once

#include "Skills/RestCommand.h"

#include <QString>

// Rest and wake: while a rest window is set the session keeps running but takes no turn.
// As the rest skill's RestCommand it opens a window of the skill's length. GUI thread.
class RestWindow : public RestCommand {
public:
    // The rest button: an hour's rest, announced.
    virtual void restNow() = 0;
    // Ends the rest with a back-to-work line ("timer", "wake phrase", "button").
    virtual void wakeFromRest(const QString& reason) = 0;
    // Every transcript update while resting (the wake phrase).
    virtual void hearWhileResting(const QString& transcript) = 0;
    // The assistant's speech ran to its end.
    virtual void speechFinished() = 0;
    // The session ended: the rest ends silently and its timer stops.
    virtual void cancel() = 0;
};
