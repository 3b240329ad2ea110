// Qt's own texts follow the interface language, from the system's Qt catalogues; a language Qt
// has no catalogue for leaves them in English.
#include "UI/Kit/QtTranslations.h"

#include "Common/QtPrinters.h"
#include "UI/UiTestContext.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <gtest/gtest.h>

TEST(QtTranslations, QtsOwnButtonsSpeakTheInterfaceLanguage)
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "Qt's translations are not installed (scripts/install-deps installs them)";
    struct Case {
        AppLanguage language;
        const char* cancel;  // the message box's button
        bool loaded;
    };
    const Case cases[] = {
        {AppLanguage::german, "Abbrechen", true},
        {AppLanguage::korean, "취소", true},
        {AppLanguage::chineseTraditional, "取消", true},
        {AppLanguage::french, "Annuler", true},
        {AppLanguage::thai, "Cancel", false},
        {AppLanguage::english, "Cancel", false},  // Qt speaks English of itself
    };
    UiTestContext ui;
    const QLocale before;
    {
        QtTranslations translations(ui.settings);
        for (const Case& c : cases) {
            SCOPED_TRACE(rawValue(c.language).toStdString());
            ui.settings.setUiLanguage(c.language);
            EXPECT_EQ(translations.isLoaded(), c.loaded);
            EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(c.cancel));
            EXPECT_EQ(QLocale().name().left(2), rawValue(c.language).left(2)) << "dates and numbers follow";
        }
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel")) << "removed with it";
    EXPECT_EQ(QLocale(), before);
}
