// The core's own messages as the window shows them: each known one in the interface language
// with its details, checked against what the core really writes, so a reworded core message
// is noticed here; anything else as written.
#include "UI/Models/CoreTexts.h"

#include "Audio/AudioInputStream.h"
#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"
#include "Persistence/L10n.h"
#include "Pipeline/CameraGazeLoop.h"
#include "Pipeline/SessionSequencer.h"
#include "STT/SystemStreamingRecognizer.h"
#include "Storage/ObsidianSync.h"
#include "Update/FeedUpdater.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
using Stt = SystemStreamingRecognizer::SystemSttError;

QString cannotCheck(const QUrl& feed, const QString& folder)
{
    FakeScheduler scheduler;
    const FeedUpdater updater({feed, QStringLiteral("1.0"), QStringLiteral("1"), folder + QStringLiteral("/u.json"),
                               folder + QStringLiteral("/downloads")},
                              scheduler);
    return updater.cannotCheckReason();
}

TEST(CoreTexts, KnownMessagesAreToldInTheInterfaceLanguageWithTheirDetails)
{
    QTemporaryDir directory;
    const QString plainFolder = directory.filePath(QStringLiteral("notes"));
    QDir().mkpath(plainFolder);
    struct Case {
        QString message;  // as the core writes it
        const char* key;  // "" for a message shown as written
        QStringList details;
    };
    const Case cases[] = {
        {Stt{Stt::Kind::unavailable, "ko-KR", {"en-US"}, {}}.description(),
         "error.recognizer_unavailable",
         {"ko-KR", "en-US"}},
        {Stt{Stt::Kind::unavailable, "ko-KR", {"en-US", "de-DE"}, {}}.description(),
         "error.recognizer_unavailable",
         {"ko-KR", "en-US, de-DE"}},
        {Stt{Stt::Kind::unavailable, "fr-FR", {}, {}}.description(), "error.recognizer_unavailable_none", {"fr-FR"}},
        {Stt{Stt::Kind::modelFailed, "en-US", {}, "no such file: 50% done"}.description(),
         "error.recognizer_model",
         {"en-US", "no such file: 50% done"}},
        {Stt{Stt::Kind::recognitionFailed, {}, {}, "decoder %2 gone"}.description(),
         "error.recognition_failed",
         {"decoder %2 gone"}},
        {AudioInputError{AudioInputError::Kind::noInputDevice, {}, {}}.description(), "error.no_input_device", {}},
        {SessionSequencer::microphoneLostMessage("USB Mic: 50%"), "error.microphone_disconnected", {"USB Mic: 50%"}},
        {CameraGazeLoop::startFailure(CameraError{CameraError::Kind::noDevice, {}}.description()),
         "error.camera_failed",
         {"No video capture device available."}},
        {*ObsidianSync::validate(QStringLiteral("  ")), "obsidian.vault_missing", {}},
        {*ObsidianSync::validate(directory.filePath(QStringLiteral("missing"))), "obsidian.vault_not_folder", {}},
        {*ObsidianSync::validate(plainFolder), "obsidian.vault_no_marker", {}},
        {cannotCheck(QUrl(), directory.path()), "update.no_feed", {}},
        {cannotCheck(QUrl(QStringLiteral("http://example.org/feed.json")), directory.path()),
         "update.insecure_feed",
         {}},
        {QStringLiteral("HTTP 503 from the model server"), "", {}},
    };
    for (const AppLanguage language : {AppLanguage::korean, AppLanguage::german}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.message.toStdString());
            QString expected = *c.key ? L10n::t(QLatin1String(c.key), language) : c.message;
            if (c.details.size() == 1)
                expected = expected.arg(c.details[0]);
            else if (c.details.size() == 2)
                expected = expected.arg(c.details[0], c.details[1]);
            EXPECT_EQ(CoreTexts::shown(c.message, language), expected);
            if (*c.key) {
                EXPECT_NE(CoreTexts::shown(c.message, language), c.message);
            }
        }
    }
}

}  // namespace
