#include "UI/Models/ModeInfo.h"

#include "UI/Models/ThemePalette.h"

namespace ModeInfo {

Segment segment(AppMode mode)
{
    const QString key = QStringLiteral("mode.") + rawValue(mode);
    switch (mode) {
    case AppMode::conversation:
        return {key, QStringLiteral("bubble.left.and.bubble.right.fill"),
                QStringLiteral("Talk with the assistant — STT → LLM → TTS each turn.")};
    case AppMode::minutes:
        return {key, QStringLiteral("doc.text.fill"),
                QStringLiteral("Passive transcription — every utterance appended to a transcript log. No assistant "
                               "response, no TTS.")};
    case AppMode::brainstorm:
        return {key, QStringLiteral("lightbulb.fill"),
                QStringLiteral("Encouragement-first — the assistant validates your idea and helps you diverge. Only "
                               "critiques when asked.")};
    case AppMode::counseling:
        return {key, QStringLiteral("heart.text.square.fill"),
                QStringLiteral("Active listening — the assistant reflects feelings and invites you to expand, never "
                               "advises unless explicitly asked.")};
    case AppMode::translate:
        return {key, QStringLiteral("globe"),
                QStringLiteral("Real-time interpreter — you speak in one language, Parlivox speaks back in another. "
                               "Pick the source and target language in Settings.")};
    }
    return {};
}

Badge badge(AppMode mode, bool dark)
{
    using ThemePalette::Named;
    if (mode == AppMode::conversation)
        return {QStringLiteral("RELEASE"), QStringLiteral("Release version"), ThemePalette::named(Named::green, dark)};
    return {QStringLiteral("BETA"), QStringLiteral("Beta feature"), ThemePalette::named(Named::warm, dark)};
}

}  // namespace ModeInfo
