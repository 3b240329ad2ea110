#include "UI/Models/VoiceChoices.h"

#include "Persistence/L10n.h"

#include <algorithm>

namespace VoiceChoices {

QString languageCode(const QString& localeID)
{
    return localeID.split(QLatin1Char('-'), Qt::SkipEmptyParts).value(0);
}

QList<RatedVoice> localeVoices(const QList<RatedVoice>& installed, const QString& localeID)
{
    const QString code = languageCode(localeID);
    QList<RatedVoice> kept;
    for (const RatedVoice& rated : installed) {
        const QString& language = rated.voice.language;
        if (code.isEmpty() || language == code || language.startsWith(code + QLatin1Char('-')))
            kept.append(rated);
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const RatedVoice& a, const RatedVoice& b) { return a.voice.name < b.voice.name; });
    return kept;
}

QString voiceLabel(const QString& name, Quality quality)
{
    switch (quality) {
    case Quality::premium:
        return QStringLiteral("✨ ") + name + QStringLiteral(" · Premium");
    case Quality::enhanced:
        return QStringLiteral("✦ ") + name + QStringLiteral(" · Enhanced");
    case Quality::standard:
        break;
    }
    return QStringLiteral("   ") + name;
}

PickerItems items(const QList<RatedVoice>& localeVoices, AppLanguage language)
{
    PickerItems items{PickerItem::choice(L10n::t(QStringLiteral("settings.voice_auto"), language), QString())};
    const std::pair<Quality, const char*> groups[] = {
        {Quality::premium, "settings.voice_group_premium"},
        {Quality::enhanced, "settings.voice_group_enhanced"},
        {Quality::standard, "settings.voice_group_standard"},
    };
    for (const auto& [quality, titleKey] : groups) {
        PickerItems group;
        for (const RatedVoice& rated : localeVoices)
            if (rated.quality == quality)
                group.append(PickerItem::choice(voiceLabel(rated.voice.name, quality), rated.voice.identifier));
        if (!group.isEmpty())
            items << PickerItem::header(L10n::t(QLatin1String(titleKey), language)) << group;
    }
    return items;
}

std::optional<QString> hintKey(const QList<RatedVoice>& localeVoices)
{
    if (localeVoices.isEmpty())
        return QStringLiteral("settings.voice_none");
    const bool premium = std::any_of(localeVoices.begin(), localeVoices.end(),
                                     [](const RatedVoice& rated) { return rated.quality == Quality::premium; });
    if (!premium)
        return QStringLiteral("settings.voice_premium_hint");
    return std::nullopt;
}

}  // namespace VoiceChoices
