#pragma once

#include <QByteArray>

// Runs a test in another local time zone (TZ, e.g. "Asia/Seoul") and restores the previous
// one when it goes out of scope.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    QByteArray m_previous;
    bool m_hadPrevious;
};
