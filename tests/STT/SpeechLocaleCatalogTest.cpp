#include "STT/SpeechLocaleCatalog.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

QStringList ids(const SpeechLocaleCatalog& catalog)
{
    QStringList result;
    for (const auto& entry : catalog.entries())
        result.append(entry.id);
    return result;
}

TEST(SpeechLocaleCatalog, PinnedLocalesComeFirstInTheirOwnOrderAndMissingOnesAreSkipped)
{
    const std::pair<QStringList, QStringList> cases[] = {
        {{"fr-FR", "zh-HK", "en_US", "de-DE", "ja-JP", "zh-Hant", "zh-CN", "ko_KR", "af"},
         {"ko-KR", "en-US", "ja-JP", "zh-CN", "zh-Hant", "zh-HK", "af", "de-DE", "fr-FR"}},
        {{"fr-FR", "en-US"}, {"en-US", "fr-FR"}},
    };
    for (const auto& [installed, expected] : cases)
        EXPECT_EQ(ids(SpeechLocaleCatalog(installed)), expected);
}

TEST(SpeechLocaleCatalog, DisplayNamesPairTheNativeAndTheEnglishName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ko-KR", "한국어 (대한민국) (Korean (South Korea))"},
        {"en-US", "English (United States)"},  // the same in both languages: shown once
        {"de-DE", "Deutsch (Deutschland) (German (Germany))"},
        {"zh-Hant", "繁體中文 (Chinese (Traditional Han))"},
        {"af", "Afrikaans"},
        {"an-ES", "Aragonese (Spain)"},  // no native name: the English one alone
        {"xx-YY", "xx-YY"},  // no name at all
    };
    for (const auto& [id, name] : cases) {
        const SpeechLocaleCatalog catalog({QString::fromLatin1(id)});
        ASSERT_EQ(catalog.entries().size(), 1);
        EXPECT_EQ(catalog.entries().first().displayName, QString::fromUtf8(name)) << id;
    }
}

}  // namespace
