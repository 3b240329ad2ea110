#include "Support/LateLibrary.h"

LateLibrary::LateLibrary(const QString& name, int majorVersion) : m_library(name, majorVersion)
{
    if (!m_library.load())
        m_error = m_library.errorString();
}

QString LateLibrary::missing(const char* function) const
{
    return QStringLiteral("%1 has no function %2").arg(m_library.fileName(), QLatin1String(function));
}
