#include "UI/Settings/LanguageSection.h"

#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Speech/SystemSpeechPlayer.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Picker.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/LocaleChoices.h"
#include "UI/Settings/PickerFill.h"

LanguageSection::LanguageSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("languageSection"), parent)
{
    AppSettings& settings = context.settings;
    setTitle(QStringLiteral("settings.section.language"));

    auto* languagePicker = makeControl<Picker>("uiLanguagePicker", 200);
    PickerItems languageItems;
    for (const AppLanguage language : allCases<AppLanguage>())
        languageItems << PickerItem::choice(title(language), rawValue(language));
    PickerFill::fill(*languagePicker, languageItems);
    SettingBinding::choice(*languagePicker, settings, &AppSettings::uiLanguage, &AppSettings::setUiLanguage,
                           &AppSettings::uiLanguageChanged);
    addLabelledRow(QStringLiteral("settings.ui_language"), {languagePicker}, languagePicker);

    Picker* speech = localePicker("localePicker", false, &AppSettings::localeID, &AppSettings::setLocaleID,
                                  &AppSettings::localeIDChanged);
    addLabelledRow(QStringLiteral("settings.locale"), {speech}, speech);
    Picker* source = localePicker("translateSourcePicker", false, &AppSettings::translateSourceLocale,
                                  &AppSettings::setTranslateSourceLocale, &AppSettings::translateSourceLocaleChanged);
    addLabelledRow(QStringLiteral("settings.translate_source"), {source}, source);
    Picker* target = localePicker("translateTargetPicker", true, &AppSettings::translateTargetLocale,
                                  &AppSettings::setTranslateTargetLocale, &AppSettings::translateTargetLocaleChanged);
    addLabelledRow(QStringLiteral("settings.translate_target"), {target}, target);

    texts().label(*addNote(TextTint::secondary(), TextStyle::Size::caption2),
                  QStringLiteral("settings.translate_note"));
}

// Refilled on every change of the setting, before the binding selects the new value, so a
// stored locale that is not on offer gets its marked entry first.
template <typename Getter, typename Setter, typename Signal>
Picker* LanguageSection::localePicker(const char* objectName, bool spoken, Getter get, Setter set, Signal changed)
{
    AppContext& ctx = context();
    auto* combo = makeControl<Picker>(objectName, 300);
    const auto fill = [combo, &ctx, spoken, get] {
        const QList<SpeechLocaleCatalog::Entry> offered =
            spoken ? LocaleChoices::spokenLocales(ctx.speechPlayer.voices()) : ctx.services.speechLocales.entries();
        PickerFill::fill(*combo, LocaleChoices::items(offered, (ctx.settings.*get)(), ctx.settings.uiLanguage()));
    };
    SettingBinding::follow(*combo, ctx.settings, changed, fill);
    connect(&ctx.settings, &AppSettings::uiLanguageChanged, combo, fill);  // the unavailable entry's note
    SettingBinding::choice(*combo, ctx.settings, get, set, changed);
    return combo;
}
