#include "Persona/PersonaStore.h"

#include "Persona/NemotronPersonaCatalog.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"
#include "Support/Text.h"

#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <mutex>
#include <set>

Q_LOGGING_CATEGORY(lcPersona, "app.parlivox.persona")

namespace PersonaStore {

namespace {
const QString kMemoryPlaceholder = QStringLiteral("- (아직 학습된 정보가 없음)");

QString builtIn(const QString& name)
{
    const auto bytes = FileIO::readAll(QStringLiteral(":/Persona/prompt/") + name);
    Q_ASSERT_X(bytes, "PersonaStore", "built-in text missing");
    return QString::fromUtf8(bytes.value_or(QByteArray()));
}

// The built-in texts exist in these languages; every other one gets English.
QString defaultsLanguage(const QString& language)
{
    if (language == QLatin1String("ko") || language == QLatin1String("ja"))
        return language;
    if (language == QLatin1String("zh") || language == QLatin1String("zh-Hant"))
        return QStringLiteral("zh");
    return QStringLiteral("en");
}

// A code that came from a hand-edited setting must not reach outside the persona folder.
QString safeCode(const QString& code)
{
    static const QRegularExpression kPattern(QStringLiteral("^[A-Za-z]{1,8}(-[A-Za-z0-9]{1,8})*$"));
    return kPattern.match(code).hasMatch() ? code : QStringLiteral("en");
}

// The file's text, or nothing when it is missing, unreadable or not valid UTF-8.
// The file's text; nothing when it cannot be read (`error` says why) or is not UTF-8.
std::optional<QString> readUtf8(const QString& path, QString* error = nullptr)
{
    QString cause;
    const auto bytes = FileIO::readAll(path, &cause);
    std::optional<QString> text = bytes ? Text::decodeUtf8Strict(*bytes, Text::LeadingBom::skip) : std::nullopt;
    if (!text && error)
        *error = bytes ? QStringLiteral("%1 cannot be read as UTF-8").arg(path)
                       : QStringLiteral("%1 cannot be read: %2").arg(path, cause);
    return text;
}

bool write(const QString& path, const QString& text, QString* error = nullptr)
{
    QString cause;
    if (FileIO::ensureDirectory(directory(), false, &cause) && FileIO::writeAtomically(path, text.toUtf8(), &cause))
        return true;
    qCWarning(lcPersona, "cannot write %s: %s", qUtf8Printable(path), qUtf8Printable(cause));
    if (error)
        *error = cause;
    return false;
}

bool writeIfMissing(const QString& path, const QString& text, QString* error = nullptr)
{
    return QFile::exists(path) || write(path, text, error);
}

// Files of the older layout, which were Korean, move to the Korean names once per folder.
void migrateLegacyIfNeeded()
{
    static std::mutex mutex;
    static std::set<QString> migrated;
    {
        std::lock_guard lock(mutex);
        if (!migrated.insert(directory()).second)
            return;
    }
    for (const char* kind : {"soul", "contract"}) {
        const QString legacy = directory() + QStringLiteral("/%1.md").arg(QLatin1String(kind));
        const QString korean = directory() + QStringLiteral("/%1.ko.md").arg(QLatin1String(kind));
        if (QFile::exists(legacy) && !QFile::exists(korean) && QFile::rename(legacy, korean))
            qCInfo(lcPersona, "migrated %s.md → %s.ko.md", kind, kind);
    }
}

QString modeOverlay(AppMode mode, bool korean)
{
    const QString suffix = korean ? QStringLiteral(".ko.md") : QStringLiteral(".en.md");
    switch (mode) {
    case AppMode::brainstorm:
        return builtIn(QStringLiteral("brainstorm") + suffix);
    case AppMode::counseling:
        return builtIn(QStringLiteral("counseling") + suffix);
    case AppMode::conversation:
    case AppMode::minutes:
    case AppMode::translate:
        break;
    }
    return {};
}

QString personaBlock(const QString& personaID)
{
    if (personaID.isEmpty())
        return {};
    const auto persona = NemotronPersonaCatalog::persona(personaID);
    if (!persona)
        return {};
    return builtIn(QStringLiteral("persona-block.md"))
        .arg(persona->name, QString::number(persona->age), persona->sex, persona->district, persona->occupation,
             persona->persona, persona->professionalPersona, persona->hobbiesAndInterests);
}

QString interpreterPrompt(const SystemPromptRequest& request)
{
    const QString target =
        request.translateTargetLocale.isEmpty() ? QStringLiteral("en-US") : request.translateTargetLocale;
    return builtIn(QStringLiteral("interpreter.txt"))
        .arg(translateLanguageName(request.localeID), translateLanguageName(target));
}
}  // namespace

QString directory()
{
    return AppPaths::root() + QStringLiteral("/persona");
}

QString soulPath(const QString& language)
{
    return directory() + QStringLiteral("/soul.") + safeCode(language) + QStringLiteral(".md");
}

QString contractPath(const QString& language)
{
    return directory() + QStringLiteral("/contract.") + safeCode(language) + QStringLiteral(".md");
}

QString memoryPath()
{
    return directory() + QStringLiteral("/memory.md");
}

QString languageCode(const QString& localeID)
{
    QString identifier = localeID;
    identifier.replace(QLatin1Char('_'), QLatin1Char('-'));
    if (identifier.startsWith(QLatin1String("zh-Hant")))
        return QStringLiteral("zh-Hant");
    if (identifier.startsWith(QLatin1String("zh-Hans")))
        return QStringLiteral("zh");
    const QStringList parts = identifier.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? QStringLiteral("en") : safeCode(parts.first());
}

QString defaultSoul(const QString& language)
{
    return builtIn(QStringLiteral("soul.%1.md").arg(defaultsLanguage(language)));
}

QString defaultContract(const QString& language)
{
    return builtIn(QStringLiteral("contract.%1.md").arg(defaultsLanguage(language)));
}

void ensureFiles(const QString& language)
{
    if (!FileIO::ensureDirectory(directory()))
        return;
    migrateLegacyIfNeeded();
    writeIfMissing(soulPath(language), defaultSoul(language));
    writeIfMissing(contractPath(language), defaultContract(language));
}

bool resetToDefaults(const QString& language, QString* error)
{
    return write(soulPath(language), defaultSoul(language), error) &&
           write(contractPath(language), defaultContract(language), error);
}

bool ensureMemoryFile(QString* error)
{
    return writeIfMissing(memoryPath(), builtIn(QStringLiteral("memory-template.md")), error);
}

QString memory()
{
    ensureMemoryFile();
    return readUtf8(memoryPath()).value_or(builtIn(QStringLiteral("memory-template.md")));
}

bool appendMemory(const QString& fact, const QDateTime& now, QString* error)
{
    const QString trimmed = Text::trimmed(fact);
    if (trimmed.isEmpty())
        return false;
    if (!ensureMemoryFile(error))
        return false;
    QString unreadable;
    const auto current = readUtf8(memoryPath(), &unreadable);
    if (!current) {
        // Rewriting it from the template would lose every fact the user has.
        qCCritical(lcPersona, "%s; the fact is not added and the file is left as it is", qUtf8Printable(unreadable));
        if (error)
            *error = unreadable;
        return false;
    }
    QStringList lines = current->split(QLatin1Char('\n'));
    lines.removeAll(kMemoryPlaceholder);
    QString text = lines.join(QLatin1Char('\n'));
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    const QString stamp = now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    text += QStringLiteral("- [") + stamp + QStringLiteral("] ") + trimmed + QLatin1Char('\n');
    return write(memoryPath(), text, error);
}

QString translateLanguageName(const QString& localeID)
{
    static const QHash<QString, QString> kNames = {
        {"ko", "Korean"},  {"en", "English"}, {"ja", "Japanese"},   {"zh", "Chinese"},    {"es", "Spanish"},
        {"fr", "French"},  {"de", "German"},  {"it", "Italian"},    {"pt", "Portuguese"}, {"ru", "Russian"},
        {"ar", "Arabic"},  {"hi", "Hindi"},   {"id", "Indonesian"}, {"vi", "Vietnamese"}, {"th", "Thai"},
        {"tr", "Turkish"}, {"nl", "Dutch"},   {"pl", "Polish"},     {"sv", "Swedish"},
    };
    const QStringList parts = localeID.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    const QString base = (parts.isEmpty() ? localeID : parts.first()).toLower();
    if (const auto it = kNames.constFind(base); it != kNames.constEnd())
        return *it;

    // The platform's English name of the identifier, "Language (Region)" when a region is given.
    const QStringList subtags = QString(localeID).replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
    const QLocale::Language language = QLocale::codeToLanguage(subtags.first());
    QString name;
    if (language != QLocale::AnyLanguage && language != QLocale::C) {
        name = QLocale::languageToString(language);
        for (const QString& subtag : subtags.mid(1)) {
            const QLocale::Territory territory = QLocale::codeToTerritory(subtag);
            if (territory != QLocale::AnyTerritory) {
                name += QStringLiteral(" (") + QLocale::territoryToString(territory) + QLatin1Char(')');
                break;
            }
        }
    }
    return !name.isEmpty() && name != localeID ? name : QStringLiteral("the user's language");
}

QString systemPrompt(const SystemPromptRequest& request)
{
    if (request.mode == AppMode::translate)
        return interpreterPrompt(request);

    const QString code = languageCode(request.localeID);
    const bool korean = code == QLatin1String("ko");
    const QString overlay = modeOverlay(request.mode, korean);
    ensureFiles(code);
    return builtIn(QStringLiteral("system-prompt.txt"))
        .arg(builtIn(korean ? QStringLiteral("name.ko.txt") : QStringLiteral("name.en.txt")).arg(request.name),
             readUtf8(soulPath(code)).value_or(defaultSoul(code)),
             readUtf8(contractPath(code)).value_or(defaultContract(code)),
             overlay.isEmpty() ? QString() : QLatin1Char('\n') + overlay + QLatin1Char('\n'),
             korean ? personaBlock(request.personaID) : QString(), memory(),
             builtIn(korean ? QStringLiteral("format.ko.md") : QStringLiteral("format.en.md")), request.toolsManifest);
}

}  // namespace PersonaStore
