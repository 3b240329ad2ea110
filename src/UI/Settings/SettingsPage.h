#pragma once

#include <QScrollArea>

struct AppContext;
class QVBoxLayout;

// A scrolling page of settings sections under a title (and a warning while changes cannot be
// saved): a column at most 720 pixels wide, centred at the top of the tab, the full width of a
// narrower window.
class SettingsPage : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kColumnWidth = 720;

    SettingsPage(AppContext& context, const QString& objectName, const QString& titleKey, QWidget* parent = nullptr);

    void addSection(QWidget* section);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    QVBoxLayout* m_column;
};
