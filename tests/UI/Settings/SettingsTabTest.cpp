// The settings tab, section by section: every control writes its setting and follows changes
// made elsewhere; pickers keep stored values they cannot offer; the vault check; the update
// button; the column; keyboard reach.
#include "UI/Settings/SettingsTab.h"

#include "Common/QtPrinters.h"
#include "Diagnostics/DiagnosticReport.h"
#include "Persistence/L10n.h"
#include "UI/App/MainContentView.h"
#include "UI/App/MainWindow.h"
#include "UI/BoundControls.h"
#include "UI/KeyboardAccess.h"
#include "UI/Models/AssistantSectionModel.h"
#include "UI/Models/MakerLinks.h"
#include "Update/UpdateManager.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

namespace {
using S = AppSettings;

// Recognition of three languages, voices of two, two microphones.
void furnish(UiTestContext& ui)
{
    ui.services.speechLocales = SpeechLocaleCatalog({"ko-KR", "en-US", "ja-JP"});
    ui.synthesizer->installed = {{"ko", "Korean", "ko"}, {"de", "German", "de"}};
    ui.devices.devices = {{"usb-mic", "USB Microphone"}, {"builtin", "Built-in Audio"}};
}

void expectSection(const std::vector<BoundControl>& table)
{
    UiTestContext ui;
    furnish(ui);
    SettingsTab tab(ui.context);
    for (const BoundControl& row : table)
        expectBound(tab, ui, row);
}

TEST(SettingsTab, languageSection)
{
    expectSection({
        setting("uiLanguagePicker", &S::uiLanguage, &S::setUiLanguage, "ja", "de"),
        setting("localePicker", &S::localeID, &S::setLocaleID, "en-US", "ja-JP"),
        setting("translateSourcePicker", &S::translateSourceLocale, &S::setTranslateSourceLocale, "ko-KR", "ja-JP"),
        setting("translateTargetPicker", &S::translateTargetLocale, &S::setTranslateTargetLocale, "de-DE", "ko-KR"),
    });
}

TEST(SettingsTab, behaviorSection)
{
    expectSection({
        setting("cameraGazeToggle", &S::cameraGazeEnabled, &S::setCameraGazeEnabled, "false", "true"),
        // Editable now that gaze is on.
        setting("grayscaleToggle", &S::cameraGrayscaleProcessing, &S::setCameraGrayscaleProcessing, "true", "false"),
        setting("phaseSoundsToggle", &S::phaseSoundsEnabled, &S::setPhaseSoundsEnabled, "true", "false"),
        setting("rightAltToggle", &S::rightOptionInterruptEnabled, &S::setRightOptionInterruptEnabled, "true", "false"),
        setting("bargeInToggle", &S::bargeInEnabled, &S::setBargeInEnabled, "true", "false"),
        setting("diagnosticsLoggingToggle", &S::diagnosticsLoggingEnabled, &S::setDiagnosticsLoggingEnabled, "true",
                "false"),
    });
}

TEST(SettingsTab, inputOutputSection)
{
    expectSection({setting("microphonePicker", &S::microphoneDeviceUID, &S::setMicrophoneDeviceUID, "builtin", "")});
}

TEST(SettingsTab, assistantSection)
{
    const auto model = [](const AppSettings& s) { return AssistantSectionModel::currentModel(s); };
    expectSection({
        setting("providerPicker", &S::assistantProvider, &S::setAssistantProvider, "openAI", "ollama"),
        setting("modelField", model, &AssistantSectionModel::setCurrentModel, "qwen2.5:14b", "llama3.2:3b"),
        setting("openAIKeyField", &S::openAIAPIKey, &S::setOpenAIAPIKey, "sk-elsewhere", "sk-typed"),
        setting("nvidiaKeyField", &S::nvidiaAPIKey, &S::setNvidiaAPIKey, "nv-elsewhere", "nv-typed"),
        setting("lmStudioURLField", &S::lmStudioBaseURL, &S::setLmStudioBaseURL, "http://box:1234", ""),
        setting("ollamaURLField", &S::ollamaBaseURL, &S::setOllamaBaseURL, "http://box:11434", "http://gpu:11434"),
    });

    // The backends' names are relabelled with the rest.
    UiTestContext ui;
    ui.settings.setUiLanguage(AppLanguage::english);
    SettingsTab tab(ui.context);
    auto& picker = *tab.findChild<QComboBox*>(QStringLiteral("providerPicker"));
    const int ollama = picker.findData(QStringLiteral("ollama"));
    EXPECT_EQ(picker.itemText(ollama), QStringLiteral("Ollama (local)"));
    ui.settings.setUiLanguage(AppLanguage::korean);
    EXPECT_EQ(picker.itemText(ollama), QStringLiteral("Ollama (로컬)"));
}

TEST(SettingsTab, obsidianSection)
{
    expectSection({
        setting("vaultPathField", &S::obsidianVaultPath, &S::setObsidianVaultPath, "/srv/notes", " /home/me/Vault "),
        setting("subfolderField", &S::obsidianSubfolder, &S::setObsidianSubfolder, "Assistant", ""),
        setting("syncMeetingsToggle", &S::obsidianSyncMeetings, &S::setObsidianSyncMeetings, "false", "true"),
        setting("syncConversationsToggle", &S::obsidianSyncConversations, &S::setObsidianSyncConversations, "true",
                "false"),
        setting("syncMemoriesToggle", &S::obsidianSyncMemories, &S::setObsidianSyncMemories, "false", "true"),
        setting("syncTranslationsToggle", &S::obsidianSyncTranslations, &S::setObsidianSyncTranslations, "true",
                "false"),
    });
}

TEST(SettingsTab, updateAndTelemetrySections)
{
    const auto updater = [](const char* control, bool (UpdateManager::*get)() const, void (UpdateManager::*set)(bool),
                            const char* outside, const char* edited) {
        return BoundControl{control, [get](UiTestContext& ui) { return asText((ui.updates.*get)()); },
                            [set](UiTestContext& ui, const QString& v) { (ui.updates.*set)(v == "true"); }, outside,
                            edited};
    };
    expectSection({
        updater("autoCheckToggle", &UpdateManager::automaticallyChecks, &UpdateManager::setAutomaticallyChecks, "false",
                "true"),
        updater("autoDownloadToggle", &UpdateManager::downloadsAutomatically, &UpdateManager::setDownloadsAutomatically,
                "true", "false"),
        setting("telemetryToggle", &S::telemetryEnabled, &S::setTelemetryEnabled, "false", "true"),
    });
}

TEST(SettingsTab, aboutSectionCopiesTheBareAddressAndOpensLinksWithTheDesktop)
{
    UiTestContext ui;
    SettingsTab tab(ui.context);
    tab.findChild<QAbstractButton*>("copyEmailButton")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), DiagnosticReport::supportAddress());
    for (const char* link : {"supportMailLink", "websiteLink", "discussionsLink", "issuesLink"})
        tab.findChild<QAbstractButton*>(link)->click();
    EXPECT_EQ(ui.workspace.opened,
              QList<QUrl>({QUrl("mailto:" + DiagnosticReport::supportAddress()), MakerLinks::website(),
                           MakerLinks::discussions(), MakerLinks::newIssue()}));
}

