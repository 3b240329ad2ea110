#include "Persistence/L10n.h"

#include "Persistence/AppLanguage.h"
#include "Support/FileIO.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcL10n, "app.parlivox.l10n")

namespace L10n {

QString t(const QString& key, AppLanguage language)
{
    return lookup(builtInTables(), key, language);
}

QString lookup(const Tables& tables, const QString& key, AppLanguage language)
{
    for (const QString& raw : {rawValue(language), rawValue(AppLanguage::english)}) {
        const Table& table = tables.value(raw);
        if (const auto text = table.constFind(key); text != table.cend())
            return *text;
    }
    return key;
}

const Tables& builtInTables()
{
    static const Tables kTables = [] {
        Tables result;
        for (AppLanguage language : allCases<AppLanguage>()) {
            QString error;
            const auto json = FileIO::readAll(tablePath(language), &error);
            auto table = json ? parseTable(*json, &error) : std::nullopt;
            if (!table)
                qCCritical(lcL10n, "table %s unusable: %s", qPrintable(tablePath(language)), qPrintable(error));
            result.insert(rawValue(language), table.value_or(Table()));
        }
        return result;
    }();
    return kTables;
}

QString tablePath(AppLanguage language)
{
    return QStringLiteral(":/Persistence/l10n/") + rawValue(language) + QStringLiteral(".json");
}

std::optional<Table> parseTable(const QByteArray& json, QString* error)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        if (error)
            *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                  : QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    Table table;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString()) {
            if (error)
                *error = QStringLiteral("the text of %1 is not a string").arg(it.key());
            return std::nullopt;
        }
        table.insert(it.key(), it.value().toString());
    }
    return table;
}

}  // namespace L10n
