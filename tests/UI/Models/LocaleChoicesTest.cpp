// The locale pickers' entries: a stored locale that is not on offer comes first and marked;
// the spoken locales are the voices' languages with their regions, each once.
#include "UI/Models/LocaleChoices.h"

#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"

#include <gtest/gtest.h>

namespace {
using Kind = PickerItem::Kind;

TEST(LocaleChoices, aStoredLocaleNotOnOfferIsKeptAsAMarkedFirstEntry)
{
    const QList<SpeechLocaleCatalog::Entry> offered = SpeechLocaleCatalog({"ko-KR", "en-US"}).entries();
    struct Case {
        QString stored;
        QList<Kind> kinds;
        QStringList values;
    };
    const Case cases[] = {
        {"en-US", {Kind::choice, Kind::choice}, {"ko-KR", "en-US"}},
        {"en_US", {Kind::unavailable, Kind::choice, Kind::choice}, {"en_US", "ko-KR", "en-US"}},
        {"fr-FR", {Kind::unavailable, Kind::choice, Kind::choice}, {"fr-FR", "ko-KR", "en-US"}},
        {"", {Kind::unavailable, Kind::choice, Kind::choice}, {"", "ko-KR", "en-US"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        const PickerItems items = LocaleChoices::items(offered, c.stored, AppLanguage::english);
        QList<Kind> kinds;
        QStringList values;
        for (const PickerItem& item : items) {
            kinds << item.kind;
            values << item.value;
        }
        EXPECT_EQ(kinds, c.kinds);
        EXPECT_EQ(values, c.values);
        if (kinds.first() == Kind::unavailable) {
            EXPECT_TRUE(items.first().text.startsWith("⚠ ")) << items.first().text.toStdString();
        }
    }
    const PickerItem unavailable = LocaleChoices::items(offered, "fr-FR", AppLanguage::german).first();
    EXPECT_EQ(unavailable.text, "⚠ français (France) (French (France))");
    EXPECT_EQ(unavailable.help, L10n::t("picker.unavailable", AppLanguage::german));
}

TEST(LocaleChoices, spokenLocalesAreTheVoicesLanguagesWithTheirRegionsOnce)
{
    const QList<SpeechVoice> voices{
        {"de", "German", "de"},
        {"ko", "Korean", "ko"},
        {"ko+f3", "Korean, female", "ko"},
        {"en-gb-scotland", "English (Scotland)", "en-GB-scotland"},
        {"en-gb", "English (Great Britain)", "en-GB"},
        {"en-us", "English (America)", "en-US"},
        {"qya", "Quenya", "qya"},  // no locale data: left out
        {"cmn", "Chinese (Mandarin)", "zh-CN"},
    };
    QStringList ids;
    for (const SpeechLocaleCatalog::Entry& entry : LocaleChoices::spokenLocales(voices))
        ids << entry.id;
    // The recognizer's pinned languages first, then the rest by name.
    EXPECT_EQ(ids, QStringList({"ko-KR", "en-US", "zh-CN", "de-DE", "en-GB"}));
}

}  // namespace
