// The voice picker: which voices a speech language lists and in what order, their groups and
// labels by quality, and the hint under the picker.
#include "UI/Models/VoiceChoices.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {
using VoiceChoices::Quality;
using VoiceChoices::RatedVoice;

RatedVoice voice(const QString& name, const QString& language, Quality quality = Quality::standard)
{
    return {{name.toLower(), name, language}, quality};
}

TEST(VoiceChoices, listsTheLanguagesVoicesByNameGroupedByQualityWithTheirHint)
{
    const QList<RatedVoice> installed{
        voice("Yuna", "ko-KR", Quality::premium),
        voice("korean", "ko"),
        voice("Konkani", "kok"),
        voice("Korean", "ko"),
        voice("Ava", "en-US", Quality::enhanced),
        voice("Alex", "en-US"),
        voice("Zoe", "en-GB", Quality::premium),
    };
    struct Case {
        QString localeID;
        QStringList texts;  // after the automatic entry; group titles in brackets
        std::optional<QString> hint;
    };
    const Case cases[] = {
        // Konkani's "kok" is not Korean; names in code-point order, capitals first.
        {"ko-KR", {"[Premium ✨]", "✨ Yuna · Premium", "[Standard]", "   Korean", "   korean"}, std::nullopt},
        {"en-US",
         {"[Premium ✨]", "✨ Zoe · Premium", "[Enhanced ✦]", "✦ Ava · Enhanced", "[Standard]", "   Alex"},
         std::nullopt},
        {"kok-IN", {"[Standard]", "   Konkani"}, "settings.voice_premium_hint"},
        {"fr-FR", {}, "settings.voice_none"},
        {"",
         {"[Premium ✨]", "✨ Yuna · Premium", "✨ Zoe · Premium", "[Enhanced ✦]", "✦ Ava · Enhanced", "[Standard]",
          "   Alex", "   Konkani", "   Korean", "   korean"},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.localeID.toStdString());
        const QList<RatedVoice> voices = VoiceChoices::localeVoices(installed, c.localeID);
        const PickerItems items = VoiceChoices::items(voices, AppLanguage::english);
        ASSERT_FALSE(items.isEmpty());
        EXPECT_EQ(items.first(), PickerItem::choice("Automatic (by gender & language)", ""));
        QStringList texts;
        for (const PickerItem& item : items.mid(1))
            texts << (item.kind == PickerItem::Kind::header ? "[" + item.text + "]" : item.text);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(VoiceChoices::hintKey(voices), c.hint);
    }
}

}  // namespace
