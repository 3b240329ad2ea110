#include "Persona/AliasStore.h"

#include "Storage/AppPaths.h"
#include "Support/JsonListFile.h"
#include "Support/Text.h"

#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcAlias, "app.parlivox.alias")

namespace AliasStore {

namespace {
JsonListFile<Alias> file()
{
    return {filePath(), &Alias::fromJson, &Alias::toJson, lcAlias, "alias file", "entry %1 is not a valid alias"};
}
}  // namespace

QString filePath()
{
    return AppPaths::root() + QStringLiteral("/persona/aliases.json");
}

QList<Alias> load()
{
    const auto contents = file().read();
    if (contents.isDamaged())
        qCCritical(lcAlias, "decode failed: %s", qUtf8Printable(contents.error));
    return contents.items;
}

bool save(const QList<Alias>& aliases, QString* error)
{
    return file().write(aliases, error);
}

bool add(const QString& wrong, const QString& right, const QDateTime& now, QString* error)
{
    const QString from = Text::trimmed(wrong);
    const QString to = Text::trimmed(right);
    if (from.isEmpty() || to.isEmpty() || from == to)
        return false;
    QList<Alias> aliases = load();
    aliases.removeIf([&](const Alias& alias) { return alias.wrong.compare(from, Qt::CaseInsensitive) == 0; });
    aliases.append({from, to, now});
    if (!save(aliases, error))
        return false;
    qCInfo(lcAlias, "alias added: %s → %s", qUtf8Printable(from), qUtf8Printable(to));
    return true;
}

QString apply(const QString& text)
{
    QList<Alias> aliases = load();
    // Longer wrong texts first, so "abc" is corrected before its own prefix "ab" is.
    std::stable_sort(aliases.begin(), aliases.end(), [](const Alias& a, const Alias& b) {
        return Text::graphemeCount(a.wrong) > Text::graphemeCount(b.wrong);
    });
    QString result = text;
    // A hand-edited file may hold a blank wrong text; applied, it would rewrite every space.
    for (const Alias& alias : aliases)
        if (!Text::trimmed(alias.wrong).isEmpty() && alias.wrong != alias.right)
            result.replace(alias.wrong, alias.right, Qt::CaseInsensitive);
    return result;
}

}  // namespace AliasStore
