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

// Whether every object key inside the value is one Qt keeps: found by its listed name, with
// no U+FEFF and no lone surrogate.
bool plainKeys(const QJsonValue& value)
{
    if (value.isArray())
        return std::ranges::all_of(value.toArray(), plainKeys);
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        if (!object.contains(key) || key.contains(QChar(0xFEFF)) || !key.isValidUtf16() || !plainKeys(it.value()))
            return false;
    }
    return true;
}

// The value as JSON text without U+FEFF: Qt's reader drops one that begins a string, which its
// writer kept.
QByteArray withoutZwnbsp(const QJsonValue& value)
{
    return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).replace("\xEF\xBB\xBF", "");
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
    // Qt may list a key with U+FEFF or a lone surrogate under another name, and such keys can
    // upset the order in which it finds the others after a rewrite; no setting has one, so
    // values are compared only in files without them.
    const QStringList keys = plainKeys(stored) ? stored.keys() : QStringList();

    UserDefaults defaults(settingsPath());
    fuzzCheck(intact ? file.unchanged() : file.movedAsideWhole(),
              "reading never writes a good file and moves a damaged one aside whole");
    for (const QString& key : keys) {
        const QJsonValue value = stored.value(key);
        fuzzCheck(defaults.value(key) == value, "every stored value is read as it stands");
        fuzzCheck(defaults.string(key).has_value() == value.isString(), "a string only from a string");
        fuzzCheck(defaults.strictBool(key).has_value() == value.isBool(), "a boolean only from a boolean");
        fuzzCheck(defaults.stringArray(key).has_value() == isStringList(value), "a list only of strings");
        defaults.laxBool(key);
    }

    const QString key = QStringLiteral("parlivox.fuzzed");
    fuzzCheck(defaults.set(key, true), "a change is written");
    if (!intact)
        fuzzCheck(file.movedAsideWhole(), "a change never overwrites the damaged file");
    const UserDefaults reloaded(settingsPath());
    fuzzCheck(reloaded.strictBool(key) == true, "a change is on disk");
    for (const QString& stay : keys) {
        if (stay != key)
            fuzzCheck(withoutZwnbsp(reloaded.value(stay)) == withoutZwnbsp(stored.value(stay)),
                      "what was read survives the rewrite");
    }
    return 0;
}
