// The talk tab as a whole: rows come and go with the state (and come back afresh), outside
// text is never read as markup, and every control is reached by keyboard.
#include "UI/Talk/TalkTab.h"

#include "Common/QtPrinters.h"
#include "UI/KeyboardAccess.h"
#include "UI/Kit/ElidedLabel.h"
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
    // A row not made yet has never been shown.
    for (const char* row : {"skillTipStrip", "skillConfirmCard", "errorBanner", "minutesView", "chatView",
                            "chatComposer", "clearHistoryButton"})
        if (const QWidget* made = tab.findChild<QWidget*>(QLatin1String(row)); made && made->isVisibleTo(&tab))
            shown << QLatin1String(row);
    return shown;
}
// The rows among `rows` whose controls Tab reaches, in the order it first reaches them, from
// the tab's first control once around.
QStringList rowsInTabOrder(TalkTab& tab, const QStringList& rows)
{
    QStringList order;
    const auto rowOf = [&](const QWidget* control) {
        for (const QWidget* at = control; at && at != &tab; at = at->parentWidget())
            if (rows.contains(at->objectName()))
                return at->objectName();
        return QString();
    };
    QWidget* first = tab.nextInFocusChain();
    QWidget* at = first;
    do {
        const QString row = rowOf(at);
        if (at->isVisible() && (at->focusPolicy() & Qt::TabFocus) && !row.isEmpty() && !order.contains(row))
            order << row;
        at = at->nextInFocusChain();
    } while (at != first);
    return order;
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
    // Transcript, error, skill summary; the name is drawn as text by a label of its own.
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(tab.findChild<ElidedLabel*>(QStringLiteral("assistantName"))->text(), markup);
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

TEST(TalkTab, EveryControlIsReachedByTabInReadingOrderAndNamed)
{
    // The cards and the minutes are made when first needed: present from the start, or coming
    // after the tab was shown, their controls still follow the user tile's in the order of Tab.
    for (const AppMode mode : {AppMode::conversation, AppMode::minutes})
        for (const bool later : {false, true}) {
            SCOPED_TRACE(rawValue(mode).toStdString() + (later ? ", cards come later" : ", cards from the start"));
            UiTestContext ui;
            ui.engine.setEnabled(true);
            ui.engine.setLastTurns(TalkScenes::turns(2));
            ui.engine.setCurrentRecordingURL(QUrl::fromLocalFile(QStringLiteral("/tmp/meeting.caf")));
            TalkScenes::fillMinutes(ui);
            const auto needCards = [&] {
                ui.settings.setAppMode(mode);
                ui.engine.setErrorMessage(QStringLiteral("boom"));
                ui.engine.setPendingSkill(
                    PendingSkill::make(QStringLiteral("mail.compose"), QStringLiteral("Mail"), {}));
            };
            if (!later)
                needCards();
            TalkTab tab(ui.context, TalkScenes::skills());
            tab.resize(800, 660);
            tab.show();
            if (later)
                needCards();
            EXPECT_EQ(keyboardAccessFaults(tab), QStringList());
            const QStringList reading = {QStringLiteral("headerRow"),   QStringLiteral("assistantTile"),
                                         QStringLiteral("userTile"),    QStringLiteral("skillConfirmCard"),
                                         QStringLiteral("errorBanner"), QStringLiteral("minutesView"),
                                         QStringLiteral("chatView"),    QStringLiteral("chatComposer")};
            QStringList expected = reading;
            expected.removeOne(mode == AppMode::minutes ? QStringLiteral("chatView") : QStringLiteral("minutesView"));
            if (mode == AppMode::minutes)
                expected.removeOne(QStringLiteral("chatComposer"));
            EXPECT_EQ(rowsInTabOrder(tab, reading), expected);
        }
}
