#include "Backend/BuiltInPrompts.h"

#include <gtest/gtest.h>

TEST(BuiltInPrompts, LanguageNameByTableThenPlatformThenFallback)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ja-JP", "Japanese"},
        {"KO-kr", "Korean"},           // the key is lower-cased
        {"zh-Hant-TW", "Chinese"},
        {"kk", "Kazakh"},
        {"en_US", "English (United States)"},  // "_" does not split: looked up whole, then the platform's name
        {"sw-KE", "Swahili (Kenya)"},
        {"sw", "Swahili"},             // no region named, none invented
        {"xx", "the user's language"},  // unknown to the platform ("C" must not leak out)
        {"", "the user's language"},
        {"-", "the user's language"},
    };
    for (const auto& [locale, name] : cases)
        EXPECT_EQ(BuiltInPrompts::languageName(locale), QString::fromUtf8(name)) << locale;
}

TEST(BuiltInPrompts, LanguagePromptNamesTheLanguageTwice)
{
    EXPECT_EQ(BuiltInPrompts::languagePrompt("ja-JP"),
              QString::fromUtf8("You are a concise voice assistant. The user speaks Japanese.\n"
                                "Always answer in Japanese \u2014 match the user's language even if they switch "
                                "mid-conversation.\nKeep replies to 1\u20133 short sentences suitable for spoken "
                                "text-to-speech. No markdown, no lists, no code blocks."));
}

TEST(BuiltInPrompts, KoreanPromptsOnlyForALowerCaseKoPrefix)
{
    const QString koreanLocale = BuiltInPrompts::localePrompt("ko-KR");
    const QString koreanAgent = BuiltInPrompts::agentSystemText("ko-KR");
    EXPECT_TRUE(koreanLocale.startsWith("You are a concise Korean voice assistant."));
    EXPECT_TRUE(koreanAgent.startsWith(QString::fromUtf8("당신은 음성 비서입니다.")));
    for (const char* other : {"en-US", "KO-kr", ""}) {
        EXPECT_EQ(BuiltInPrompts::localePrompt(other),
                  "You are a concise voice assistant. Answer naturally in the user's language unless asked otherwise.")
            << other;
        EXPECT_EQ(BuiltInPrompts::agentSystemText(other),
                  "You are a voice assistant. Answer naturally and concisely. Plain text only, no markdown. "
                  "Keep responses to 1-2 sentences.")
            << other;
    }
}
