#pragma once

#include "Support/Scheduler.h"
#include "UI/Talk/CardFrame.h"

struct AppContext;
class PlainTextLabel;
class QLabel;
class QPushButton;

// The engine's last error in a red box: the text (in the interface language when the window
// knows the message), selectable, and a button that copies it exactly as shown. The button
// reads "Copied" for 1.5 seconds after each copy.
class ErrorBanner final : public CardFrame {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds copiedFor{1'500};

    explicit ErrorBanner(AppContext& context, QWidget* parent = nullptr);

    // Back to "Copy" at once.
    void restart();

private:
    void refresh();
    void copy();

    AppContext& m_context;
    QLabel* m_symbol;
    PlainTextLabel* m_message;
    QPushButton* m_copy;
    SingleShot m_copied;
};
