#include "Common/TestEnvironment.h"

#include "Storage/AppPaths.h"

#include <QDir>

#include <cstdlib>

namespace TestEnvironment {

void isolateHome()
{
    static QTemporaryDir home;  // removed when the test program exits
    const QByteArray path = QFile::encodeName(home.path());
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/.config");
    qputenv("XDG_DATA_HOME", path + "/.local/share");
    qputenv("XDG_CACHE_HOME", path + "/.cache");
    qunsetenv("OPENAI_API_KEY");
    qunsetenv("NVIDIA_API_KEY");
}

}  // namespace TestEnvironment

ScopedDataRoot::ScopedDataRoot()
{
    AppPaths::overrideRoot(path());
}

ScopedDataRoot::~ScopedDataRoot()
{
    AppPaths::overrideRoot(QString());
}

QString ScopedDataRoot::path() const
{
    return m_dir.path() + QStringLiteral("/.parli_vox_mac");
}
