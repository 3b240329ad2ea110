#include "UI/App/MainWindow.h"

#include "Platform/DesktopWorkspace.h"
#include "Support/BuildInfo.h"
#include "UI/App/AppContext.h"
#include "UI/App/MainContentView.h"
#include "UI/Kit/Dialogs.h"
#include "UI/Kit/Theme.h"
#include "Update/UpdateManager.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenuBar>

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_content(new MainContentView(context))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setMinimumSize(800, 720);
    setCentralWidget(m_content);
    context.theme.paint(*this);
    connect(&context.theme, &Theme::appearanceChanged, this, [this] { m_context.theme.paint(*this); });

    QMenu* menu = menuBar()->addMenu(QGuiApplication::applicationDisplayName());
    m_checkForUpdates =
        menu->addAction(QStringLiteral("Check for Updates…"), &context.updates, &UpdateManager::checkForUpdates);
    m_checkForUpdates->setObjectName(QStringLiteral("checkForUpdatesAction"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Quit"), QKeySequence::Quit, this, &QWidget::close);
    followUpdateAvailability();
    connect(&context.updates, &UpdateManager::canCheckNowChanged, this, &MainWindow::followUpdateAvailability);
    connect(&context.updates, &UpdateManager::checkFinished, this, &MainWindow::showCheckResult);
}

void MainWindow::followUpdateAvailability()
{
    const bool can = m_context.updates.canCheckNow();
    m_checkForUpdates->setEnabled(can);
    // A disabled command says why, for example that this build has no update feed.
    const QString reason = can ? QString() : m_context.updates.cannotCheckReason();
    m_checkForUpdates->setToolTip(reason);
    m_checkForUpdates->setStatusTip(reason);
}

void MainWindow::showCheckResult(const UpdateCheckResult& result)
{
    const QString title = QStringLiteral("Software Update");
    switch (result.outcome) {
    case UpdateCheckResult::Outcome::upToDate:
        if (result.userInitiated)
            m_context.dialogs.ask(this, QMessageBox::Information, title,
                                  QStringLiteral("Parlivox %1 is up to date.").arg(BuildInfo::version()));
        return;
    case UpdateCheckResult::Outcome::failed:
        if (result.userInitiated)
            m_context.dialogs.ask(this, QMessageBox::Warning, title, result.error);
        return;
    case UpdateCheckResult::Outcome::available:
        break;
    }
    QString text =
        QStringLiteral("Parlivox %1 is available; you have %2.").arg(result.release.version, BuildInfo::version());
    if (!result.downloadedFile.isEmpty())
        text += QStringLiteral("\nIt was downloaded and verified: %1\nInstall it with your package manager.")
                    .arg(result.downloadedFile);
    text += QStringLiteral("\n\nOpen the release page?");
    if (m_context.dialogs.ask(this, QMessageBox::Information, title, text, QMessageBox::Open | QMessageBox::Close) ==
        QMessageBox::Open)
        m_context.workspace.openUrl(result.release.releasePage);
}
