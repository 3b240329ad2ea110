#include "Backend/BuiltInPrompts.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

TEST(BuiltInPrompts, LanguageNameByTableThenPlatformThenFallback)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ja-JP", "Japanese"},
        {"KO-kr", "Korean"},  // the key is lower-cased
        {"zh-Hant-TW", "Chinese"},
        {"kk", "Kazakh"},
        {"en_US", "English (United States)"},  // "_" does not split: looked up whole, then the platform's name
        {"sw-KE", "Swahili (Kenya)"},
        {"sw", "Swahili"},  // no region named, none invented
        {"xx", "the user's language"},  // unknown to the platform ("C" must not leak out)
        {"", "the user's language"},
        {"-", "the user's language"},
    };
    for (const auto& [locale, name] : cases)
        EXPECT_EQ(BuiltInPrompts::languageName(locale), QString::fromUtf8(name)) << locale;
}
