#include "UI/Models/LocaleChoices.h"

#include "Persistence/L10n.h"

#include <QLocale>

namespace LocaleChoices {

PickerItems items(const QList<SpeechLocaleCatalog::Entry>& offered, const QString& stored, AppLanguage language)
{
    PickerItems items;
    const bool listed = std::any_of(offered.begin(), offered.end(),
                                    [&](const SpeechLocaleCatalog::Entry& e) { return e.id == stored; });
    if (!listed) {
        const QString name = SpeechLocaleCatalog({stored}).entries().value(0).displayName;
        items.append({PickerItem::Kind::unavailable,
                      QStringLiteral("⚠ ") + name,
                      stored,
                      {},
                      L10n::t(QStringLiteral("picker.unavailable"), language)});
    }
    for (const SpeechLocaleCatalog::Entry& entry : offered)
        items.append(PickerItem::choice(entry.displayName, entry.id));
    return items;
}

QList<SpeechLocaleCatalog::Entry> spokenLocales(const QList<SpeechVoice>& voices)
{
    QStringList ids;
    for (const SpeechVoice& voice : voices) {
        const QLocale locale(voice.language);
        if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
            continue;
        const QString id = locale.name().replace(QLatin1Char('_'), QLatin1Char('-'));
        if (!ids.contains(id))
            ids.append(id);
    }
    return SpeechLocaleCatalog(ids).entries();
}

}  // namespace LocaleChoices
