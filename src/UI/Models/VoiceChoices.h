#pragma once

#include "Persistence/AppLanguage.h"
#include "Speech/SpeechVoice.h"
#include "UI/Models/PickerItem.h"

#include <optional>

// The voice picker of the avatar section: the installed voices of the speech language,
// grouped by quality, after an automatic entry, and the hint shown under it.
namespace VoiceChoices {

// How good a voice sounds, as the synthesizer rates it; espeak-ng rates none, so every voice
// of this system is standard.
enum class Quality { standard, enhanced, premium };

struct RatedVoice {
    SpeechVoice voice;
    Quality quality = Quality::standard;
};

// The first non-empty piece of the locale split at "-"; "" when there is none.
QString languageCode(const QString& localeID);

// The voices of the locale's language (its code is the voice's whole language or the part
// before a "-", so "ko" keeps "ko" and "ko-KR" but not Konkani's "kok"; an empty code keeps
// every voice), sorted by name in code-point order.
QList<RatedVoice> localeVoices(const QList<RatedVoice>& installed, const QString& localeID);

// "✨ <name> · Premium", "✦ <name> · Enhanced", or three spaces and the name.
QString voiceLabel(const QString& name, Quality quality);

// The automatic entry (""), then the premium, enhanced and standard voices, each group
// under its title and only when it has voices.
PickerItems items(const QList<RatedVoice>& localeVoices, AppLanguage language);

// The key of the hint under the picker: no voice at all, or no premium one; nothing otherwise.
std::optional<QString> hintKey(const QList<RatedVoice>& localeVoices);

}  // namespace VoiceChoices
