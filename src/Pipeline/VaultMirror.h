#pragma once

#include <QString>

class AppSettings;
class ObsidianSync;
class Scheduler;

// Mirrors finished exchanges and remembered notes into the notes vault, each kind when its
// setting is on and a vault is chosen: conversation, brainstorm and counseling turns to the
// conversations note, interpreter turns to the translations note, notes to the memories note.
// Minutes are never mirrored here (their meeting note is written when the capture stops).
// Returns at once; the vault writes its files in call order on its own worker. GUI thread.
class VaultMirror {
public:
    VaultMirror(const AppSettings& settings, ObsidianSync& vault, const Scheduler& clock);

    // One exchange; nothing when either side is empty.
    void syncTurn(const QString& userText, const QString& assistantText);
    // One remembered note (never empty here: the caller passes stored notes only).
    void syncMemory(const QString& note);

private:
    const AppSettings& m_settings;
    ObsidianSync& m_vault;
    const Scheduler& m_clock;
};
