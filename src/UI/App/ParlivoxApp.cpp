#include "UI/App/ParlivoxApp.h"

#include "Storage/AppPaths.h"
#include "Support/BuildInfo.h"
#include "Support/Scheduler.h"
#include "UI/App/AppContext.h"
#include "UI/App/MainWindow.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/IdleMood.h"
#include "Update/FeedUpdater.h"
#include "Update/UpdateManager.h"

#include <QApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <QScreen>

Q_LOGGING_CATEGORY(lcWindow, "app.parlivox.app")

namespace {
// Calls the action once, after the watched widget's first paint has reached the screen.
class AfterFirstPaint final : public QObject {
public:
    AfterFirstPaint(QWidget& widget, Scheduler& scheduler, std::function<void()> action)
        : QObject(&widget), m_scheduler(scheduler), m_action(std::move(action))
    {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_action) {
            watched->removeEventFilter(this);
            // The paint is flushed to the display when this event has been handled.
            m_scheduler.schedule(std::chrono::milliseconds(0), std::exchange(m_action, nullptr));
        }
        return false;
    }

private:
    Scheduler& m_scheduler;
    std::function<void()> m_action;
};
}  // namespace

ParlivoxApp::ParlivoxApp(AppSettings& settings, Scheduler& scheduler, DesktopWorkspace& workspace,
                         AppServices& services, const SystemSpeechPlayer& speechPlayer,
                         std::function<Engine()> buildEngine)
    : m_settings(settings), m_scheduler(scheduler), m_workspace(workspace), m_services(services),
      m_speechPlayer(speechPlayer), m_buildEngine(std::move(buildEngine))
{
    // The desktop entry "parlivox.desktop" and its icon name the window.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Parlivox"));
    QGuiApplication::setDesktopFileName(QStringLiteral("parlivox"));
    Icons::useDesktopTheme();
}

ParlivoxApp::~ParlivoxApp() = default;

QStringList ParlivoxApp::glyphsShownFirst()
{
    // The tips' bulb and the answer-now button's flame, which no theme icon stands for, then
    // whatever the assistant's idle mood shows in the face's bubble.
    QStringList glyphs{Icons::standInGlyph(QStringLiteral("lightbulb.fill")),
                       Icons::standInGlyph(QStringLiteral("flame.fill"))};
    for (const auto& mood : RawEnumTraits<IdleMood>::cases)
        glyphs << emoji(mood.value);
    return glyphs;
}

int ParlivoxApp::run()
{
    const Engine engine = m_buildEngine();
    m_theme = std::make_unique<Theme>();
    m_updater = std::make_unique<FeedUpdater>(
        FeedUpdater::Config{BuildInfo::updateFeed(), BuildInfo::version(), BuildInfo::build(),
                            UpdatePreferences::standardFilePath(), AppPaths::cache() + QStringLiteral("/updates")},
        m_scheduler);
    m_updates = std::make_unique<UpdateManager>(*m_updater, m_scheduler);
    m_context.reset(new AppContext{m_settings, engine.state, engine.commands, engine.log, engine.micLevel,
                                   engine.minutes, *m_updates, m_scheduler, *m_theme, m_dialogs, m_clipboard,
                                   m_workspace, m_services, m_speechPlayer});
    m_window = std::make_unique<MainWindow>(*m_context);
    announceWhenShown();
    m_window->show();
    return QApplication::exec();
}

void ParlivoxApp::bringToFront()
{
    if (!m_window)
        return;
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    qCInfo(lcWindow, "window brought to the front");
}

void ParlivoxApp::announceWhenShown()
{
    new AfterFirstPaint(*m_window, m_scheduler, [this] {
        const QString snapshot = qEnvironmentVariable("PARLIVOX_WINDOW_SNAPSHOT");
        if (!snapshot.isEmpty()) {
            const QPixmap shown = m_window->screen()->grabWindow(m_window->winId());
            if (!shown.save(snapshot, "PNG"))
                qCWarning(lcWindow, "window snapshot not saved to %s", qPrintable(snapshot));
        }
        qCInfo(lcWindow, "window shown: %dx%d", m_window->width(), m_window->height());
        // Looking a name up in the icon theme walks all of its folders: not before the first frame.
        QApplication::setWindowIcon(
            QIcon::fromTheme(QStringLiteral("parlivox"), QIcon(QStringLiteral(":/parlivox.svg"))));
    });
}
