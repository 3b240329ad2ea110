// The talk tab as a whole: rows come and go with the state (and come back afresh), outside
// text is never read as markup, and every control is reached by keyboard.
#include "UI/Talk/TalkTab.h"

#include "Common/QtPrinters.h"
#include "UI/KeyboardAccess.h"
#include "UI/Talk/BubbleText.h"
#include "UI/Talk/ComposerEdit.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <functional>

namespace {
using Phase = ConversationPhase;

QStringList shownRows(TalkTab& tab)
{
    QStringList shown;
    for (const char* row : {"skillTipStrip", "skillConfirmCard", "errorBanner", "minutesView", "chatView",
                            "chatComposer", "clearHistoryButton"})
        if (tab.findChild<QWidget*>(QLatin1String(row))->isVisibleTo(&tab))
            shown << QLatin1String(row);
    return shown;
}
}  // namespace

TEST(TalkTab, RowsFollowTheStateAndComeBackAfresh)
{
    UiTestContext ui;
    TalkTab tab(ui.context, TalkScenes::skills());
    tab.show();
    ComposerEdit& draft = *tab.findChild<ComposerEdit*>();
    const QString chat = QStringLiteral("chatView"), composer = QStringLiteral("chatComposer");
    struct Step {
        const char* name;
        std::function<void()> change;
        QStringList rows;
    };
    const Step steps[] = {
        {"idle, empty history", [] {}, {QStringLiteral("skillTipStrip"), chat, composer}},
        {"a draft is typed",
         [&] { draft.setPlainText(QStringLiteral("unsent")); },
         {QStringLiteral("skillTipStrip"), chat, composer}},
        {"first turn",
         [&] { ui.engine.setLastTurns(TalkScenes::turns(1)); },
         {QStringLiteral("skillTipStrip"), chat, composer, QStringLiteral("clearHistoryButton")}},
        {"thinking with a skill and an error",
         [&] {
             ui.engine.setPhase(Phase::thinking);
             ui.engine.setPendingSkill(PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("x"), {}));
             ui.engine.setErrorMessage(QStringLiteral("boom"));
         },
         {QStringLiteral("skillConfirmCard"), QStringLiteral("errorBanner"), chat, composer,
          QStringLiteral("clearHistoryButton")}},
        {"minutes",
         [&] { ui.settings.setAppMode(AppMode::minutes); },
         {QStringLiteral("skillConfirmCard"), QStringLiteral("errorBanner"), QStringLiteral("minutesView")}},
        {"back to conversation, listening, all clear",
         [&] {
             ui.settings.setAppMode(AppMode::brainstorm);
             ui.engine.setPhase(Phase::listening);
             ui.engine.setPendingSkill(std::nullopt);
             ui.engine.setErrorMessage(std::nullopt);
             ui.engine.setLastTurns({});
         },
         {QStringLiteral("skillTipStrip"), chat, composer}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_EQ(shownRows(tab), step.rows);
    }
    EXPECT_EQ(draft.toPlainText(), QString()) << "a composer that comes back starts empty";
}

TEST(TalkTab, ShowsOutsideTextAsTypedNeverAsMarkup)
{
    UiTestContext ui;
    const QString markup = QStringLiteral("<b>bold</b> & <a href=\"x\">link</a>");
    ui.settings.setAssistantName(markup);
    ui.engine.setLiveTranscript(markup);
    ui.engine.setErrorMessage(markup);
    ui.engine.setPendingSkill(PendingSkill::make(QStringLiteral("mail.compose"), markup, {}));
    ui.engine.setLastTurns(TalkScenes::turns(1));
    ui.engine.setPhase(Phase::speaking);
    ui.engine.setAssistantMessage(markup);
    TalkTab tab(ui.context, TalkScenes::skills());
    int shown = 0;
    for (const QLabel* label : tab.findChildren<QLabel*>())
        if (label->text() == markup) {
            ++shown;
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        }
    // Name, transcript, error, skill summary.
    EXPECT_EQ(shown, 4);
    // The reply in progress, in its bubble: the characters as sent, no link or bold made of them.
    int replies = 0;
    for (const BubbleText* bubble : tab.findChildren<BubbleText*>())
        if (bubble->text() == markup) {
            ++replies;
            const QString html = bubble->document()->toHtml();
            EXPECT_FALSE(html.contains(QStringLiteral("<a ")) || html.contains(QStringLiteral("<b>")));
            EXPECT_EQ(bubble->document()->toRawText(), markup);
        }
    EXPECT_EQ(replies, 1);
}

TEST(TalkTab, EveryControlIsReachedByTabAndNamed)
{
    for (const AppMode mode : {AppMode::conversation, AppMode::minutes}) {
        UiTestContext ui;
        ui.settings.setAppMode(mode);
        ui.engine.setEnabled(true);
        ui.engine.setLastTurns(TalkScenes::turns(2));
        ui.engine.setPendingSkill(PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("Mail"), {}));
        ui.engine.setErrorMessage(QStringLiteral("boom"));
        ui.engine.setCurrentRecordingURL(QUrl::fromLocalFile(QStringLiteral("/tmp/meeting.caf")));
        TalkScenes::fillMinutes(ui);
        TalkTab tab(ui.context, TalkScenes::skills());
        tab.resize(800, 660);
        tab.show();
        EXPECT_EQ(keyboardAccessFaults(tab), QStringList()) << rawValue(mode).toStdString();
    }
}
