#pragma once

#include "Persistence/AppLanguage.h"
#include "STT/SpeechLocaleCatalog.h"
#include "Speech/SpeechVoice.h"
#include "UI/Models/PickerItem.h"

// The entries of the locale pickers: the languages the recognizer can listen for or the
// synthesizer can speak, and a stored locale that is not among them.
namespace LocaleChoices {

// The offered locales in order; a stored locale that is not offered comes first, marked
// unavailable (saying why in the interface language), so the picker shows it and keeps it
// until the user picks another.
PickerItems items(const QList<SpeechLocaleCatalog::Entry>& offered, const QString& stored, AppLanguage language);

// The locales the voices speak, one per language and region ("ko" → "ko-KR",
// "en-GB-scotland" → "en-GB"), named like the recognition locales; voices of languages the
// locale data does not know are left out.
QList<SpeechLocaleCatalog::Entry> spokenLocales(const QList<SpeechVoice>& voices);

}  // namespace LocaleChoices
