// The chat keeps its bubbles by turn id and grows the reply in place, follows its newest line
// even when the history is full, stops while the user reads above, breaks words too long for a
// line and lets replies be copied from the keyboard; the composer sends by Enter or button,
// keeps Shift+Enter lines, and takes Hangul from the input method.
#include "UI/Talk/ChatView.h"

#include "Common/QtPrinters.h"
#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/EngineState.h"
#include "UI/Talk/BubbleText.h"
#include "UI/Talk/ChatBubble.h"
#include "UI/Talk/ChatComposer.h"
#include "UI/Talk/ComposerEdit.h"
#include "UI/Talk/EndFollower.h"
#include "UI/Talk/PillButton.h"
#include "UI/Talk/TalkScenes.h"
#include "UI/UiTestContext.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;

QList<ChatBubble*> bubbles(ChatView& view)
{
    QList<ChatBubble*> shown = view.findChildren<ChatBubble*>();
    std::sort(shown.begin(), shown.end(), [](ChatBubble* a, ChatBubble* b) { return a->y() < b->y(); });
    return shown;
}
}  // namespace

TEST(Chat, KeepsBubblesByTurnAndGrowsTheReplyInPlace)
{
    UiTestContext ui;
    ChatView view(ui.context);
    const QList<ConversationTurn> turns = TalkScenes::turns(3);
    ui.engine.setLastTurns(turns.mid(0, 2));
    // Guarded, not compared by address: a new bubble may be given the address of a deleted one.
    QList<QPointer<ChatBubble>> before;
    for (ChatBubble* bubble : view.findChildren<ChatBubble*>())
        before << bubble;
    ASSERT_EQ(before.size(), 2);

    ui.engine.setPhase(Phase::thinking);
    ui.engine.setAssistantMessage(QStringLiteral("Hel"));
    QPointer<ChatBubble> live;
    for (ChatBubble* bubble : view.findChildren<ChatBubble*>())
        if (bubble->isPending())
            live = bubble;
    ASSERT_TRUE(live);
    ui.engine.setAssistantMessage(QStringLiteral("Hello there"));
    EXPECT_EQ(live->text(), QStringLiteral("Hello there"));
    EXPECT_EQ(view.findChildren<ChatBubble*>().size(), 3) << "the same bubble grew";

    ui.engine.setLastTurns(turns.mid(1, 2));  // full: the oldest goes, the newest comes
    ui.engine.setAssistantMessage(QString());
    const QList<ChatBubble*> after = view.findChildren<ChatBubble*>();
    ASSERT_EQ(after.size(), 2);
    EXPECT_TRUE(before[0].isNull() != before[1].isNull()) << "one old bubble kept, one gone";
    const QPointer<ChatBubble> kept = before[0] ? before[0] : before[1];
    EXPECT_TRUE(after.contains(kept.data()));
    EXPECT_TRUE(live.isNull()) << "the pending bubble is gone";
}

TEST(Chat, FollowsTheNewestLineUntilTheUserScrollsUp)
{
    UiTestContext ui;
    const int capacity = 8;
    QList<ConversationTurn> all = TalkScenes::turns(3 * capacity);
    for (int i = 0; i < all.size(); ++i)  // each newer turn taller than the one it replaces
        all[i].text += QString(i, QLatin1Char('\n')) + QStringLiteral("end");
    ui.engine.setLastTurns(all.mid(0, capacity));
    ChatView view(ui.context);
    view.resize(600, 240);
    view.show();
    QScrollBar& bar = *view.findChild<QScrollArea*>()->verticalScrollBar();
    int oldest = 0;
    const auto addTurn = [&] {
        // A full history: each new turn drops the oldest, so the count never changes.
        ui.engine.setLastTurns(all.mid(++oldest, capacity));
        QApplication::processEvents();
    };
    const auto newestShown = [&] {
        const ChatBubble* newest = bubbles(view).last();
        const QWidget* viewport = view.findChild<QScrollArea*>()->viewport();
        return newest->text() == ui.engine.lastTurns().last().text &&
               viewport->rect().contains(QRect(newest->mapTo(viewport, QPoint()), newest->size()).bottomLeft());
    };
    QApplication::processEvents();
    EXPECT_GT(bar.maximum(), 0);
    EXPECT_TRUE(newestShown());
    for (int i = 0; i < 3; ++i) {
        addTurn();
        EXPECT_TRUE(newestShown()) << i;
    }
    bar.triggerAction(QAbstractSlider::SliderToMinimum);  // the user reads from the top
    addTurn();
    EXPECT_EQ(bar.value(), 0);
    EXPECT_FALSE(view.follower().isFollowing());
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    addTurn();
    EXPECT_TRUE(newestShown());
}

TEST(Chat, ComposerSendsByEnterOrButtonAndClears)
{
    UiTestContext ui;
    ChatComposer composer(ui.context);
    composer.show();
    ComposerEdit& edit = composer.edit();
    auto* send = composer.findChild<PillButton*>(QStringLiteral("composerSend"));
    EXPECT_FALSE(send->isEnabled());

    QTest::keyClicks(&edit, QStringLiteral(" hi "));
    EXPECT_TRUE(send->isEnabled());
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.toPlainText(), QString());

    QTest::keyClicks(&edit, QStringLiteral("line one"));
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&edit, QStringLiteral("two"));
    QTest::mouseClick(send, Qt::LeftButton);

    edit.insertPlainText(QStringLiteral(" \t "));  // typed, Tab would move on
    EXPECT_FALSE(send->isEnabled());
    QTest::keyClick(&edit, Qt::Key_Enter, Qt::KeypadModifier);  // blank still goes: the engine drops it
    EXPECT_EQ(ui.commands.calls,
              QStringList({QStringLiteral("submitTextTurn( hi )"), QStringLiteral("submitTextTurn(line one\ntwo)"),
                           QStringLiteral("submitTextTurn( \t )")}));
}

