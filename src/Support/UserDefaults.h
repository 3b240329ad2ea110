#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>

// The user-defaults store: one JSON object in a file that keeps each value's type
// (strings, booleans, numbers, string arrays, string dictionaries). Every change rewrites
// the file at once and atomically, readable by the owner only since it holds API keys.
// A file that cannot be read or parsed is moved aside, never overwritten.
// Thread-safe.
class UserDefaults {
public:
    explicit UserDefaults(QString filePath);
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // "<XDG config dir>/parlivox/defaults.json"
    static QString standardFilePath();

    const QString& filePath() const { return m_filePath; }

    bool contains(const QString& key) const;
    QJsonValue value(const QString& key) const;

    // The stored string; nothing when absent or of another type.
    std::optional<QString> string(const QString& key) const;
    // The stored boolean; nothing when absent or of another type.
    std::optional<bool> strictBool(const QString& key) const;
    // The lax boolean reading of any stored value: numbers are true when not zero; strings
    // are true when, after leading blanks, a sign and zeros, they begin with Y, y, T, t or
    // a digit 1-9; absent and other values are false.
    bool laxBool(const QString& key) const;
    // Only when the value is an array whose every element is a string.
    std::optional<QStringList> stringArray(const QString& key) const;
    // Only when the value is an object whose every value is a string.
    std::optional<QMap<QString, QString>> stringMap(const QString& key) const;

    // Both rewrite the file. False, with the reason, when it could not be written: the change
    // then lives in memory only, and reaches the file with the next change that is saved.
    bool set(const QString& key, const QJsonValue& value, QString* error = nullptr);
    bool remove(const QString& key, QString* error = nullptr);

private:
    void load();
    bool save(QString* error);  // caller holds m_mutex

    const QString m_filePath;
    mutable std::mutex m_mutex;
    QJsonObject m_values;
};
