#include "UI/Kit/QtTranslations.h"

#include "Persistence/AppSettings.h"

#include <QCoreApplication>
#include <QLibraryInfo>

QtTranslations::QtTranslations(const AppSettings& settings, QObject* parent)
    : QObject(parent), m_settings(settings), m_localeBefore(QLocale())
{
    follow();
    connect(&settings, &AppSettings::uiLanguageChanged, this, &QtTranslations::follow);
}

QtTranslations::~QtTranslations()
{
    QCoreApplication::removeTranslator(&m_translator);
    QLocale::setDefault(m_localeBefore);
}

void QtTranslations::follow()
{
    // "zh-Hant" names its script; QLocale finds the catalogue by script and region ("qt_zh_TW").
    const QLocale locale(rawValue(m_settings.uiLanguage()));
    QLocale::setDefault(locale);
    QCoreApplication::removeTranslator(&m_translator);
    if (m_translator.load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_translator);
}
