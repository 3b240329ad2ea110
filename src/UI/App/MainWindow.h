#pragma once

#include <QMainWindow>

struct AppContext;
struct UpdateCheckResult;
class MainContentView;
class QAction;

// The application's one window: the main content in the palette's canvas, tinted with its
// accent and recoloured when the system's appearance changes; small enough for a laptop
// screen at twice the scale (its pages scroll rather than grow it); the talk controls' keys,
// working from every tab; Qt's own texts in the interface language; and the application menu
// with "Check for Updates…", enabled only while a check can start.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize kMinimumSize{640, 560};
    static constexpr QSize kOpeningSize{900, 760};

    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);

    MainContentView& content() const { return *m_content; }
    QAction& checkForUpdatesAction() const { return *m_checkForUpdates; }

private:
    QString t(const char* key) const;
    void relabel();
    void followUpdateAvailability();
    void showCheckResult(const UpdateCheckResult& result);

    AppContext& m_context;
    MainContentView* m_content;
    QAction* m_checkForUpdates;
    QAction* m_quit;
};
