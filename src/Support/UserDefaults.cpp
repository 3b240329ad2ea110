#include "Support/UserDefaults.h"

#include "Support/FileIO.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcDefaults, "app.parlivox.defaults")

namespace {
bool laxBoolOfString(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    while (i < text.size() && text.at(i) == u'0')
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text.at(i);
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}
}  // namespace

UserDefaults::UserDefaults(QString filePath) : m_filePath(std::move(filePath))
{
    // What a write cut short by a crash left beside the file, where the disk has no unnamed files.
    FileIO::removeLeftoverTemporaries(QFileInfo(m_filePath).absolutePath());
    load();
}

QString UserDefaults::standardFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/parlivox/defaults.json");
}

void UserDefaults::load()
{
    if (!QFileInfo::exists(m_filePath))
        return;
    QString error;
    const auto bytes = FileIO::readAll(m_filePath, &error);
    QJsonParseError parseError{};
    const QJsonDocument document = bytes ? QJsonDocument::fromJson(*bytes, &parseError) : QJsonDocument();
    if (document.isObject()) {
        m_values = document.object();
        return;
    }
    const QString reason = !bytes                                         ? error
                           : parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                          : QStringLiteral("not a JSON object");
    QString moveError;
    const QString aside = FileIO::moveAside(m_filePath, &moveError);
    if (aside.isEmpty())
        qCCritical(lcDefaults,
                   "settings file %s is unreadable (%s); it cannot be moved aside (%s), starting from defaults",
                   qUtf8Printable(m_filePath), qUtf8Printable(reason), qUtf8Printable(moveError));
    else
        qCCritical(lcDefaults, "settings file %s is unreadable (%s); moved aside to %s and starting from defaults",
                   qUtf8Printable(m_filePath), qUtf8Printable(reason), qUtf8Printable(aside));
}

bool UserDefaults::save(QString* error)
{
    QString cause;
    if (FileIO::ensureDirectory(QFileInfo(m_filePath).absolutePath(), true, &cause) &&
        FileIO::writeAtomically(m_filePath, QJsonDocument(m_values).toJson(QJsonDocument::Indented), &cause, true))
        return true;
    qCWarning(lcDefaults, "cannot write %s: %s", qUtf8Printable(m_filePath), qUtf8Printable(cause));
    if (error)
        *error = cause;
    return false;
}

bool UserDefaults::contains(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_values.contains(key);
}

QJsonValue UserDefaults::value(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_values.value(key);
}

std::optional<QString> UserDefaults::string(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isString())
        return std::nullopt;
    return v.toString();
}

std::optional<bool> UserDefaults::strictBool(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isBool())
        return std::nullopt;
    return v.toBool();
}

bool UserDefaults::laxBool(const QString& key) const
{
    const QJsonValue v = value(key);
    switch (v.type()) {
    case QJsonValue::Bool:
        return v.toBool();
    case QJsonValue::Double:
        return v.toDouble() != 0.0;
    case QJsonValue::String:
        return laxBoolOfString(v.toString());
    default:
        return false;
    }
}

std::optional<QStringList> UserDefaults::stringArray(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isArray())
        return std::nullopt;
    QStringList result;
    for (const QJsonValue& element : v.toArray()) {
        if (!element.isString())
            return std::nullopt;
        result.append(element.toString());
    }
    return result;
}

std::optional<QMap<QString, QString>> UserDefaults::stringMap(const QString& key) const
{
    const QJsonValue v = value(key);
    if (!v.isObject())
        return std::nullopt;
    QMap<QString, QString> result;
    const QJsonObject object = v.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        result.insert(it.key(), it.value().toString());
    }
    return result;
}

bool UserDefaults::set(const QString& key, const QJsonValue& value, QString* error)
{
    std::lock_guard lock(m_mutex);
    m_values.insert(key, value);
    return save(error);
}

bool UserDefaults::remove(const QString& key, QString* error)
{
    std::lock_guard lock(m_mutex);
    m_values.remove(key);
    return save(error);
}
