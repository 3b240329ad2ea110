// The window fits a laptop screen in every language: it can be made as small as 640 by 560,
// the pages scroll rather than hold it larger, the conversation keeps a third of the talk tab,
// each mode's whole name can be read, and the two tiles stay level.
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"

#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"
#include "UI/Screenshots.h"
#include "UI/Talk/ChatView.h"
#include "UI/Talk/FaceCard.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/Talk/TalkTab.h"
#include "UI/Talk/UserTile.h"
#include "UI/UiTestContext.h"

#include <QApplication>
#include <QScrollBar>
#include <QStackedWidget>

#include <gtest/gtest.h>

namespace {

// A conversation under way: clocked in, listening, a few turns and a transcript.
void talking(UiTestContext& ui)
{
    ui.engine.setEnabled(true);
    ui.engine.setPhase(ConversationPhase::listening);
    ui.engine.setLastTurns(TalkScenes::turns(4));
    ui.engine.setLiveTranscript(QStringLiteral("Remind me to call Mina about the slides"));
}

TEST(WindowSize, FitsALaptopScreenInEveryLanguage)
{
    Screenshots::prepare(Screenshots::Appearance::light);  // the fonts a Linux desktop ships
    for (const AppLanguage language : allCases<AppLanguage>()) {
        SCOPED_TRACE(rawValue(language).toStdString());
        UiTestContext ui;
        ui.settings.setUiLanguage(language);
        talking(ui);
        MainWindow window(ui.context);
        window.show();
        window.resize(1, 1);  // as small as it lets itself be
        QApplication::processEvents();
        EXPECT_LE(window.width(), MainWindow::kMinimumSize.width());
        EXPECT_LE(window.height(), MainWindow::kMinimumSize.height());

        window.resize(MainWindow::kMinimumSize);
        QApplication::processEvents();
        auto& talk = *window.findChild<TalkTab*>();
        const auto conversation = [&window] { return window.findChild<ChatView*>()->height(); };
        EXPECT_EQ(talk.verticalScrollBar()->maximum(), 0) << "a conversation under way fits without scrolling";
        EXPECT_GE(conversation(), talk.viewport()->height() / 3) << "the conversation's third";
        // With the consent card and an error as well the page scrolls, the conversation keeps its third.
        ui.engine.setPendingSkill(PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("Mail Mina"), {}));
        ui.engine.setErrorMessage(QStringLiteral("The assistant did not answer: HTTP 503 from the model server."));
        QApplication::processEvents();
        EXPECT_GE(conversation(), talk.viewport()->height() / 3);

        for (const AppMode mode : allCases<AppMode>()) {
            const auto* segment = window.findChild<PillButton*>(QStringLiteral("modeSegment-") + rawValue(mode));
            EXPECT_TRUE(segment->toolTip().startsWith(L10n::t(QStringLiteral("mode.") + rawValue(mode), language)))
                << "the whole name on hover";
        }
    }
    Screenshots::restore();
}

TEST(WindowSize, TheTwoTilesStayLevelInEveryLanguageAndWidth)
{
    for (const AppLanguage language : allCases<AppLanguage>()) {
        for (const int width : {640, 820, 1100}) {
            SCOPED_TRACE(rawValue(language).toStdString() + " at " + std::to_string(width));
            UiTestContext ui;
            ui.settings.setUiLanguage(language);
            MainWindow window(ui.context);
            window.resize(width, 700);
            window.show();
            QApplication::processEvents();
            const QWidget& face = *window.findChild<FaceCard*>();
            const QWidget& picture = *window.findChild<UserTile*>()->findChild<QStackedWidget*>();
            const QRect left(face.mapTo(&window, QPoint()), face.size());
            const QRect right(picture.mapTo(&window, QPoint()), picture.size());
            EXPECT_EQ(left.top(), right.top());

            EXPECT_EQ(left.bottom(), right.bottom());
        }
    }
}

}  // namespace
