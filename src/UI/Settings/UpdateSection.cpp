#include "UI/Settings/UpdateSection.h"

#include "Persistence/AppSettings.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/Icons.h"
#include "UI/Kit/PlainTextLabel.h"
#include "UI/Kit/SettingBinding.h"
#include "UI/Models/CoreTexts.h"
#include "Update/UpdateManager.h"

#include <QCheckBox>
#include <QPushButton>
#include <QShortcut>

UpdateSection::UpdateSection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("updateSection"), parent)
{
    using U = UpdateManager;
    U& updates = context.updates;
    setTitle(QStringLiteral("settings.section.update"));

    m_automaticChecks = addToggle(QStringLiteral("autoCheckToggle"), QStringLiteral("settings.update_auto_check"),
                                  QStringLiteral("settings.update_auto_check_help"));
    SettingBinding::toggle(*m_automaticChecks, updates, &U::automaticallyChecks, &U::setAutomaticallyChecks,
                           &U::automaticallyChecksChanged);
    QCheckBox* downloads =
        addToggle(QStringLiteral("autoDownloadToggle"), QStringLiteral("settings.update_auto_download"),
                  QStringLiteral("settings.update_auto_download_help"));
    SettingBinding::toggle(*downloads, updates, &U::downloadsAutomatically, &U::setDownloadsAutomatically,
                           &U::downloadsAutomaticallyChanged);
    SettingBinding::follow(*downloads, updates, &U::automaticallyChecksChanged,
                           [downloads, &updates] { downloads->setEnabled(updates.automaticallyChecks()); });

    m_lastCheck = makeLabel(TextStyle::Size::callout, TextTint::secondary());
    m_lastCheck->setObjectName(QStringLiteral("lastCheckLabel"));
    m_lastCheck->setWordWrap(false);
    addLabelledRow(QStringLiteral("settings.update_last_check"), {m_lastCheck}, nullptr);

    m_checkNow = new QPushButton(Icons::symbol(QStringLiteral("arrow.down.circle")), QString());
    m_checkNow->setObjectName(QStringLiteral("checkNowButton"));
    m_checkNow->setDefault(true);
    // A shortcut of its own: the button's would click only after its press animation.
    m_shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U), m_checkNow);
    connect(m_shortcut, &QShortcut::activated, &updates, &U::checkForUpdates);
    texts().button(*m_checkNow, QStringLiteral("settings.update_check_now"));
    connect(m_checkNow, &QPushButton::clicked, &updates, &U::checkForUpdates);
    m_cannotCheck = makeLabel(TextStyle::Size::caption, TextTint::secondary());
    m_cannotCheck->setObjectName(QStringLiteral("cannotCheckLabel"));
    m_cannotCheck->setAlignment(Qt::AlignRight);
    m_cannotCheck->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addRow(rowOf({m_cannotCheck, m_checkNow}));

    followUpdater();
    connect(&updates, &U::canCheckNowChanged, this, &UpdateSection::followUpdater);
    connect(&updates, &U::checkFinished, this, &UpdateSection::followUpdater);
    connect(&context.settings, &AppSettings::uiLanguageChanged, this, &UpdateSection::followUpdater);
}

void UpdateSection::followUpdater()
{
    const UpdateManager& updates = context().updates;
    const QString reason = CoreTexts::shown(updates.cannotCheckReason(), context().settings.uiLanguage());
    m_automaticChecks->setEnabled(updates.isAvailable());
    m_automaticChecks->setToolTip(updates.isAvailable() ? QString() : reason);
    m_lastCheck->setText(updates.lastCheckLabel());
    m_checkNow->setEnabled(updates.canCheckNow());
    m_shortcut->setEnabled(updates.canCheckNow());
    m_cannotCheck->setText(updates.canCheckNow() ? QString() : reason);
}
