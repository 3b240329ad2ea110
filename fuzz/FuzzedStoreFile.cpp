#include "FuzzedStoreFile.h"

#include "FuzzCheck.h"
#include "Support/FileIO.h"

#include <QFileInfo>

FuzzedStoreFile::FuzzedStoreFile(QString (*path)(), QByteArrayView bytes) : m_path(path()), m_bytes(bytes.toByteArray())
{
    fuzzCheck(FileIO::ensureDirectory(QFileInfo(m_path).path()) && FileIO::writeAtomically(m_path, m_bytes),
              "the store's file is written");
}

bool FuzzedStoreFile::unchanged() const
{
    return FileIO::readAll(m_path) == m_bytes && TestEnvironment::movedAsideCopies(m_path).isEmpty();
}

bool FuzzedStoreFile::movedAsideWhole() const
{
    const QStringList copies = TestEnvironment::movedAsideCopies(m_path);
    return copies.size() == 1 && FileIO::readAll(copies.front()) == m_bytes;
}
