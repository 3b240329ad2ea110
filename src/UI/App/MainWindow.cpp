#include "UI/App/MainWindow.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Support/BuildInfo.h"
#include "Support/DesktopWorkspace.h"
#include "UI/App/AppContext.h"
#include "UI/App/MainContentView.h"
#include "UI/App/WindowShortcuts.h"
#include "UI/Kit/Dialogs.h"
#include "UI/Kit/QtTranslations.h"
#include "UI/Kit/Theme.h"
#include "UI/Models/CoreTexts.h"
#include "Update/UpdateManager.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QMainWindow(parent), m_context(context), m_content(new MainContentView(context))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setMinimumSize(kMinimumSize);
    // Roomy where the screen allows, never larger than it.
    resize(kOpeningSize.boundedTo(screen()->availableSize()));
    setCentralWidget(m_content);
    new QtTranslations(context.settings, this);
    new WindowShortcuts(context, *this);
    context.theme.paint(*this);
    connect(&context.theme, &Theme::appearanceChanged, this, [this] { m_context.theme.paint(*this); });

    QMenu* menu = menuBar()->addMenu(QGuiApplication::applicationDisplayName());
    m_checkForUpdates = menu->addAction(QString(), &context.updates, &UpdateManager::checkForUpdates);
    m_checkForUpdates->setObjectName(QStringLiteral("checkForUpdatesAction"));
    menu->addSeparator();
    m_quit = menu->addAction(QString(), QKeySequence::Quit, this, &QWidget::close);
    relabel();
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &MainWindow::relabel);
    connect(&context.updates, &UpdateManager::canCheckNowChanged, this, &MainWindow::followUpdateAvailability);
    connect(&context.updates, &UpdateManager::checkFinished, this, &MainWindow::showCheckResult);
}

QString MainWindow::t(const char* key) const
{
    return L10n::t(QLatin1String(key), m_context.settings.uiLanguage());
}

void MainWindow::relabel()
{
    m_checkForUpdates->setText(t("menu.check_for_updates"));
    m_quit->setText(t("menu.quit"));
    followUpdateAvailability();
}

void MainWindow::followUpdateAvailability()
{
    const bool can = m_context.updates.canCheckNow();
    m_checkForUpdates->setEnabled(can);
    // A disabled command says why, for example that this build has no update feed.
    const QString reason =
        can ? QString() : CoreTexts::shown(m_context.updates.cannotCheckReason(), m_context.settings.uiLanguage());
    m_checkForUpdates->setToolTip(reason);
    m_checkForUpdates->setStatusTip(reason);
}

void MainWindow::showCheckResult(const UpdateCheckResult& result)
{
    const QString title = t("update.title");
    switch (result.outcome) {
    case UpdateCheckResult::Outcome::upToDate:
        if (result.userInitiated)
            m_context.dialogs.ask(this, QMessageBox::Information, title,
                                  t("update.up_to_date").arg(BuildInfo::version()));
        return;
    case UpdateCheckResult::Outcome::failed:
        if (result.userInitiated)
            m_context.dialogs.ask(this, QMessageBox::Warning, title, t("update.failed").arg(result.error));
        return;
    case UpdateCheckResult::Outcome::available:
        break;
    }
    QString text = t("update.available").arg(result.release.version, BuildInfo::version());
    if (!result.downloadedFile.isEmpty())
        text += QStringLiteral("\n") + t("update.downloaded").arg(result.downloadedFile);
    text += QStringLiteral("\n\n") + t("update.open_page");
    if (m_context.dialogs.ask(this, QMessageBox::Information, title, text, QMessageBox::Open | QMessageBox::Close) ==
        QMessageBox::Open)
        m_context.workspace.openUrl(result.release.releasePage);
}
