#include "STT/SpeechLocaleCatalog.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace {

bool isScriptSubtag(const QString& subtag)
{
    return subtag.size() == 4;
}

// The language's own name without a regional flavour where there is one ("English", not
// "American English"); the region is named separately.
QString nativeLanguageName(const QLocale& locale)
{
    const QLocale international(locale.language(), locale.script(), QLocale::World);
    return international.territory() == QLocale::World ? international.nativeLanguageName()
                                                       : locale.nativeLanguageName();
}

}  // namespace

SpeechLocaleCatalog::SpeechLocaleCatalog(const QStringList& supported)
{
    QStringList ids;
    for (QString id : supported)
        ids.append(id.replace(QLatin1Char('_'), QLatin1Char('-')));
    for (const char* pinned : kPinnedIDs) {
        const QString id = QString::fromLatin1(pinned);
        if (ids.removeAll(id) > 0)
            m_entries.append(makeEntry(id));
    }
    QList<Entry> rest;
    for (const QString& id : ids)
        rest.append(makeEntry(id));
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(rest.begin(), rest.end(), [&collator](const Entry& a, const Entry& b) {
        return collator.compare(a.displayName, b.displayName) < 0;
    });
    m_entries.append(rest);
}

// The locale's name in its own language and in English, each with the script and region the
// identifier names; one name alone when both read the same or the language has no native
// name, the identifier itself when the locale has no name at all.
SpeechLocaleCatalog::Entry SpeechLocaleCatalog::makeEntry(const QString& id)
{
    const QLocale locale(id);
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return {id, id};
    QStringList nativeDetails;
    QStringList englishDetails;
    for (const QString& subtag : id.split(QLatin1Char('-')).mid(1)) {
        if (isScriptSubtag(subtag)) {
            englishDetails.append(QLocale::scriptToString(locale.script()));
        } else {
            nativeDetails.append(locale.nativeTerritoryName());
            englishDetails.append(QLocale::territoryToString(locale.territory()));
        }
    }
    const auto named = [](const QString& name, const QStringList& details) {
        return details.isEmpty() ? name
                                 : name + QStringLiteral(" (") + details.join(QStringLiteral(", ")) + QLatin1Char(')');
    };
    const QString englishName = named(QLocale::languageToString(locale.language()), englishDetails);
    // The locale data has no own name for some languages (Aragonese): the English one stands alone.
    const QString nativeLanguage = nativeLanguageName(locale);
    if (nativeLanguage.isEmpty())
        return {id, englishName};
    const QString nativeName = named(nativeLanguage, nativeDetails);
    if (nativeName == englishName)
        return {id, nativeName};
    return {id, nativeName + QStringLiteral(" (") + englishName + QLatin1Char(')')};
}
