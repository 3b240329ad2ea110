#pragma once

#include <QWidget>

#include <array>

struct AppContext;
class PillButton;
class PillRow;

// The segmented choice of the five modes, checkable segments of which the current mode's is
// checked, whichever way a segment was toggled (a click, a key, a screen reader's action). A
// segment writes AppSettings::appMode only when the user picks a mode other than the current
// one; the main window does the rest. Segments shorten their labels rather than
// grow the picker past its widest; each one's hover help names its mode in full and says
// what it does.
class ModePicker final : public QWidget {
    Q_OBJECT
public:
    static constexpr int widest = 520;

    explicit ModePicker(AppContext& context, QWidget* parent = nullptr);

private:
    void refresh();

    AppContext& m_context;
    PillRow* m_row;
    std::array<PillButton*, 5> m_segments{};
};
