#pragma once

#include "UI/Models/ThemePalette.h"

#include <QDateTime>
#include <QString>

// The assistant's working day as three buttons: clock in (or wake from a rest), rest for an
// hour, clock out. While resting, a countdown badge stands where the rest button was.
// Exactly one button is primary: it answers Ctrl+Return and shows the hint.
struct WorkState {
    enum class Action { clockIn, wake, rest, clockOut };

    struct Button {
        Action action = Action::clockIn;
        QString titleKey;
        QString symbol;
        ThemePalette::Named tint = ThemePalette::Named::clockIn;
        bool enabled = false;
        bool primary = false;
        QString helpKey;

        friend bool operator==(const Button&, const Button&) = default;
    };

    Button clockIn;
    Button rest;  // shown only while not resting
    Button clockOut;
    bool resting = false;

    static WorkState of(bool clockedIn, bool resting);

    // The one primary button: what Ctrl+Return presses.
    const Button& primary() const { return clockOut.primary ? clockOut : clockIn; }

    // The hint shown on the primary button.
    static QString primaryHint();
    // The rest's countdown as "H:MM:SS", never below one second, so a rest whose end has
    // just passed still shows until the engine wakes.
    static QString countdown(const QDateTime& until, const QDateTime& now);
};