// A change that cannot be written is told until a later change reaches the file.
TEST(SettingsTab, aChangeThatCouldNotBeSavedIsToldUntilALaterOneIs)
{
    UiTestContext ui;
    SettingsTab tab(ui.context);
    auto* banner = tab.findChild<QWidget*>("saveFailureBanner");
    EXPECT_TRUE(banner->isHidden());
    const QString file = ui.defaults.filePath();
    QFile::remove(file);
    QDir().mkdir(file);  // nothing can replace a folder with the settings, not even root

    editAsUser(*tab.findChild<QWidget*>("bargeInToggle"), "false");
    ASSERT_FALSE(banner->isHidden());
    const QString told = banner->findChild<QLabel*>("saveFailureText")->text();
    EXPECT_TRUE(told.startsWith("The settings could not be saved: ")) << told.toStdString();
    ui.settings.setRestingUntil(QDateTime::currentDateTime());  // not a stored setting
    EXPECT_FALSE(banner->isHidden());

    QDir().rmdir(file);
    editAsUser(*tab.findChild<QWidget*>("phaseSoundsToggle"), "false");
    EXPECT_TRUE(banner->isHidden());
    EXPECT_FALSE(ui.settings.bargeInEnabled());
}

// A switch that depends on another is greyed out but keeps its value.
TEST(SettingsTab, dependentSwitchesAreDisabledWithTheirValueKept)
{
    UiTestContext ui;
    SettingsTab tab(ui.context);
    auto* grayscale = tab.findChild<QAbstractButton*>("grayscaleToggle");
    auto* downloads = tab.findChild<QAbstractButton*>("autoDownloadToggle");
    EXPECT_FALSE(grayscale->isEnabled());
    EXPECT_TRUE(grayscale->isChecked());
    grayscale->click();
    EXPECT_TRUE(ui.settings.cameraGrayscaleProcessing());
    ui.settings.setCameraGazeEnabled(true);
    EXPECT_TRUE(grayscale->isEnabled());
    EXPECT_TRUE(grayscale->isChecked());

    ui.updates.setAutomaticallyChecks(false);
    ui.updates.setDownloadsAutomatically(true);
    EXPECT_FALSE(downloads->isEnabled());
    EXPECT_TRUE(downloads->isChecked());
    ui.updates.setAutomaticallyChecks(true);
    EXPECT_TRUE(downloads->isEnabled());
}

