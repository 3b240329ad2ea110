#include "UI/Models/WorkState.h"

#include <algorithm>

WorkState WorkState::of(bool clockedIn, bool resting)
{
    using ThemePalette::Named;
    WorkState state;
    state.resting = resting;
    const bool clockInEnabled = resting || !clockedIn;
    state.clockIn = {resting ? Action::wake : Action::clockIn,
                     QStringLiteral("btn.start"),
                     QStringLiteral("person.crop.circle.badge.plus"),
                     Named::clockIn,
                     clockInEnabled,
                     clockInEnabled,
                     resting ? QStringLiteral("help.wake") : QStringLiteral("help.clock_in")};
    state.rest = {Action::rest, QStringLiteral("btn.rest"), QStringLiteral("moon.zzz.fill"), Named::rest, clockedIn,
                  false,        QStringLiteral("help.rest")};
    state.clockOut = {Action::clockOut,
                      QStringLiteral("btn.stop"),
                      QStringLiteral("person.crop.circle.badge.minus"),
                      Named::clockOut,
                      clockedIn,
                      clockedIn && !resting,
                      QStringLiteral("help.clock_out")};
    return state;
}

QString WorkState::primaryHint()
{
    return QStringLiteral("Ctrl+↵");
}

QString WorkState::countdown(const QDateTime& until, const QDateTime& now)
{
    // Rounded up, so the last second reads 0:00:01 rather than 0:00:00.
    const qint64 seconds = std::max<qint64>((now.msecsTo(until) + 999) / 1000, 1);
    return QString::asprintf("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
}
