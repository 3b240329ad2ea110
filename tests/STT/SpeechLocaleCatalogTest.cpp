#include "STT/SpeechLocaleCatalog.h"

#include "Common/QtPrinters.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

QStringList ids(const SpeechLocaleCatalog& catalog)
{
    QStringList result;
    for (const auto& entry : catalog.entries())
        result.append(entry.id);
    return result;
}

TEST(SpeechLocaleCatalog, PinnedLocalesComeFirstInTheirOwnOrder)
{
    const SpeechLocaleCatalog catalog({QStringLiteral("fr-FR"), QStringLiteral("zh-HK"), QStringLiteral("en_US"), QStringLiteral("de-DE"),
                                       QStringLiteral("ja-JP"), QStringLiteral("zh-Hant"), QStringLiteral("zh-CN"), QStringLiteral("ko_KR"),
                                       QStringLiteral("af")});
    EXPECT_THAT(ids(catalog), ElementsAre("ko-KR", "en-US", "ja-JP", "zh-CN", "zh-Hant", "zh-HK", "af", "de-DE", "fr-FR"));
}

TEST(SpeechLocaleCatalog, MissingPinnedLocalesAreSkipped)
{
    const SpeechLocaleCatalog catalog({QStringLiteral("fr-FR"), QStringLiteral("en-US")});
    EXPECT_THAT(ids(catalog), ElementsAre("en-US", "fr-FR"));
}

TEST(SpeechLocaleCatalog, DisplayNamesPairTheNativeAndTheEnglishName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ko-KR", "한국어 (대한민국) (Korean (South Korea))"},
        {"en-US", "English (United States)"},  // the same in both languages: shown once
        {"de-DE", "Deutsch (Deutschland) (German (Germany))"},
        {"zh-Hant", "繁體中文 (Chinese (Traditional Han))"},
        {"af", "Afrikaans"},
        {"xx-YY", "xx-YY"},   // no name at all
    };
    for (const auto& [id, name] : cases) {
        const SpeechLocaleCatalog catalog({QString::fromLatin1(id)});
        ASSERT_EQ(catalog.entries().size(), 1);
        EXPECT_EQ(catalog.entries().first().displayName, QString::fromUtf8(name)) << id;
    }
}

TEST(SpeechLocaleCatalog, SharedCatalogOffersTheInstalledModels)
{
    EXPECT_TRUE(ids(SpeechLocaleCatalog::shared()).contains(QStringLiteral("en-US")));
}

}  // namespace
