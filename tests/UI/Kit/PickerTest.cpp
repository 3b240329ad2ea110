// A picker changes only on purpose: over a page of settings, the wheel and the page keys scroll
// the page, and only a picker the user has focused follows the wheel.
#include "UI/Kit/Picker.h"

#include "Common/QtPrinters.h"
#include "UI/Settings/SettingsTab.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// Whether the picker took the wheel; one it leaves goes on to its parents, and so to the page,
// when the window system delivers it (a test's own event stops at the picker).
bool takesWheel(QWidget& picker, int notches)
{
    const QPointF at(picker.width() / 2.0, picker.height() / 2.0);
    QWheelEvent wheel(at, picker.mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&picker, &wheel);
    return wheel.isAccepted();
}

TEST(Picker, TheWheelAndPageKeysScrollThePageUnlessThePickerIsMeant)
{
    enum class Input { wheel, pageDown, arrowDown };
    struct Case {
        const char* name;
        bool focused;
        Input input;
        bool changes;
        bool toThePage;  // a key scrolls it, the wheel is left for it
    };
    const Case cases[] = {
        {"wheel over an unfocused picker", false, Input::wheel, false, true},
        {"PageDown on a focused picker", true, Input::pageDown, false, true},
        {"wheel over the focused picker", true, Input::wheel, true, false},
        {"arrow key on the focused picker", true, Input::arrowDown, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UiTestContext ui;
        ui.settings.setUiLanguage(AppLanguage::english);
        SettingsTab page(ui.context);
        page.resize(640, 400);
        page.show();
        QApplication::setActiveWindow(&page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        auto* picker = page.findChild<Picker*>(QStringLiteral("uiLanguagePicker"));
        ASSERT_TRUE(picker);
        EXPECT_EQ(picker->focusPolicy(), Qt::StrongFocus) << "the wheel does not focus it";
        if (c.focused)
            picker->setFocus(Qt::TabFocusReason);
        else
            page.findChild<QLineEdit*>(QStringLiteral("vaultPathField"))->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(picker->hasFocus(), c.focused);
        QScrollBar& bar = *page.verticalScrollBar();
        ASSERT_GT(bar.maximum(), 0);
        bar.setValue(0);
        bool toThePage = false;
        switch (c.input) {
        case Input::wheel:
            toThePage = !takesWheel(*picker, 1);
            break;
        case Input::pageDown:
            QTest::keyClick(picker, Qt::Key_PageDown);
            toThePage = bar.value() > 0;
            break;
        case Input::arrowDown:
            QTest::keyClick(picker, Qt::Key_Down);
            toThePage = bar.value() > 0;
            break;
        }
        EXPECT_EQ(ui.settings.uiLanguage() != AppLanguage::english, c.changes);
        EXPECT_EQ(toThePage, c.toThePage);
    }
}

}  // namespace