// A stored locale the recognizer cannot recognize is shown marked, and neither a refill nor
// anything but the user's choice replaces it.
TEST(SettingsTab, localePickersKeepAStoredLocaleTheyCannotOffer)
{
    UiTestContext ui;
    ui.services.speechLocales = SpeechLocaleCatalog({"en-US"});
    ui.settings.setLocaleID("ko-KR");  // the recognizer here knows only US English
    SettingsTab tab(ui.context);
    auto* picker = tab.findChild<QComboBox*>("localePicker");
    QSignalSpy writes(&ui.settings, &AppSettings::localeIDChanged);
    const auto isUnavailable = [picker](int row) {
        return !(static_cast<QStandardItemModel*>(picker->model())->item(row)->flags() & Qt::ItemIsEnabled);
    };

    EXPECT_EQ(picker->currentData().toString(), "ko-KR");
    EXPECT_TRUE(picker->currentText().startsWith("⚠ ")) << picker->currentText().toStdString();
    EXPECT_TRUE(isUnavailable(picker->currentIndex()));
    ui.settings.setUiLanguage(AppLanguage::japanese);  // relabels and refills the window
    EXPECT_EQ(ui.settings.localeID(), "ko-KR");
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(picker->currentData().toString(), "ko-KR");

    editAsUser(*picker, "en-US");
    EXPECT_EQ(ui.settings.localeID(), "en-US");
    EXPECT_EQ(picker->count(), 1) << "the marked entry goes once another is chosen";
    ui.settings.setLocaleID("fr-FR");
    EXPECT_EQ(picker->count(), 2);
    EXPECT_TRUE(isUnavailable(picker->currentIndex()));
}

TEST(SettingsTab, microphonePickerFollowsTheSoundServersDevices)
{
    UiTestContext ui;
    furnish(ui);
    ui.settings.setMicrophoneDeviceUID("usb-mic");
    SettingsTab tab(ui.context);
    auto* picker = tab.findChild<QComboBox*>("microphonePicker");
    const auto choices = [picker] {
        QStringList data;
        for (int row = 0; row < picker->count(); ++row)
            data << picker->itemData(row).toString();
        return data;
    };
    EXPECT_EQ(choices(), QStringList({"", "builtin", "usb-mic"}));
    QSignalSpy writes(&ui.settings, &AppSettings::microphoneDeviceUIDChanged);
    ui.devices.devices = {{"builtin", "Built-in Audio"}, {"headset", "Headset"}};
    emit ui.devices.devicesChanged();
    EXPECT_EQ(choices(), QStringList({"", "builtin", "headset"}));
    // Unplugging the chosen microphone leaves the choice for when it comes back.
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(ui.settings.microphoneDeviceUID(), "usb-mic");
}

