#pragma once

#include "Support/RawEnum.h"

// The interface languages.
enum class AppLanguage {
    korean,
    english,
    japanese,
    chineseSimplified,
    chineseTraditional,
    spanish,
    french,
    german,
    italian,
    portuguese,
    russian,
    arabic,
    hindi,
    indonesian,
    vietnamese,
    thai,
    turkish,
    dutch,
    polish,
    swedish
};

template <>
struct RawEnumTraits<AppLanguage> {
    static constexpr std::array<RawCase<AppLanguage>, 20> cases{{
        {AppLanguage::korean, "ko"},
        {AppLanguage::english, "en"},
        {AppLanguage::japanese, "ja"},
        {AppLanguage::chineseSimplified, "zh"},
        {AppLanguage::chineseTraditional, "zh-Hant"},
        {AppLanguage::spanish, "es"},
        {AppLanguage::french, "fr"},
        {AppLanguage::german, "de"},
        {AppLanguage::italian, "it"},
        {AppLanguage::portuguese, "pt"},
        {AppLanguage::russian, "ru"},
        {AppLanguage::arabic, "ar"},
        {AppLanguage::hindi, "hi"},
        {AppLanguage::indonesian, "id"},
        {AppLanguage::vietnamese, "vi"},
        {AppLanguage::thai, "th"},
        {AppLanguage::turkish, "tr"},
        {AppLanguage::dutch, "nl"},
        {AppLanguage::polish, "pl"},
        {AppLanguage::swedish, "sv"},
    }};
};

// The language's own name, shown in the language picker.
QString title(AppLanguage language);
