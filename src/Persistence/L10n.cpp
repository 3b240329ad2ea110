#include "Persistence/L10n.h"

#include "Persistence/AppLanguage.h"
#include "Support/FileIO.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include <array>
#include <mutex>

Q_LOGGING_CATEGORY(lcL10n, "app.parlivox.l10n")

namespace L10n {

namespace {

// The first of the language's text and the English one; the key when neither has it.
template <typename TableOf>
QString find(const QString& key, AppLanguage language, TableOf tableOf)
{
    for (AppLanguage candidate : {language, AppLanguage::english}) {
        const Table& table = tableOf(candidate);
        if (const auto text = table.constFind(key); text != table.cend())
            return *text;
    }
    return key;
}

}  // namespace

QString t(const QString& key, AppLanguage language)
{
    return find(key, language, builtInTable);
}

QString t(const char* key, AppLanguage language)
{
    return t(QLatin1String(key), language);
}

AppLanguage languageOfLocale(const QString& localeID)
{
    QString identifier = localeID;
    identifier.replace(QLatin1Char('_'), QLatin1Char('-'));
    const QStringList parts = identifier.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    const QString code = parts.value(0).toLower();
    if (code == QLatin1String("zh")) {
        for (const QString& part : parts.mid(1)) {
            if (part.compare(QLatin1String("Hant"), Qt::CaseInsensitive) == 0 ||
                QStringList{"TW", "HK", "MO"}.contains(part.toUpper()))
                return AppLanguage::chineseTraditional;
        }
        return AppLanguage::chineseSimplified;
    }
    return fromRawValue<AppLanguage>(code).value_or(AppLanguage::english);
}

QLocale locale(AppLanguage language)
{
    return QLocale(rawValue(language));
}

QString lookup(const Tables& tables, const QString& key, AppLanguage language)
{
    static const Table kNone;
    return find(key, language, [&tables](AppLanguage candidate) -> const Table& {
        const auto table = tables.constFind(rawValue(candidate));
        return table != tables.cend() ? *table : kNone;
    });
}

const Table& builtInTable(AppLanguage language)
{
    constexpr std::size_t kLanguages = allCases<AppLanguage>().size();
    static std::array<std::once_flag, kLanguages> loaded;
    static std::array<Table, kLanguages> tables;
    const auto index = std::size_t(language);
    std::call_once(loaded[index], [language, &table = tables[index]] {
        QString error;
        const auto json = FileIO::readAll(tablePath(language), &error);
        auto parsed = json ? parseTable(*json, &error) : std::nullopt;
        if (!parsed)
            qCCritical(lcL10n, "table %s unusable: %s", qPrintable(tablePath(language)), qPrintable(error));
        table = parsed.value_or(Table());
    });
    return tables[index];
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
