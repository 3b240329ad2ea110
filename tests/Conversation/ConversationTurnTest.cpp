#include "Conversation/ConversationTurn.h"

#include "Common/QtPrinters.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <gtest/gtest.h>

TEST(ConversationTurn, EncodesExactlyTheFourKeysWithUpperCaseIdAndUtcMilliseconds)
{
    const QDateTime seoulMorning(QDate(2025, 5, 12), QTime(0, 30, 0, 456), QTimeZone("Asia/Seoul"));
    const auto turn = ConversationTurn::make(ConversationTurn::Role::assistant, QStringLiteral("네, 알겠어요."), seoulMorning);
    const QJsonObject json = turn.toJson();

    EXPECT_EQ(json.keys(), (QStringList{"id", "role", "text", "timestamp"}));
    EXPECT_TRUE(json.value("id").toString().contains(
        QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))));
    EXPECT_EQ(QUuid::fromString(json.value("id").toString()), turn.id);
    EXPECT_EQ(json.value("role").toString(), QStringLiteral("assistant"));
    EXPECT_EQ(json.value("text").toString(), QStringLiteral("네, 알겠어요."));
    EXPECT_EQ(json.value("timestamp").toString(), QStringLiteral("2025-05-11T15:30:00.456Z"));
}
