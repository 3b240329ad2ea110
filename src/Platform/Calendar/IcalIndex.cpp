#include "Platform/Calendar/IcalIndex.h"

#include "Platform/Calendar/IcalOverrides.h"

void IcalIndex::keep(QHash<QString, Copy>& copies, const QString& key, const Copy& copy)
{
    auto known = copies.find(key);
    if (known == copies.end())
        copies.insert(key, copy);
    else if (IcalIdentity::wins(copy.rank, known->rank))
        *known = copy;
}

void IcalIndex::addMaster(const QString& uid, const QString& file, Rank rank, bool recurring)
{
    keep(m_masters, uid, {file, rank, recurring});
    addFile(uid, file);
}

void IcalIndex::addDetached(const QString& id, const QString& uid, const QString& file, Rank rank)
{
    keep(m_detached, id, {file, rank, false});
    addFile(uid, file);
}

void IcalIndex::addFile(const QString& uid, const QString& file)
{
    QStringList& files = m_files[uid];
    if (files.isEmpty() || files.constLast() != file)
        files.append(file);
}

const IcalIndex::Copy* IcalIndex::master(const QString& uid) const
{
    const auto found = m_masters.constFind(uid);
    return found == m_masters.cend() ? nullptr : &*found;
}

const IcalIndex::Copy* IcalIndex::detached(const QString& id) const
{
    const auto found = m_detached.constFind(id);
    return found == m_detached.cend() ? nullptr : &*found;
}

void IcalIndex::forget(const QString& uid)
{
    m_masters.remove(uid);
    m_files.remove(uid);
    m_detached.removeIf([&](const auto& copy) { return IcalOverrides::keyOf(copy.key()).uid == uid; });
}