// The vault is checked on every change of its path, typed or chosen, never on first show.
TEST(SettingsTab, vaultPathIsCheckedOnEachChange)
{
    UiTestContext ui;
    const QString root = ui.directory.filePath("notes");
    QDir(root).mkpath("Plain");
    QDir(root).mkpath("Vault/.obsidian");
    QFile(root + "/file.md").open(QIODevice::WriteOnly);
    ui.settings.setObsidianVaultPath(root + "/gone");
    SettingsTab tab(ui.context);
    auto* field = tab.findChild<QLineEdit*>("vaultPathField");
    auto* message = tab.findChild<QLabel*>("vaultValidation");
    const auto shown = [message] { return message->isVisibleTo(message->parentWidget()) ? message->text() : ""; };
    EXPECT_EQ(shown(), "") << "a stored path is not checked when the section first shows";

    // In the interface language, whatever language the check itself speaks.
    ui.settings.setUiLanguage(AppLanguage::korean);
    const QString choose = L10n::t("obsidian.vault_missing", AppLanguage::korean);
    const QString missing = L10n::t("obsidian.vault_not_folder", AppLanguage::korean);
    const QString noVault = L10n::t("obsidian.vault_no_marker", AppLanguage::korean);
    struct Step {
        QString typed;  // else chosen in the folder chooser
        std::optional<QString> chosen;
        QString message;
    };
    const Step steps[] = {
        {"   ", {}, choose},
        {root + "/gone", {}, missing},
        {root + "/file.md", {}, missing},
        {root + "/Plain", {}, noVault},
        {root + "/Vault", {}, ""},
        {"", root + "/Plain", noVault},
        {"", std::nullopt, noVault},  // cancelled: nothing changes
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.typed.toStdString());
        if (!step.typed.isEmpty()) {
            editAsUser(*field, step.typed);
        } else {
            ui.dialogs.setNextPath(step.chosen);
            tab.findChild<QPushButton*>("chooseVaultButton")->click();
        }
        EXPECT_EQ(shown(), step.message);
    }
    EXPECT_EQ(field->text(), root + "/Plain");

    ui.settings.setObsidianSubfolder("<b>Notes</b>");
    EXPECT_TRUE(tab.findChild<QLabel*>("vaultNote")->text().contains("<code>&lt;b&gt;Notes&lt;/b&gt;/</code>"));
}

// Check now (and Ctrl+Shift+U) works only while the updater can check; otherwise the reason shows.
TEST(SettingsTab, checkNowFollowsWhetherTheUpdaterCanCheck)
{
    UiTestContext ui;
    ui.updater.reportCanCheck(false);
    ui.scheduler.runDue();
    SettingsTab tab(ui.context);
    tab.resize(800, 720);
    tab.show();
    QApplication::setActiveWindow(&tab);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&tab));
    auto* button = tab.findChild<QPushButton*>("checkNowButton");
    auto* reason = tab.findChild<QLabel*>("cannotCheckLabel");
    EXPECT_EQ(tab.findChild<QLabel*>("lastCheckLabel")->text(), "—");
    for (const bool can : {false, true}) {
        SCOPED_TRACE(can);
        ui.updater.reportCanCheck(can);
        ui.scheduler.runDue();
        const int before = ui.updater.checkRequests;
        QTest::keyClick(&tab, Qt::Key_U, Qt::ControlModifier | Qt::ShiftModifier);
        button->click();
        EXPECT_EQ(button->isEnabled(), can);
        EXPECT_EQ(ui.updater.checkRequests - before, can ? 2 : 0);
        EXPECT_EQ(reason->text(), can ? "" : "no feed");
    }
}

