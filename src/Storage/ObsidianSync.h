#pragma once

#include "Storage/VaultTarget.h"
#include "Support/RawEnum.h"
#include "Support/SerialWorker.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Mirrors conversations, remembered facts, interpreter turns and meetings into a notes vault
// of Markdown files: one daily note per kind, appended to and never rewritten, and one note per
// meeting. Calls return at once; every file write runs in call order on one background worker,
// which the destructor drains. Failures are logged, never reported to the caller.
class ObsidianSync {
public:
    enum class Channel { meeting, conversation, memory, translate };

    ObsidianSync();

    // Adds one "## <UTC time>" entry to the channel's note of the date's local day, starting a
    // new note with its front matter. `localeID` goes into that front matter.
    void append(Channel channel, const VaultTarget& target, const QString& body, const QDateTime& date,
                const std::optional<QString>& localeID);

    // Writes a whole meeting note named after the date (and the title, when not blank),
    // replacing a note of the same name.
    void writeMeeting(const VaultTarget& target, const QString& body, const QDateTime& date,
                      const std::optional<QString>& title = std::nullopt);

    // A message about a chosen vault folder (the last one only a warning), or nothing when
    // it is fine. A relative path is refused: nothing is ever written there.
    static std::optional<QString> validate(const QString& vaultPath);

private:
    SerialWorker m_writer;
};

template <>
struct RawEnumTraits<ObsidianSync::Channel> {
    static constexpr std::array<RawCase<ObsidianSync::Channel>, 4> cases{{
        {ObsidianSync::Channel::meeting, "meeting"},
        {ObsidianSync::Channel::conversation, "conversation"},
        {ObsidianSync::Channel::memory, "memory"},
        {ObsidianSync::Channel::translate, "translate"},
    }};
};
