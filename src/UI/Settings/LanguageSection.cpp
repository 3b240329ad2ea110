#include "UI/Settings/LanguageSection.h"

#include "Persistence/AppSettings.h"
#include "Pipeline/AppServices.h"
#include "Speech/SystemSpeechPlayer.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/LocaleChoices.h"
#include "UI/Settings/PickerFill.h"

#include <QComboBox>

LanguageSection::LanguageSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("languageSection"), parent)
{
    AppSettings& settings = context.settings;
    setTitle(QStringLiteral("settings.section.language"));

    auto* languagePicker = makeControl<QComboBox>("uiLanguagePicker", 200);
    PickerItems languageItems;
    for (const AppLanguage language : allCases<AppLanguage>())
        languageItems << PickerItem::choice(title(language), rawValue(language));
    PickerFill::fill(*languagePicker, languageItems);
    SettingBinding::choice(*languagePicker, settings, &AppSettings::uiLanguage, &AppSettings::setUiLanguage,
                           &AppSettings::uiLanguageChanged);
    addLabelledRow(QStringLiteral("settings.ui_language"), languagePicker, languagePicker);

    QComboBox* speech = localePicker("localePicker", false, &AppSettings::localeID, &AppSettings::setLocaleID,
                                     &AppSettings::localeIDChanged);
    addLabelledRow(QStringLiteral("settings.locale"), speech, speech);
    QComboBox* source =
        localePicker("translateSourcePicker", false, &AppSettings::translateSourceLocale,
                     &AppSettings::setTranslateSourceLocale, &AppSettings::translateSourceLocaleChanged);
    addFixedLabelledRow(QStringLiteral("통역 — 사용자 언어"), source, source);
    QComboBox* target =
        localePicker("translateTargetPicker", true, &AppSettings::translateTargetLocale,
                     &AppSettings::setTranslateTargetLocale, &AppSettings::translateTargetLocaleChanged);
    addFixedLabelledRow(QStringLiteral("통역 — 비서 출력 언어"), target, target);

    addNote(TextTint::secondary(), TextStyle::Size::caption2)
        ->setText(QStringLiteral("통역 모드에서는 위 두 언어로 STT/TTS 가 자동 분기됩니다."));
}

// Refilled on every change of the setting, before the binding selects the new value, so a
// stored locale that is not on offer gets its marked entry first.
template <typename Getter, typename Setter, typename Signal>
QComboBox* LanguageSection::localePicker(const char* objectName, bool spoken, Getter get, Setter set, Signal changed)
{
    AppContext& ctx = context();
    auto* combo = makeControl<QComboBox>(objectName, 300);
    SettingBinding::follow(*combo, ctx.settings, changed, [combo, &ctx, spoken, get] {
        const QList<SpeechLocaleCatalog::Entry> offered =
            spoken ? LocaleChoices::spokenLocales(ctx.speechPlayer.voices()) : ctx.services.speechLocales.entries();
        PickerFill::fill(*combo, LocaleChoices::items(offered, (ctx.settings.*get)()));
    });
    SettingBinding::choice(*combo, ctx.settings, get, set, changed);
    return combo;
}
