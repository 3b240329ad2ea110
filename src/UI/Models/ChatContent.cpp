#include "UI/Models/ChatContent.h"

#include "Persistence/L10n.h"
#include "SpeechWatchdog/SpeechWatchdog.h"
#include "Support/Text.h"

namespace ChatContent {

QString liveKey()
{
    return QStringLiteral("live-assistant");
}

QList<Bubble> bubbles(const QList<ConversationTurn>& turns, const QString& assistantMessage, ConversationPhase phase)
{
    QList<Bubble> result;
    result.reserve(turns.size() + 1);
    for (const ConversationTurn& turn : turns)
        result.append({Text::uuidText(turn.id), turn.role, turn.text, false});
    const QString reply = Text::trimmed(assistantMessage);
    const bool replying = phase == ConversationPhase::thinking || phase == ConversationPhase::speaking;
    if (replying && !reply.isEmpty())
        result.append({liveKey(), ConversationTurn::Role::assistant, reply, true});
    return result;
}

QString footer(ConversationTurn::Role role, const QString& text, const QString& localeID, AppLanguage language)
{
    const QString trimmed = Text::trimmed(text);
    const QString count = QString::number(Text::graphemeCount(trimmed));
    if (role == ConversationTurn::Role::user)
        return L10n::t(QStringLiteral("chat.meta_user"), language).arg(count);
    const double timeout = SpeechWatchdog::timeout(trimmed, localeID);
    return L10n::t(QStringLiteral("chat.meta_assistant"), language)
        .arg(count, QString::number(0.25 * timeout, 'f', 1), QString::number(timeout, 'f', 0));
}

}  // namespace ChatContent
