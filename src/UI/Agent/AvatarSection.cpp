#include "UI/Agent/AvatarSection.h"

#include "Persistence/AppSettings.h"
#include "Speech/SystemSpeechPlayer.h"
#include "UI/Agent/AvatarPicker.h"
#include "UI/Agent/DiceBearRow.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Picker.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/VoiceChoices.h"
#include "UI/Settings/PickerFill.h"

namespace {
using S = AppSettings;

// The symbol beside each style's name.
QString symbol(AvatarStyle style)
{
    switch (style) {
    case AvatarStyle::female:
    case AvatarStyle::male:
        return QStringLiteral("person.crop.circle.fill");
    case AvatarStyle::cat:
        return QStringLiteral("cat.fill");
    case AvatarStyle::dog:
        return QStringLiteral("dog.fill");
    case AvatarStyle::hamster:
        return QStringLiteral("pawprint.fill");
    case AvatarStyle::rabbit:
        return QStringLiteral("hare.fill");
    case AvatarStyle::bear:
        return QStringLiteral("teddybear.fill");
    case AvatarStyle::custom:
        return QStringLiteral("photo.fill");
    }
    return {};
}

}  // namespace

AvatarSection::AvatarSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("avatarSection"), parent),
      m_style(makeControl<Picker>("avatarStylePicker", 220)), m_voice(makeControl<Picker>("voicePicker", 300))
{
    S& settings = context.settings;
    setTitle(QStringLiteral("settings.section.avatar"));

    texts().follow([this] { fillStyles(); });  // the names are localized
    SettingBinding::choice(*m_style, settings, &S::avatarStyle, &S::setAvatarStyle, &S::avatarStyleChanged);
    addLabelledRow(QStringLiteral("settings.avatar_style"), {m_style}, m_style);

    auto* gender = makeControl<Picker>("avatarGenderPicker", 200);
    texts().follow([this, gender] {
        PickerFill::fill(
            *gender,
            {PickerItem::choice(texts().t(QStringLiteral("settings.voice_female")), rawValue(AvatarGender::female)),
             PickerItem::choice(texts().t(QStringLiteral("settings.voice_male")), rawValue(AvatarGender::male))});
    });
    SettingBinding::choice(*gender, settings, &S::avatarGender, &S::setAvatarGender, &S::avatarGenderChanged);
    addLabelledRow(QStringLiteral("settings.avatar_voice"), {gender}, gender);

    addLabelledRow(QStringLiteral("settings.voice"), {m_voice}, m_voice);
    m_voiceHint = addNote(TextTint::secondary());
    m_voiceHint->setObjectName(QStringLiteral("voiceHint"));
    // The voices are listed afresh for each speech language; installed ones appear then.
    connect(&settings, &S::localeIDChanged, this, &AvatarSection::fillVoices);
    texts().follow([this] { fillVoices(); });
    SettingBinding::choice(*m_voice, settings, &S::selectedVoiceID, &S::setSelectedVoiceID, &S::selectedVoiceIDChanged);

    addRow(new DiceBearRow(context));
    auto* own = new AvatarPicker(context);
    own->setMinimumWidth(360);
    addLabelledRow(QStringLiteral("settings.avatar_image"), {own}, nullptr);
}

void AvatarSection::fillStyles()
{
    PickerItems items;
    for (const AvatarStyle style : allCases<AvatarStyle>())
        items << PickerItem::choice(localizedName(style, context().settings.uiLanguage()), rawValue(style),
                                    symbol(style));
    PickerFill::fill(*m_style, items);
}

void AvatarSection::fillVoices()
{
    QList<VoiceChoices::RatedVoice> installed;
    for (const SpeechVoice& voice : context().speechPlayer.voices())
        installed.append({voice, VoiceChoices::Quality::standard});  // espeak-ng rates none higher
    const auto voices = VoiceChoices::localeVoices(installed, context().settings.localeID());
    PickerFill::fill(*m_voice, VoiceChoices::items(voices, context().settings.uiLanguage()));
    const std::optional<QString> hint = VoiceChoices::hintKey(voices);
    m_voiceHint->setText(hint ? texts().t(*hint) : QString());
    m_voiceHint->setVisible(hint.has_value());
}
