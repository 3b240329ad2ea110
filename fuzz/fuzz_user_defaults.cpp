// Any settings file: one that holds a JSON object is read as it stands and never written by
// reading; any other is moved aside whole, and the next change never overwrites it. What is
// read survives the rewrite that a change makes.
#include "FuzzCheck.h"
#include "FuzzedStoreFile.h"
#include "Storage/AppPaths.h"
#include "Support/UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cstdint>

namespace {

QString settingsPath()
{
    return AppPaths::root() + QStringLiteral("/parlivox/defaults.json");
}

bool isStringList(const QJsonValue& value)
{
    return value.isArray() && std::ranges::all_of(value.toArray(), [](const QJsonValue& v) { return v.isString(); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const FuzzedStoreFile file(&settingsPath, bytes);
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray(), &parseError);
    const bool intact = parseError.error == QJsonParseError::NoError && document.isObject();
    const QJsonObject stored = document.object();

    UserDefaults defaults(settingsPath());
    fuzzCheck(intact ? file.unchanged() : file.movedAsideWhole(),
              "reading never writes a good file and moves a damaged one aside whole");
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        const QString& key = it.key();
        fuzzCheck(defaults.value(key) == it.value(), "every stored value is read as it stands");
        fuzzCheck(defaults.string(key).has_value() == it.value().isString(), "a string only from a string");
        fuzzCheck(defaults.strictBool(key).has_value() == it.value().isBool(), "a boolean only from a boolean");
        fuzzCheck(defaults.stringArray(key).has_value() == isStringList(it.value()), "a list only of strings");
        defaults.laxBool(key);
    }

    const QString key = QStringLiteral("parlivox.fuzzed");
    fuzzCheck(defaults.set(key, true), "a change is written");
    if (!intact)
        fuzzCheck(file.movedAsideWhole(), "a change never overwrites the damaged file");
    const UserDefaults reloaded(settingsPath());
    fuzzCheck(reloaded.strictBool(key) == true, "a change is on disk");
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        if (it.key() != key)
            fuzzCheck(reloaded.value(it.key()) == it.value(), "what was read survives the rewrite");
    }
    return 0;
}
