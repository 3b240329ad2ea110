#pragma once

#include <QMainWindow>

struct AppContext;
struct UpdateCheckResult;
class MainContentView;
class QAction;

// The application's one window: the main content in the palette's canvas, tinted with its
// accent and recoloured when the system's appearance changes; never smaller than 800 by 720;
// and the application menu with "Check for Updates…", enabled only while a check can start.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);

    MainContentView& content() const { return *m_content; }
    QAction& checkForUpdatesAction() const { return *m_checkForUpdates; }

private:
    void followUpdateAvailability();
    void showCheckResult(const UpdateCheckResult& result);

    AppContext& m_context;
    MainContentView* m_content;
    QAction* m_checkForUpdates;
};
