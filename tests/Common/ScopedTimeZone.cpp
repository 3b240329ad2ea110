#include "Common/ScopedTimeZone.h"

#include <QtGlobal>

#include <ctime>

ScopedTimeZone::ScopedTimeZone(const char* zone)
    : m_previous(qgetenv("TZ")), m_hadPrevious(qEnvironmentVariableIsSet("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_hadPrevious)
        qputenv("TZ", m_previous);
    else
        qunsetenv("TZ");
    tzset();
}
