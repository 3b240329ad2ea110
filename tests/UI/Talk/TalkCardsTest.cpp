// The consent card approves and cancels by mouse and keyboard; the error banner copies its
// text exactly and says so for 1.5 seconds after each copy.
#include "UI/Talk/ErrorBanner.h"
#include "UI/Talk/SkillConfirmCard.h"

#include "Common/QtPrinters.h"
#include "Skills/MemoryAddSkill.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(SkillConfirmCard, ApprovesAndCancelsByMouseAndKeyboard)
{
    struct Case {
        const char* name;
        const char* button;  // clicked when set
        QKeyCombination key;
        QStringList commands;
    };
    const Case cases[] = {
        {"proceed button", "skillApproveButton", {}, {QStringLiteral("approvePendingSkill()")}},
        {"cancel button", "skillCancelButton", {}, {QStringLiteral("cancelPendingSkill()")}},
        {"Escape", nullptr, QKeyCombination(Qt::Key_Escape), {QStringLiteral("cancelPendingSkill()")}},
        {"Shift+Ctrl+Return",
         nullptr,
         QKeyCombination(Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_Return),
         {QStringLiteral("approvePendingSkill()")}},
        {"Ctrl+Return alone", nullptr, QKeyCombination(Qt::ControlModifier, Qt::Key_Return), {}},
        {"Space on the focused proceed button",
         "skillApproveButton",
         QKeyCombination(Qt::Key_Space),
         {QStringLiteral("approvePendingSkill()")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UiTestContext ui;
        ui.engine.setPendingSkill(
            PendingSkill::make(QStringLiteral("calendar.delete_event"), QStringLiteral("Delete “Stand-up”"), {}));
        SkillConfirmCard card(ui.context);
        card.show();
        QApplication::setActiveWindow(&card);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&card));
        auto* button = c.button ? card.findChild<QPushButton*>(QLatin1String(c.button)) : nullptr;
        if (button && c.key.key() == Qt::Key_Space) {
            button->setFocus(Qt::TabFocusReason);
            QTest::keyClick(button, Qt::Key_Space);
        } else if (button) {
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            QTest::keyClick(&card, c.key.key(), c.key.keyboardModifiers());
        }
        EXPECT_EQ(ui.commands.calls, c.commands);
    }
}

// The engine words a waiting call in the voice's language; the card shows the skill's own
// words in the window's, and follows a change of it. A call of a skill no longer registered
// keeps the engine's words.
TEST(SkillConfirmCard, ShowsTheCallInTheWindowsLanguage)
{
    UiTestContext ui;
    ui.services.skills.add(std::make_shared<MemoryAddSkill>());
    ui.settings.setUiLanguage(AppLanguage::english);
    ui.engine.setPendingSkill(
        PendingSkill::make(QStringLiteral("memory.add"), QStringLiteral("메모리에 추가: tea"), {{"note", "tea"}}));
    SkillConfirmCard card(ui.context);
    auto* summary = card.findChild<QLabel*>(QStringLiteral("skillSummary"));
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->text(), QStringLiteral("Remember: tea"));
    ui.settings.setUiLanguage(AppLanguage::german);
    EXPECT_EQ(summary->text(), QStringLiteral("Merken: tea"));
    ui.engine.setPendingSkill(PendingSkill::make(QStringLiteral("gone.skill"), QStringLiteral("그대로"), {}));
    EXPECT_EQ(summary->text(), QStringLiteral("그대로"));
}

TEST(ErrorBanner, CopiesTheWholeMessageAndSaysCopiedFor1_5Seconds)
{
    UiTestContext ui;
    const QString message = QStringLiteral("  STT failed:\n<b>no microphone</b>  ");
    ui.engine.setErrorMessage(message);
    ErrorBanner banner(ui.context);
    auto* copy = banner.findChild<QPushButton*>(QStringLiteral("errorCopyButton"));
    EXPECT_EQ(copy->text(), QStringLiteral("Copy"));
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), message);
    EXPECT_EQ(copy->text(), QStringLiteral("Copied"));
    ui.scheduler.advance(1s);
    EXPECT_EQ(copy->text(), QStringLiteral("Copied"));
    QTest::mouseClick(copy, Qt::LeftButton);  // a second copy starts the 1.5 s again
    ui.scheduler.advance(1s);
    EXPECT_EQ(copy->text(), QStringLiteral("Copied"));
    ui.scheduler.advance(500ms);
    EXPECT_EQ(copy->text(), QStringLiteral("Copy"));
}
