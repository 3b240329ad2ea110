#include "Pipeline/VaultMirror.h"

#include "Persistence/AppSettings.h"
#include "Storage/ObsidianSync.h"
#include "Support/Scheduler.h"

namespace {

// The note a turn of the current mode goes to, when its setting is on.
std::optional<ObsidianSync::Channel> turnChannel(const AppSettings& settings)
{
    switch (settings.appMode()) {
    case AppMode::conversation:
    case AppMode::brainstorm:
    case AppMode::counseling:
        if (settings.obsidianSyncConversations())
            return ObsidianSync::Channel::conversation;
        return std::nullopt;
    case AppMode::translate:
        if (settings.obsidianSyncTranslations())
            return ObsidianSync::Channel::translate;
        return std::nullopt;
    case AppMode::minutes:
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

VaultMirror::VaultMirror(const AppSettings& settings, ObsidianSync& vault, const Scheduler& clock)
    : m_settings(settings), m_vault(vault), m_clock(clock)
{
}

void VaultMirror::syncTurn(const QString& userText, const QString& assistantText)
{
    if (userText.isEmpty() || assistantText.isEmpty())
        return;
    const std::optional<ObsidianSync::Channel> channel = turnChannel(m_settings);
    const std::optional<VaultTarget> target = VaultTarget::fromSettings(m_settings);
    if (!channel || !target)
        return;
    m_vault.append(*channel, *target,
                   QStringLiteral("**나**: ") + userText + QStringLiteral("\n\n**비서**: ") + assistantText,
                   m_clock.wallNow(), m_settings.effectiveSTTLocale());
}

void VaultMirror::syncMemory(const QString& note)
{
    if (!m_settings.obsidianSyncMemories())
        return;
    if (const std::optional<VaultTarget> target = VaultTarget::fromSettings(m_settings))
        m_vault.append(ObsidianSync::Channel::memory, *target, QStringLiteral("- ") + note, m_clock.wallNow(),
                       std::nullopt);
}