// While the assistant rests it takes no typed turn: what is sent then stays in the box with a
// word on how to wake the assistant, and goes out once it is awake.
TEST(Chat, AMessageSentWhileRestingStaysWithAWordOnWaking)
{
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    ChatComposer composer(ui.context);
    composer.show();
    ComposerEdit& edit = composer.edit();
    auto* note = composer.findChild<QLabel*>(QStringLiteral("composerRestingNote"));
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->isHidden());

    ui.settings.setRestingUntil(QDateTime::currentDateTimeUtc().addSecs(3600));
    QTest::keyClicks(&edit, QStringLiteral("are you there"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("are you there"));
    EXPECT_FALSE(note->isHidden());
    EXPECT_TRUE(note->text().contains(QStringLiteral("Clock in"))) << note->text().toStdString();
    EXPECT_EQ(ui.commands.calls, QStringList());

    ui.settings.setRestingUntil(std::nullopt);
    EXPECT_TRUE(note->isHidden());
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.toPlainText(), QString());
    EXPECT_EQ(ui.commands.calls, QStringList{QStringLiteral("submitTextTurn(are you there)")});
}

// The empty chat's hint follows the session as it clocks in, fails and rests.
TEST(Chat, TheEmptyHintFollowsTheSession)
{
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    ChatView view(ui.context);
    auto* hint = view.findChild<QLabel*>(QStringLiteral("chatEmpty"));
    ASSERT_TRUE(hint);
    const auto text = [](const char* key) { return L10n::t(QLatin1String(key), AppLanguage::english); };
    EXPECT_EQ(hint->text(), text("chat.empty"));
    ui.engine.setEnabled(true);
    EXPECT_EQ(hint->text(), text("chat.empty_speak_or_type"));
    ui.engine.setPhase(Phase::error);
    EXPECT_EQ(hint->text(), text("chat.empty_failed"));
    ui.settings.setRestingUntil(QDateTime::currentDateTimeUtc().addSecs(60));
    EXPECT_EQ(hint->text(), text("chat.empty_resting"));
}

TEST(Chat, ComposerTakesHangulFromTheInputMethod)
{
    UiTestContext ui;
    ChatComposer composer(ui.context);
    composer.show();
    ComposerEdit& edit = composer.edit();
    edit.setFocus();
    EXPECT_TRUE(edit.testAttribute(Qt::WA_InputMethodEnabled));

    QInputMethodEvent composing(QStringLiteral("한"), {});
    QApplication::sendEvent(&edit, &composing);
    EXPECT_EQ(edit.textCursor().block().layout()->preeditAreaText(), QStringLiteral("한")) << "shown while composed";
    EXPECT_EQ(edit.toPlainText(), QString());

    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("한국어 "));
    QApplication::sendEvent(&edit, &committed);
    QInputMethodEvent more;
    more.setCommitString(QStringLiteral("입력"));
    QApplication::sendEvent(&edit, &more);
    EXPECT_EQ(edit.textCursor().block().layout()->preeditAreaText(), QString());
    EXPECT_TRUE(composer.findChild<PillButton*>(QStringLiteral("composerSend"))->isEnabled());
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(ui.commands.calls, QStringList{QStringLiteral("submitTextTurn(한국어 입력)")});
}

// A word longer than the line (an address, Korean written without spaces) breaks inside the
// bubble instead of running past its edge; the text can be reached, selected and copied from
// the keyboard, and "Copy" on its menu takes the whole text when nothing is selected.
TEST(Chat, LongWordsWrapInsideTheBubbleAndRepliesCopyFromTheKeyboard)
{
    UiTestContext ui;
    QString url = QStringLiteral("https://example.org/");
    while (url.size() < 300)
        url += QStringLiteral("a1b2c3d4e5");
    QString korean;
    for (int i = 0; i < 100; ++i)
        korean += QChar(0xAC00 + 37 * i);  // a hundred syllables, no space
    QList<ConversationTurn> turns = TalkScenes::turns(2);
    turns[0].text = url;
    turns[1].text = korean;
    ui.engine.setLastTurns(turns);
    ChatView view(ui.context);
    view.resize(560, 480);
    view.show();
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QApplication::processEvents();

    const QList<ChatBubble*> shown = bubbles(view);
    ASSERT_EQ(shown.size(), 2);
    for (ChatBubble* bubble : shown) {
        SCOPED_TRACE(bubble->text().left(20).toStdString());
        auto* text = bubble->findChild<BubbleText*>();
        ASSERT_TRUE(text);
        EXPECT_LE(text->width(), BubbleText::widest);
        EXPECT_LE(text->geometry().right(), bubble->width()) << "the bubble stays inside its row";
        QTextDocument& document = *text->document();
        EXPECT_GT(document.documentLayout()->documentSize().height(), 2.5 * text->fontMetrics().height())
            << "broken over several lines";
        EXPECT_LE(document.idealWidth(), text->viewport()->width() + 1) << "no line runs past the edge";
        EXPECT_GE(text->height(), int(document.size().height())) << "every line shows";
    }

    auto* reply = shown[1]->findChild<BubbleText*>();
    shown[0]->findChild<BubbleText*>()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), reply) << "Tab goes from bubble to bubble";
    QTest::keyClick(reply, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(reply, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), korean);

    QGuiApplication::clipboard()->clear();
    reply->setTextCursor(QTextCursor(reply->document()));  // nothing selected
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        ASSERT_FALSE(menu->actions().isEmpty());
        EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("Copy"));
        menu->actions().first()->trigger();
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(10, 10), reply->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(reply, &menuEvent);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), korean);
}
