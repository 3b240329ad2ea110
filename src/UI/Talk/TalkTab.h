#pragma once

#include "UI/Models/TalkRows.h"

#include <QScrollArea>

#include <optional>

struct AppContext;
class AssistantTile;
class ChatComposer;
class ChatView;
class ErrorBanner;
class HeaderRow;
class MinutesView;
class QPushButton;
class QLabel;
class SkillConfirmCard;
class SkillRegistry;
class SkillTipStrip;
class UserTile;

// Where the user talks to the assistant: header and mode picker, the two tiles, the live
// transcript, skill hints, the consent card, the error banner, then the chat with its
// composer (or, in minutes mode, the minutes), a clear-history button and the version.
// Rows come and go with the engine's state and the mode; a row that comes back starts
// afresh (no old draft, the first skill hint, "Copy"). The conversation keeps at least a
// third of the tab's height, the tiles' pictures giving way first; when the rows need more
// than the window has, the tab scrolls.
// Tab goes through the controls in the order they read, top to bottom, left to right.
class TalkTab final : public QScrollArea {
    Q_OBJECT
public:
    TalkTab(AppContext& context, const SkillRegistry& skills, QWidget* parent = nullptr);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void refreshRows();
    void relabel();
    void keepAThirdForTheConversation();
    // The cards and the minutes, which the first frame seldom shows, are made the first time
    // they are present; null until then.
    template <typename Row>
    Row* rowIfPresent(Row*& row, bool present);

    AppContext& m_context;
    // Made in the order they are read, which is the order Tab follows.
    QWidget* m_column;
    HeaderRow* m_header;
    AssistantTile* m_assistant;
    UserTile* m_user;
    SkillTipStrip* m_tips;
    SkillConfirmCard* m_confirmation = nullptr;
    ErrorBanner* m_banner = nullptr;
    MinutesView* m_minutes = nullptr;
    ChatView* m_chat;
    ChatComposer* m_composer;
    QWidget* m_clearRow;
    QPushButton* m_clearHistory;
    QLabel* m_versionSymbol;
    QLabel* m_version;
    std::optional<TalkRows> m_rows;  // none until first laid out
};
