#include "Persistence/AvatarStyle.h"
#include "Common/QtPrinters.h"
#include "Persistence/AppLanguage.h"

#include <gtest/gtest.h>

TEST(AvatarStyle, EveryStyleHasANameInEveryLanguage)
{
    struct Case {
        AvatarStyle style;
        AppLanguage language;
        const char* name;
    };
    for (const Case& c : {Case{AvatarStyle::female, AppLanguage::english, "Woman"},
                          Case{AvatarStyle::female, AppLanguage::korean, "여자 사람"},
                          Case{AvatarStyle::cat, AppLanguage::korean, "고양이 🐱"},
                          Case{AvatarStyle::custom, AppLanguage::english, "My character"}})
        EXPECT_EQ(localizedName(c.style, c.language), QString::fromUtf8(c.name));
    // A missing translation shows its key instead of a name.
    for (AvatarStyle style : allCases<AvatarStyle>())
        for (AppLanguage language : allCases<AppLanguage>())
            EXPECT_NE(localizedName(style, language), nameKey(style));
}