// A build with no update feed never checks by itself: its automatic checks show off, cannot be
// switched on and say why, as the disabled check does.
TEST(SettingsTab, automaticChecksShowOffAndSayWhyInABuildThatCannotCheck)
{
    UiTestContext ui;
    FakeUpdater noFeed;
    noFeed.available = false;
    ASSERT_TRUE(noFeed.checks) << "its switch is on";
    UpdateManager updates(noFeed, ui.scheduler);
    ui.scheduler.runDue();
    AppContext context{ui.settings,  ui.engine, ui.commands, ui.log,       ui.micLevel,  ui.minutes,  updates,
                       ui.scheduler, ui.theme,  ui.dialogs,  ui.clipboard, ui.workspace, ui.services, ui.speechPlayer};
    SettingsTab tab(context);
    auto* checks = tab.findChild<QCheckBox*>("autoCheckToggle");
    EXPECT_FALSE(checks->isChecked());
    EXPECT_FALSE(checks->isEnabled());
    EXPECT_EQ(checks->toolTip(), "no feed");
    EXPECT_FALSE(tab.findChild<QCheckBox*>("autoDownloadToggle")->isEnabled());
    EXPECT_FALSE(tab.findChild<QPushButton*>("checkNowButton")->isEnabled());
    EXPECT_EQ(tab.findChild<QLabel*>("cannotCheckLabel")->text(), "no feed");

    noFeed.available = true;  // a build with a feed: the switch as the updater keeps it
    UpdateManager withFeed(noFeed, ui.scheduler);
    EXPECT_TRUE(withFeed.automaticallyChecks());
}

TEST(SettingsTab, columnIsTheWindowsWidthUpTo720PixelsCentred)
{
    UiTestContext ui;
    SettingsTab tab(ui.context);
    tab.show();
    for (const int width : {600, 800, 1200}) {
        SCOPED_TRACE(width);
        tab.resize(width, 720);
        QApplication::processEvents();
        const QWidget* section = tab.findChild<QWidget*>("languageSection");
        const QRect shown(section->mapTo(tab.viewport(), QPoint()), section->size());
        EXPECT_EQ(shown.width(), std::min(720, tab.viewport()->width() - 32));
        EXPECT_NEAR(shown.center().x(), tab.viewport()->rect().center().x(), 1);
    }
}

// A change of interface language relabels every text of both pages at once: each text that
// was an English table text with a different Korean text now reads in Korean.
TEST(SettingsTab, aLanguageChangeRelabelsBothPagesAtOnce)
{
    UiTestContext ui;
    furnish(ui);
    ui.settings.setUiLanguage(AppLanguage::english);
    MainWindow window(ui.context);
    window.content().selectTab(AppTab::settings);
    window.content().selectTab(AppTab::agent);
    const L10n::Table& english = L10n::builtInTable(AppLanguage::english);
    const L10n::Table& korean = L10n::builtInTable(AppLanguage::korean);
    const auto texts = [&window] {
        QList<std::pair<QObject*, QString>> shown;
        for (const char* page : {"settingsTab", "agentTab"}) {
            auto* tab = window.findChild<QWidget*>(page);
            for (QLabel* label : tab->findChildren<QLabel*>())
                shown.append({label, label->text()});
            for (QAbstractButton* button : tab->findChildren<QAbstractButton*>())
                shown.append({button, button->text()});
            for (QLineEdit* edit : tab->findChildren<QLineEdit*>())
                shown.append({edit, edit->placeholderText()});
        }
        return shown;
    };
    const auto before = texts();
    ui.settings.setUiLanguage(AppLanguage::korean);
    const auto after = texts();
    ASSERT_EQ(before.size(), after.size());
    int relabelled = 0;
    for (int i = 0; i < before.size(); ++i) {
        QStringList expected;  // several keys may share an English text
        for (auto it = english.cbegin(); it != english.cend(); ++it)
            if (it.value() == before[i].second && korean.value(it.key()) != it.value())
                expected << korean.value(it.key());
        // The picture's reset button keeps its fixed English title, which a table text shares.
        if (expected.isEmpty() || before[i].first->objectName() == "resetAvatarButton")
            continue;
        ++relabelled;
        EXPECT_TRUE(expected.contains(after[i].second))
            << before[i].first->objectName().toStdString() << ": " << before[i].second.toStdString() << " → "
            << after[i].second.toStdString();
    }
    EXPECT_GT(relabelled, 80);
}

TEST(SettingsTab, bothPagesAreReachedByKeyboardWithNamedControls)
{
    for (const AppTab tab : {AppTab::settings, AppTab::agent}) {
        SCOPED_TRACE(rawValue(tab).toStdString());
        UiTestContext ui;
        furnish(ui);
        MainWindow window(ui.context);
        window.content().selectTab(tab);
        window.resize(800, 720);
        window.show();
        EXPECT_EQ(keyboardAccessFaults(window), QStringList());
    }
}

}  // namespace
