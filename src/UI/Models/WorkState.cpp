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
                     resting ? QStringLiteral("출근 — 휴식에서 깨우기 (Ctrl+↵)") : QStringLiteral("출근 (Ctrl+↵)")};
    state.rest = {Action::rest,
                  QStringLiteral("btn.rest"),
                  QStringLiteral("moon.zzz.fill"),
                  Named::rest,
                  clockedIn,
                  false,
                  QStringLiteral("쉬기 — 1시간 휴식 (수음 중단)")};
    state.clockOut = {Action::clockOut,
                      QStringLiteral("btn.stop"),
                      QStringLiteral("person.crop.circle.badge.minus"),
                      Named::clockOut,
                      clockedIn,
                      clockedIn && !resting,
                      QStringLiteral("퇴근 (Ctrl+↵)")};
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
