// What the chat lists, and the figures under each bubble.
#include "UI/Models/ChatContent.h"

#include "Common/QtPrinters.h"
#include "SpeechWatchdog/SpeechWatchdog.h"
#include "Support/Text.h"

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;
using Role = ConversationTurn::Role;
}  // namespace

TEST(ChatContent, ListsTurnsByIdThenTheReplyInProgressUnderOneKey)
{
    const QDateTime at(QDate(2026, 1, 5), QTime(9, 0));
    const QList<ConversationTurn> turns{ConversationTurn::make(Role::user, QStringLiteral("hi"), at),
                                        ConversationTurn::make(Role::assistant, QStringLiteral("hello"), at)};
    struct Case {
        const char* name;
        QString reply;
        Phase phase;
        std::optional<QString> live;  // the pending bubble's text
    };
    const Case cases[] = {
        {"no reply", QString(), Phase::thinking, std::nullopt},
        {"a reply while thinking, trimmed", QStringLiteral("\n  Sure, one moment "), Phase::thinking,
         QStringLiteral("Sure, one moment")},
        {"a reply while speaking", QStringLiteral("Done."), Phase::speaking, QStringLiteral("Done.")},
        {"only white space", QStringLiteral(" \n\t "), Phase::speaking, std::nullopt},
        {"a reply left over while listening", QStringLiteral("Done."), Phase::listening, std::nullopt},
        {"a reply left over while idle", QStringLiteral("Done."), Phase::idle, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<ChatContent::Bubble> bubbles = ChatContent::bubbles(turns, c.reply, c.phase);
        ASSERT_EQ(bubbles.size(), c.live ? 3 : 2);
        EXPECT_EQ(bubbles[0].key, Text::uuidText(turns[0].id));
        EXPECT_EQ(bubbles[1].key, Text::uuidText(turns[1].id));
        EXPECT_FALSE(bubbles[1].pending);
        if (c.live) {
            EXPECT_EQ(bubbles[2], (ChatContent::Bubble{ChatContent::liveKey(), Role::assistant, *c.live, true}));
        }
    }
}

TEST(ChatContent, FooterCountsCharactersAndShowsTheSpeechTimeOutOfTheLocale)
{
    const QString reply = QStringLiteral("  안녕하세요, 반갑습니다! 👋🏽 ");
    const double koTimeout =
        SpeechWatchdog::timeout(QStringLiteral("안녕하세요, 반갑습니다! 👋🏽"), QStringLiteral("ko-KR"));
    const double enTimeout =
        SpeechWatchdog::timeout(QStringLiteral("안녕하세요, 반갑습니다! 👋🏽"), QStringLiteral("en-US"));
    struct Case {
        Role role;
        QString text;
        QString locale;
        AppLanguage language;
        QString footer;
    };
    const auto figures = [](double timeout) {
        return std::pair{QString::number(timeout / 4, 'f', 1), QString::number(timeout, 'f', 0)};
    };
    const auto [koSpoken, koLimit] = figures(koTimeout);
    const auto [enSpoken, enLimit] = figures(enTimeout);
    const Case cases[] = {
        {Role::user, QStringLiteral("  hello  "), QStringLiteral("ko-KR"), AppLanguage::korean, QStringLiteral("5자")},
        {Role::user, QStringLiteral("  hello  "), QStringLiteral("ko-KR"), AppLanguage::english,
         QStringLiteral("5 characters")},
        {Role::user, QString(), QStringLiteral("ko-KR"), AppLanguage::korean, QStringLiteral("0자")},
        {Role::assistant, reply, QStringLiteral("ko-KR"), AppLanguage::korean,
         QStringLiteral("15자 · 약 %1초 · 제한 %2초").arg(koSpoken, koLimit)},
        {Role::assistant, reply, QStringLiteral("en-US"), AppLanguage::english,
         QStringLiteral("15 characters · about %1 s · watchdog %2 s").arg(enSpoken, enLimit)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChatContent::footer(c.role, c.text, c.locale, c.language), c.footer) << c.text.toStdString();
    EXPECT_NE(koTimeout, enTimeout) << "the locale must change the figures";
}
