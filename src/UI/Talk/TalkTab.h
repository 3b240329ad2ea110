#pragma once

#include "UI/Models/TalkRows.h"

#include <QWidget>

#include <optional>

struct AppContext;
class ChatComposer;
class ChatView;
class ErrorBanner;
class MinutesView;
class QPushButton;
class QLabel;
class SkillConfirmCard;
class SkillRegistry;
class SkillTipStrip;

// Where the user talks to the assistant: header and mode picker, the two tiles, the live
// transcript, skill hints, the consent card, the error banner, then the chat with its
// composer (or, in minutes mode, the minutes), a clear-history button and the version.
// Rows come and go with the engine's state and the mode; a row that comes back starts
// afresh (no old draft, the first skill hint, "Copy").
class TalkTab final : public QWidget {
    Q_OBJECT
public:
    TalkTab(AppContext& context, const SkillRegistry& skills, QWidget* parent = nullptr);

private:
    void refreshRows();
    void relabel();

    AppContext& m_context;
    SkillTipStrip* m_tips;
    SkillConfirmCard* m_confirmation;
    ErrorBanner* m_banner;
    MinutesView* m_minutes;
    ChatView* m_chat;
    ChatComposer* m_composer;
    QWidget* m_clearRow;
    QPushButton* m_clearHistory;
    QLabel* m_versionSymbol;
    QLabel* m_version;
    std::optional<TalkRows> m_rows;  // none until first laid out
};
