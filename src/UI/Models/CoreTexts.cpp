#include "UI/Models/CoreTexts.h"

#include "Persistence/L10n.h"

#include <QRegularExpression>

#include <optional>

namespace CoreTexts {

namespace {
// Where the setting that fixes a message is changed: localization keys of a tab, of a
// section on it and of a row in that section.
struct SettingPlace {
    const char* tab;
    const char* section;
    const char* row;
};

constexpr SettingPlace kSpeechLocale{"tab.settings", "settings.section.language", "settings.locale"};
constexpr SettingPlace kAssistant{"tab.settings", "settings.section.assistant", "settings.assistant"};
constexpr SettingPlace kModel{"tab.settings", "settings.section.assistant", "settings.model"};
constexpr SettingPlace kAPIKey{"tab.settings", "settings.section.assistant", "settings.api_key"};
constexpr SettingPlace kServerAddress{"tab.settings", "settings.section.assistant", "settings.base_url"};

struct Known {
    QRegularExpression pattern;  // its groups (three at most) are the key's %1, %2 and %3
    const char* key;
    std::optional<SettingPlace> fix;
};

QRegularExpression pattern(const char* text)
{
    // Details (a server's answer, an agent's output) may run over several lines.
    return QRegularExpression(QString::fromUtf8(text), QRegularExpression::DotMatchesEverythingOption);
}

QRegularExpression exactly(const char* text)
{
    return QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(QString::fromUtf8(text)) +
                              QLatin1Char('$'));
}

const QList<Known>& known()
{
    static const QList<Known> kKnown{
        // The recognizer (STT/SystemStreamingRecognizer) and the session starting it.
        {pattern(R"(^Speech recognizer unavailable for locale (.+) \(installed: none\)$)"),
         "error.recognizer_unavailable_none", kSpeechLocale},
        {pattern(R"(^Speech recognizer unavailable for locale (.+) \(installed: (.+)\)$)"),
         "error.recognizer_unavailable", kSpeechLocale},
        {pattern(R"(^Speech recognizer could not load the model for locale (.+?): (.+)$)"), "error.recognizer_model",
         kSpeechLocale},
        {pattern(R"(^Speech recognition failed: (.+)$)"), "error.recognition_failed", {}},
        {pattern(R"(^Speech recognition: no answer within (\d+) s$)"), "error.recognizer_silent", {}},
        // The devices, as the engine reports them (Audio/AudioInputStream, Pipeline/SessionSequencer
        // and Pipeline/CameraGazeLoop).
        {exactly("No audio input device is available."), "error.no_input_device", {}},
        {pattern(R"(^microphone disconnected: (.+)$)"), "error.microphone_disconnected", {}},
        {pattern(R"(^Camera gaze could not start: (.+)$)"), "error.camera_failed", {}},
        // The speech player's time-out and failures, as the engine reports them.
        {pattern(R"(^TTS 중단: (.+)$)"), "error.speech_stopped", {}},
        {pattern(R"(^no voice installed for locale '(.+)'$)"), "error.no_voice", kSpeechLocale},
        {pattern(R"(^hard ceiling (\d+)s reached$)"), "error.speech_ceiling", {}},
        // The HTTP backends (Backend/AssistantClientError, HttpAssistantClient, HttpExchange).
        {pattern(R"(^Assistant request failed: (.*)$)"), "error.request_failed", kAssistant},
        {pattern(R"(^(.+) API key is missing\.$)"), "error.api_key_missing", kAPIKey},
        {exactly("Assistant returned an empty response."), "error.empty_reply", {}},
        {exactly("The data couldn't be read because it isn't in the correct format."), "error.malformed_reply", {}},
        {exactly("The request timed out."), "error.timed_out", {}},
        {pattern(R"(^The reply was larger than (.+); the request was stopped\.$)"), "error.reply_too_large", {}},
        {pattern(R"(^The server sent a (.+)-encoded reply, which was not asked for; the request was stopped\.$)"),
         "error.reply_encoded",
         {}},
        // The local server's own wording (Backend/LocalOpenAICompatClient).
        {exactly(
             "로컬 LLM 서버에 연결할 수 없습니다. Ollama 데몬이 실행 중인지 확인해주세요 (터미널에서 `ollama serve`)."),
         "error.local_ollama", kServerAddress},
        {exactly("로컬 LLM 서버에 연결할 수 없습니다. LM Studio가 켜져 있고 Developer 탭 → Start Server가 활성화되어 "
                 "있는지 확인해주세요."),
         "error.local_lmstudio", kServerAddress},
        {pattern(R"(^로컬 LLM 서버에 연결할 수 없습니다\. 로컬 LLM 서버가 (.+):(\d+) 에서 응답하는지 확인해주세요\.$)"),
         "error.local_unreachable", kServerAddress},
        {pattern(
             R"(^모델 '(.*)'을\(를\) 서버에서 찾을 수 없습니다\. 로드/풀\(pull\) 되어 있는지 확인해주세요\. 응답: (.*)$)"),
         "error.local_model_missing", kModel},
        {pattern(R"(^로컬 LLM 응답 실패 \(HTTP (\d+)\): (.*)$)"), "error.local_failed", {}},
        {pattern(R"(^Local LLM base URL이 유효하지 않습니다: (.*)$)"), "error.local_bad_address", kServerAddress},
        // The command-line agents (Backend/CLIAssistantError).
        {pattern(R"(^CLI binary '(.+)' was not found in PATH\. Install it and authenticate via `\1 login`\.$)"),
         "error.cli_missing", kAssistant},
        {exactly("LLM 사용량 한도에 도달했어요. 잠시 후 다시 시도하거나, 설정 → 비서에서 다른 제공자(Claude · Codex "
                 "등)로 바꿔 주세요."),
         "error.cli_usage_limit", kAssistant},
        {pattern(R"(^Selected model is not allowed with your Codex / ChatGPT subscription\. Open Settings → Assistant )"
                 R"(→ Model and pick `\(use CLI default\)`, `gpt-5`, or `gpt-5\.5`\. \(Original: (.*)\)$)"),
         "error.cli_model_refused", kModel},
        {pattern(R"(^CLI error \(exit (-?\d+)\): (.*)$)"), "error.cli_failed", {}},
        {pattern(R"(^CLI exited with code (-?\d+)\. (.*)$)"), "error.cli_exited", {}},
        {pattern(R"(^CLI returned no output\. (.*)$)"), "error.cli_no_output", {}},
        {pattern(R"(^The prompt is too long to pass to the CLI \((\d+) bytes; one argument may hold at most (\d+)\)\. )"
                 R"(Clear the conversation history or shorten the memory notes\.$)"),
         "error.cli_prompt_too_long",
         {}},
        // The notes vault's check (Storage/ObsidianSync).
        {exactly("Vault 경로를 선택해주세요."), "obsidian.vault_missing", {}},
        {exactly("Vault 경로가 존재하지 않거나 폴더가 아닙니다."), "obsidian.vault_not_folder", {}},
        {exactly("선택한 폴더에 .obsidian 이 없습니다. Obsidian vault 루트가 맞는지 확인해주세요. (계속 진행 가능)"),
         "obsidian.vault_no_marker",
         {}},
        {exactly("Vault 경로는 / 나 ~ 로 시작하는 전체 경로여야 합니다."), "obsidian.vault_relative", {}},
        // Why no update check can start (Update/FeedUpdater).
        {exactly("This build has no update feed; updates come with your package manager."), "update.no_feed", {}},
        {exactly("The update feed address must use HTTPS."), "update.insecure_feed", {}},
        {exactly("An update check is running."), "update.checking", {}},
    };
    return kKnown;
}

struct Told {
    QString text;
    std::optional<SettingPlace> fix;  // the innermost message's, when its details name one
};

Told tell(const QString& message, AppLanguage language)
{
    for (const Known& each : known()) {
        const QRegularExpressionMatch match = each.pattern.match(message);
        if (!match.hasMatch())
            continue;
        Told told{L10n::t(QLatin1String(each.key), language), each.fix};
        QStringList details;
        for (const QString& detail : match.capturedTexts().mid(1)) {
            const Told inner = tell(detail, language);
            details << inner.text;
            if (inner.fix)
                told.fix = inner.fix;
        }
        // In one pass, so a detail that holds "%2" is not filled in again.
        switch (details.size()) {
        case 0:
            break;
        case 1:
            told.text = told.text.arg(details[0]);
            break;
        case 2:
            told.text = told.text.arg(details[0], details[1]);
            break;
        default:
            told.text = told.text.arg(details[0], details[1], details[2]);
            break;
        }
        return told;
    }
    return {message, std::nullopt};
}
}  // namespace

QString shown(const QString& message, AppLanguage language)
{
    const Told told = tell(message, language);
    if (!told.fix)
        return told.text;
    const auto text = [language](const char* key) { return L10n::t(QLatin1String(key), language); };
    const QString place = text(told.fix->tab) + QStringLiteral(" → ") + text(told.fix->section) +
                          QStringLiteral(" → ") + text(told.fix->row);
    return text("error.with_fix").arg(told.text, place);
}

}  // namespace CoreTexts
