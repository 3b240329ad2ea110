#pragma once

#include <QString>

#include <functional>
#include <optional>

// Keeps the machine from idling into sleep while a session listens. Not getting a hold is
// reported to the caller, who logs it and goes on: listening never depends on it. GUI thread.
class SleepInhibitor {
public:
    // Nothing when the hold was granted, otherwise why it was not.
    using Completion = std::function<void(const std::optional<QString>& failure)>;

    virtual ~SleepInhibitor() = default;

    // Asks for a hold with that reason; `done` runs later, once. A hold already held or being
    // asked for is given back first.
    virtual void acquire(const QString& reason, Completion done) = 0;
    // Gives the hold back; one still being asked for is given back as soon as it is granted,
    // and its `done` is not called.
    virtual void release() = 0;
};
