#include "Support/LateLibrary.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <dlfcn.h>

LateLibrary::LateLibrary(const QString& name, int majorVersion)
    : m_soname(QStringLiteral("lib%1.so.%2").arg(name).arg(majorVersion))
{
    m_handle = ::dlopen(QFile::encodeName(m_soname).constData(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle)
        return;
    // The loader ends its message with the system's words for a missing file when no folder
    // on the library path has the library.
    const QString reason = QString::fromLocal8Bit(::dlerror());
    m_error = reason.endsWith(QString::fromLocal8Bit(std::strerror(ENOENT)))
                  ? QStringLiteral("%1 is not installed").arg(m_soname)
                  : QStringLiteral("%1 cannot be loaded: %2").arg(m_soname, reason);
}

void* LateLibrary::resolve(const char* name)
{
    void* found = m_handle ? ::dlsym(m_handle, name) : nullptr;
    if (!found && m_error.isEmpty())
        m_error = QStringLiteral("%1 has no function %2").arg(m_soname, QLatin1String(name));
    return found;
}
