#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace TestEnvironment {

// Points HOME and the XDG directories at a fresh temporary directory for the whole run.
void isolateHome();

// The permission bits of a file or folder (for example 0600), or 0 when it does not exist.
unsigned permissionBits(const QString& path);

// The full paths of the copies of a damaged file that were moved aside next to it
// ("<name>.corrupt-…"), in name order.
QStringList movedAsideCopies(const QString& path);

}  // namespace TestEnvironment

// A fresh data root for one test: AppPaths points into a temporary directory until destroyed.
class ScopedDataRoot {
public:
    ScopedDataRoot();
    ~ScopedDataRoot();
    ScopedDataRoot(const ScopedDataRoot&) = delete;
    ScopedDataRoot& operator=(const ScopedDataRoot&) = delete;

    QString path() const;  // the data root
    QString base() const { return m_dir.path(); }  // its parent, a scratch directory of the test

private:
    QTemporaryDir m_dir;
};
