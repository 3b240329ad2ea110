// The core's own messages as the window shows them: each known one in the interface language
// with its details, checked against what the core really writes, so a reworded core message
// is noticed here; a message whose cause is a setting names where to change it; anything else
// as written.
#include "UI/Models/CoreTexts.h"

#include "Audio/AudioInputStream.h"
#include "Backend/AssistantClientError.h"
#include "Backend/CLIAssistantError.h"
#include "Backend/HttpExchange.h"
#include "Backend/LocalOpenAICompatClient.h"
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

QString requestFailed(const QString& message)
{
    return AssistantClientError::requestFailed(message).description();
}

QString local(const QString& base)
{
    return requestFailed(LocalOpenAICompatClient::friendlyConnectionError(QUrl(base)));
}

// Where a message sends the user: a section of the settings tab and a row in it.
struct Place {
    const char* section = nullptr;
    const char* row = nullptr;
};
constexpr Place kNowhere{};
constexpr Place kSpeechLocale{"settings.section.language", "settings.locale"};
constexpr Place kAssistant{"settings.section.assistant", "settings.assistant"};
constexpr Place kModel{"settings.section.assistant", "settings.model"};
constexpr Place kAPIKey{"settings.section.assistant", "settings.api_key"};
constexpr Place kServerAddress{"settings.section.assistant", "settings.base_url"};

