#include "Backend/BuiltInPrompts.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <utility>

namespace BuiltInPrompts {

namespace {

bool isKorean(const QString& localeID)
{
    return localeID.startsWith(QLatin1String("ko"));
}

constexpr std::array<std::pair<const char*, const char*>, 36> kKnownLanguages{{
    {"ko", "Korean"},    {"en", "English"},   {"ja", "Japanese"}, {"zh", "Chinese"},    {"es", "Spanish"},
    {"fr", "French"},    {"de", "German"},    {"it", "Italian"},  {"pt", "Portuguese"}, {"ru", "Russian"},
    {"ar", "Arabic"},    {"tl", "Filipino"},  {"hi", "Hindi"},    {"id", "Indonesian"}, {"vi", "Vietnamese"},
    {"th", "Thai"},      {"tr", "Turkish"},   {"nl", "Dutch"},    {"pl", "Polish"},     {"sv", "Swedish"},
    {"da", "Danish"},    {"no", "Norwegian"}, {"fi", "Finnish"},  {"ca", "Catalan"},    {"cs", "Czech"},
    {"hu", "Hungarian"}, {"ro", "Romanian"},  {"sk", "Slovak"},   {"hr", "Croatian"},   {"uk", "Ukrainian"},
    {"bg", "Bulgarian"}, {"el", "Greek"},     {"he", "Hebrew"},   {"fa", "Persian"},    {"ms", "Malay"},
    {"kk", "Kazakh"},
}};

// The English display name from Qt's locale data: the language, plus the region when the
// identifier names one. Nothing for identifiers Qt does not know (it falls back to "C").
QString platformDisplayName(const QString& localeID)
{
    const QLocale locale(localeID);
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return {};
    QString name = QLocale::languageToString(locale.language());
    static const QRegularExpression kRegionPart(QStringLiteral("[-_]([A-Za-z]{2}|[0-9]{3})(?:[-_.@]|$)"));
    if (kRegionPart.match(localeID).hasMatch() && locale.territory() != QLocale::AnyTerritory)
        name += QStringLiteral(" (") + QLocale::territoryToString(locale.territory()) + QLatin1Char(')');
    return name;
}

}  // namespace

QString localePrompt(const QString& localeID)
{
    if (isKorean(localeID))
        return QStringLiteral("You are a concise Korean voice assistant. "
                              "Answer naturally in Korean unless the user asks otherwise.");
    return QStringLiteral("You are a concise voice assistant. "
                          "Answer naturally in the user's language unless asked otherwise.");
}

QString languagePrompt(const QString& localeID)
{
    const QString language = languageName(localeID);
    return QStringLiteral("You are a concise voice assistant. The user speaks ") + language +
           QStringLiteral(".\nAlways answer in ") + language +
           QStringLiteral(" \u2014 match the user's language even if they switch mid-conversation.\n"
                          "Keep replies to 1\u20133 short sentences suitable for spoken text-to-speech. "
                          "No markdown, no lists, no code blocks.");
}

QString agentSystemText(const QString& localeID)
{
    if (isKorean(localeID))
        return QStringLiteral("당신은 음성 비서입니다. 한국어로 자연스럽고 간결하게 답하세요. "
                              "마크다운 없이 평문으로만 답하세요. 한 두 문장으로 짧게 답하세요.");
    return QStringLiteral("You are a voice assistant. Answer naturally and concisely. "
                          "Plain text only, no markdown. Keep responses to 1-2 sentences.");
}

QString languageName(const QString& localeID)
{
    const QStringList pieces = localeID.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    const QString key = (pieces.isEmpty() ? localeID : pieces.first()).toLower();
    for (const auto& [code, name] : kKnownLanguages)
        if (key == QLatin1String(code))
            return QString::fromLatin1(name);
    const QString display = platformDisplayName(localeID);
    if (!display.isEmpty() && display != localeID)
        return display;
    return QStringLiteral("the user's language");
}

}  // namespace BuiltInPrompts
