#include "Persona/AliasStore.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"
#include "Support/Text.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcAlias, "app.parlivox.alias")

namespace AliasStore {

namespace {
QString directory()
{
    return AppPaths::root() + QStringLiteral("/persona");
}

// The stored list, or nothing with the reason when the file exists but is damaged.
// A missing file is an empty list.
std::optional<QList<Alias>> read(QString* error)
{
    if (!QFileInfo::exists(filePath()))
        return QList<Alias>();
    const auto data = FileIO::readAll(filePath(), error);
    if (!data)
        return std::nullopt;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(*data, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = parseError.errorString();
        return std::nullopt;
    }
    if (!document.isArray()) {
        *error = QStringLiteral("the file does not hold a list");
        return std::nullopt;
    }
    QList<Alias> aliases;
    for (const QJsonValue& value : document.array()) {
        auto alias = Alias::fromJson(value);
        if (!alias) {
            *error = QStringLiteral("entry %1 is not a valid alias").arg(aliases.size());
            return std::nullopt;
        }
        aliases.append(std::move(*alias));
    }
    return aliases;
}
}  // namespace

QString filePath()
{
    return directory() + QStringLiteral("/aliases.json");
}

QList<Alias> load()
{
    QString error;
    auto aliases = read(&error);
    if (!aliases)
        qCCritical(lcAlias, "decode failed: %s", qUtf8Printable(error));
    return aliases.value_or(QList<Alias>());
}

void save(const QList<Alias>& aliases)
{
    QString error;
    if (!FileIO::ensureDirectory(directory(), false, &error)) {
        qCCritical(lcAlias, "save failed: %s", qUtf8Printable(error));
        return;
    }
    if (!read(&error)) {
        const QString aside = FileIO::moveAside(filePath());
        if (aside.isEmpty()) {
            qCCritical(lcAlias, "save failed: cannot move the damaged %s aside", qUtf8Printable(filePath()));
            return;
        }
        qCWarning(lcAlias, "moved the damaged alias file (%s) to %s", qUtf8Printable(error), qUtf8Printable(aside));
    }
    QJsonArray array;
    for (const Alias& alias : aliases)
        array.append(alias.toJson());
    if (!FileIO::writeAtomically(filePath(), QJsonDocument(array).toJson(QJsonDocument::Indented), &error))
        qCCritical(lcAlias, "save failed: %s", qUtf8Printable(error));
}

void add(const QString& wrong, const QString& right, const QDateTime& now)
{
    const QString from = Text::trimmed(wrong);
    const QString to = Text::trimmed(right);
    if (from.isEmpty() || to.isEmpty() || from == to)
        return;
    QList<Alias> aliases = load();
    aliases.removeIf([&](const Alias& alias) { return alias.wrong.compare(from, Qt::CaseInsensitive) == 0; });
    aliases.append({from, to, now});
    save(aliases);
    qCInfo(lcAlias, "alias added: %s → %s", qUtf8Printable(from), qUtf8Printable(to));
}

QString apply(const QString& text)
{
    QList<Alias> aliases = load();
    // Longer wrong texts first, so "abc" is corrected before its own prefix "ab" is.
    std::stable_sort(aliases.begin(), aliases.end(), [](const Alias& a, const Alias& b) {
        return Text::graphemeCount(a.wrong) > Text::graphemeCount(b.wrong);
    });
    QString result = text;
    for (const Alias& alias : aliases)
        if (!alias.wrong.isEmpty() && alias.wrong != alias.right)
            result.replace(alias.wrong, alias.right, Qt::CaseInsensitive);
    return result;
}

}  // namespace AliasStore
