#include "UI/Models/ChatContent.h"

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

QString footer(ConversationTurn::Role role, const QString& text, const QString& localeID)
{
    const QString trimmed = Text::trimmed(text);
    const int count = int(Text::graphemeCount(trimmed));
    if (role == ConversationTurn::Role::user)
        return QString::asprintf("%d자", count);
    const double timeout = SpeechWatchdog::timeout(trimmed, localeID);
    return QString::asprintf("%d자 · 약 %.1fs · watchdog %.0fs", count, 0.25 * timeout, timeout);
}

}  // namespace ChatContent