TEST(CoreTexts, KnownMessagesAreToldInTheInterfaceLanguageWithTheirDetailsAndWhereToChangeThem)
{
    QTemporaryDir directory;
    const QString plainFolder = directory.filePath(QStringLiteral("notes"));
    QDir().mkpath(plainFolder);
    FakeScheduler scheduler;
    const LocalOpenAICompatClient ollama(QStringLiteral("http://localhost:11434"), QStringLiteral("qwen2.5:7b"), {},
                                         scheduler);
    struct Case {
        QString message;  // as the core writes it
        const char* key;  // "" for a message shown as written
        QStringList details;
        Place place = kNowhere;
    };
    const Case cases[] = {
        {Stt{Stt::Kind::unavailable, "ko-KR", {"en-US"}, {}}.description(),
         "error.recognizer_unavailable",
         {"ko-KR", "en-US"},
         kSpeechLocale},
        {Stt{Stt::Kind::unavailable, "ko-KR", {"en-US", "de-DE"}, {}}.description(),
         "error.recognizer_unavailable",
         {"ko-KR", "en-US, de-DE"},
         kSpeechLocale},
        {Stt{Stt::Kind::unavailable, "fr-FR", {}, {}}.description(),
         "error.recognizer_unavailable_none",
         {"fr-FR"},
         kSpeechLocale},
        {Stt{Stt::Kind::modelFailed, "en-US", {}, "no such file: 50% done"}.description(),
         "error.recognizer_model",
         {"en-US", "no such file: 50% done"},
         kSpeechLocale},
        {Stt{Stt::Kind::recognitionFailed, {}, {}, "decoder %2 gone"}.description(),
         "error.recognition_failed",
         {"decoder %2 gone"}},
        {AudioInputError{AudioInputError::Kind::noInputDevice, {}, {}}.description(), "error.no_input_device", {}},
        {SessionSequencer::microphoneLostMessage("USB Mic: 50%"), "error.microphone_disconnected", {"USB Mic: 50%"}},
        {CameraGazeLoop::startFailure(CameraError{CameraError::Kind::noDevice, {}}.description()),
         "error.camera_failed",
         {"No video capture device available."}},
        // As the session writes it (pinned by its own test).
        {QStringLiteral("Speech recognition: no answer within 10 s"), "error.recognizer_silent", {"10"}},
        {requestFailed(QStringLiteral("Host api.example.org not found")),
         "error.request_failed",
         {"Host api.example.org not found"},
         kAssistant},
        {requestFailed({}), "error.request_failed", {""}, kAssistant},
        {AssistantClientError::missingAPIKey(QStringLiteral("OpenAI")).description(),
         "error.api_key_missing",
         {"OpenAI"},
         kAPIKey},
        {AssistantClientError::emptyResponse().description(), "error.empty_reply", {}},
        {HttpExchange::kTimedOutText, "error.timed_out", {}},
        {HttpExchange::tooLargeText(HttpExchange::kMaxBodyBytes), "error.reply_too_large", {"8 MiB"}},
        {HttpExchange::encodedText("gzip"), "error.reply_encoded", {"gzip"}},
        {LocalOpenAICompatClient::friendlyConnectionError(QUrl(QStringLiteral("http://localhost:11434"))),
         "error.local_ollama",
         {},
         kServerAddress},
        {LocalOpenAICompatClient::friendlyConnectionError(QUrl(QStringLiteral("http://127.0.0.1:1234/v1"))),
         "error.local_lmstudio",
         {},
         kServerAddress},
        {LocalOpenAICompatClient::friendlyConnectionError(QUrl(QStringLiteral("https://models.lan"))),
         "error.local_unreachable",
         {"models.lan", "443"},
         kServerAddress},
        {ollama.friendlyError(404, QStringLiteral("model not found\nmulti-line")),
         "error.local_model_missing",
         {"qwen2.5:7b", "model not found\nmulti-line"},
         kModel},
        {ollama.friendlyError(500, QStringLiteral("slot busy")), "error.local_failed", {"500", "slot busy"}},
        // As the local client writes a bad base address (pinned by its own test).
        {QStringLiteral("Local LLM base URL이 유효하지 않습니다: localhost:1234"),
         "error.local_bad_address",
         {"localhost:1234"},
         kServerAddress},
        {CLIAssistantError::binaryNotFound(QStringLiteral("codex")).description(),
         "error.cli_missing",
         {"codex"},
         kAssistant},
        {CLIAssistantError::processFailed(1, QStringLiteral("HTTP 429 Too Many Requests")).description(),
         "error.cli_usage_limit",
         {},
         kAssistant},
        {CLIAssistantError::processFailed(
             1, QStringLiteral(
                    R"({"type":"error","message":"'o3' is not supported when using Codex with a ChatGPT account"})"))
             .description(),
         "error.cli_model_refused",
         {"'o3' is not supported when using Codex with a ChatGPT account"},
         kModel},
        {CLIAssistantError::processFailed(2, QStringLiteral(R"({"type":"error","message":"bad flag"})")).description(),
         "error.cli_failed",
         {"2", "bad flag"}},
        {CLIAssistantError::processFailed(-1, QStringLiteral("stderr: killed")).description(),
         "error.cli_exited",
         {"-1", "stderr: killed"}},
        {CLIAssistantError::emptyResponse(QStringLiteral("{}")).description(), "error.cli_no_output", {"{}"}},
        {CLIAssistantError::promptTooLong(200000).description(), "error.cli_prompt_too_long", {"200000", "131071"}},
        // The speech player's failures, as the engine reports them.
        {QStringLiteral("TTS 중단: playback failed"), "error.speech_stopped", {"playback failed"}},
        {*ObsidianSync::validate(QStringLiteral("  ")), "obsidian.vault_missing", {}},
        {*ObsidianSync::validate(QStringLiteral("Notes/Vault")), "obsidian.vault_relative", {}},
        {*ObsidianSync::validate(directory.filePath(QStringLiteral("missing"))), "obsidian.vault_not_folder", {}},
        {*ObsidianSync::validate(plainFolder), "obsidian.vault_no_marker", {}},
        {cannotCheck(QUrl(), directory.path()), "update.no_feed", {}},
        {cannotCheck(QUrl(QStringLiteral("http://example.org/feed.json")), directory.path()),
         "update.insecure_feed",
         {}},
        {QStringLiteral("HTTP 503 from the model server"), "", {}},
    };
    for (const AppLanguage language : {AppLanguage::korean, AppLanguage::german}) {
        const auto text = [language](const char* key) { return L10n::t(QLatin1String(key), language); };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.message.toStdString());
            QString expected = *c.key ? text(c.key) : c.message;
            for (int i = 0; i < c.details.size(); ++i)
                expected.replace(QStringLiteral("%%1").arg(i + 1), c.details[i]);
            if (c.place.row)
                expected = text("error.with_fix")
                               .arg(expected, text("tab.settings") + QStringLiteral(" → ") + text(c.place.section) +
                                                  QStringLiteral(" → ") + text(c.place.row));
            EXPECT_EQ(CoreTexts::shown(c.message, language), expected);
            // (Some messages the core writes in Korean, as the Korean table does.)
            if (*c.key && language != AppLanguage::korean) {
                EXPECT_NE(CoreTexts::shown(c.message, language), c.message);
            }
        }
    }
}

// A message carried inside another (a failed request, stopped speech) is told as well, and
// the inner one, naming the nearer cause, says where to change it.
TEST(CoreTexts, AMessageInsideAnotherIsToldTooAndNamesTheNearerSetting)
{
    const struct {
        QString message;
        const char* english;
    } cases[] = {
        {local(QStringLiteral("http://localhost:11434")),
         "The request to the assistant failed: Cannot connect to the local model server. Check that the Ollama daemon "
         "is running (in a terminal: ollama serve).\nChange it in Settings → Assistant → Server address."},
        {requestFailed(HttpExchange::kTimedOutText),
         "The request to the assistant failed: The request timed out.\nChange it in Settings → Assistant → Assistant."},
        {QStringLiteral("TTS 중단: no voice installed for locale 'xx-YY'"),
         "Speech stopped: No voice is installed for xx-YY.\nChange it in Settings → Language → Speech locale."},
        {QStringLiteral("TTS 중단: hard ceiling 12s reached"),
         "Speech stopped: A sentence ran past the time limit of 12 s."},
        {QStringLiteral("TTS 중단: the sound server went away"), "Speech stopped: the sound server went away"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CoreTexts::shown(c.message, AppLanguage::english), QString::fromUtf8(c.english)) << c.english;
}

}  // namespace
