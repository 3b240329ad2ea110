#pragma once

#include <QWidget>

#include <array>

struct AppContext;
class PillButton;

// The segmented choice of the five modes. A segment writes AppSettings::appMode only when the
// user picks a mode other than the current one; the main window does the rest. Its hover
// help is that of the selected mode; segments shorten their labels rather than grow the
// picker past its widest.
class ModePicker final : public QWidget {
    Q_OBJECT
public:
    static constexpr int widest = 520;

    explicit ModePicker(AppContext& context, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refresh();
    void place();

    AppContext& m_context;
    std::array<PillButton*, 5> m_segments{};
};
