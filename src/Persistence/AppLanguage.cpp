#include "Persistence/AppLanguage.h"

QString title(AppLanguage language)
{
    switch (language) {
    case AppLanguage::korean:
        return QStringLiteral("한국어");
    case AppLanguage::english:
        return QStringLiteral("English");
    case AppLanguage::japanese:
        return QStringLiteral("日本語");
    case AppLanguage::chineseSimplified:
        return QStringLiteral("简体中文");
    case AppLanguage::chineseTraditional:
        return QStringLiteral("繁體中文");
    case AppLanguage::spanish:
        return QStringLiteral("Español");
    case AppLanguage::french:
        return QStringLiteral("Français");
    case AppLanguage::german:
        return QStringLiteral("Deutsch");
    case AppLanguage::italian:
        return QStringLiteral("Italiano");
    case AppLanguage::portuguese:
        return QStringLiteral("Português");
    case AppLanguage::russian:
        return QStringLiteral("Русский");
    case AppLanguage::arabic:
        return QStringLiteral("العربية");
    case AppLanguage::hindi:
        return QStringLiteral("हिन्दी");
    case AppLanguage::indonesian:
        return QStringLiteral("Bahasa Indonesia");
    case AppLanguage::vietnamese:
        return QStringLiteral("Tiếng Việt");
    case AppLanguage::thai:
        return QStringLiteral("ภาษาไทย");
    case AppLanguage::turkish:
        return QStringLiteral("Türkçe");
    case AppLanguage::dutch:
        return QStringLiteral("Nederlands");
    case AppLanguage::polish:
        return QStringLiteral("Polski");
    case AppLanguage::swedish:
        return QStringLiteral("Svenska");
    }
    return {};
}
