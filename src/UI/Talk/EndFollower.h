#pragma once

#include <QObject>

class QScrollBar;

// Keeps a list showing its newest entry: while the view is at its end (or nothing has been
// scrolled yet), every growth of the content moves it to the new end, whatever the number
// of entries (a full list that drops its oldest still follows). Once the user scrolls up to
// read, it stays put; scrolling back to the end follows again.
class EndFollower final : public QObject {
    Q_OBJECT
public:
    // Counts as at the end this close to it, in pixels.
    static constexpr int slack = 4;

    explicit EndFollower(QScrollBar& bar);

    bool isFollowing() const { return m_following; }
    // Goes to the end now when following (after a change that may not alter the range).
    void catchUp();

private:
    QScrollBar& m_bar;
    bool m_following = true;
};
