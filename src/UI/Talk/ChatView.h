#pragma once

#include <QHash>
#include <QWidget>

struct AppContext;
class CardFrame;
class ChatBubble;
class EndFollower;
class QLabel;
class QScrollArea;
class QVBoxLayout;

// The conversation: a title, then the recent turns as bubbles and the reply still being
// written, in a scrolling list that follows its newest line. Bubbles are kept by turn id and
// updated in place; a change adds or removes only the bubbles that changed.
class ChatView final : public QWidget {
    Q_OBJECT
public:
    explicit ChatView(AppContext& context, QWidget* parent = nullptr);

    const EndFollower& follower() const { return *m_follower; }

private:
    void refresh();
    void relabel();
    void showHint();

    AppContext& m_context;
    QLabel* m_title;
    CardFrame* m_frame;
    QScrollArea* m_scroll;
    QVBoxLayout* m_list;
    QLabel* m_empty;
    EndFollower* m_follower;
    QHash<QString, ChatBubble*> m_bubbles;
};
