#pragma once

#include <QWidget>

struct AppContext;
class QLabel;
class ModeStageBadge;

// The talk tab's first line: the application's title, the mode picker and the current mode's
// stage badge at the right end.
class HeaderRow final : public QWidget {
    Q_OBJECT
public:
    explicit HeaderRow(AppContext& context, QWidget* parent = nullptr);

private:
    void refresh();

    AppContext& m_context;
    QLabel* m_title;
    ModeStageBadge* m_badge;
};
