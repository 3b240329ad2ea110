#include "UI/Models/CoreTexts.h"

#include "Persistence/L10n.h"

#include <QRegularExpression>

namespace CoreTexts {

namespace {
struct Known {
    QRegularExpression pattern;  // its groups (two at most) are the key's %1 and %2
    const char* key;
};

const QList<Known>& known()
{
    const auto exactly = [](const char* text) {
        return QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(QString::fromUtf8(text)) +
                                  QLatin1Char('$'));
    };
    const auto pattern = [](const char* text) { return QRegularExpression(QString::fromUtf8(text)); };
    static const QList<Known> kKnown{
        // The recognizer (STT/SystemStreamingRecognizer).
        {pattern(R"(^Speech recognizer unavailable for locale (.+) \(installed: none\)$)"),
         "error.recognizer_unavailable_none"},
        {pattern(R"(^Speech recognizer unavailable for locale (.+) \(installed: (.+)\)$)"),
         "error.recognizer_unavailable"},
        {pattern(R"(^Speech recognizer could not load the model for locale (.+?): (.+)$)"), "error.recognizer_model"},
        {pattern(R"(^Speech recognition failed: (.+)$)"), "error.recognition_failed"},
        // The devices, as the engine reports them (Audio/AudioInputStream, Pipeline/SessionSequencer
        // and Pipeline/CameraGazeLoop).
        {exactly("No audio input device is available."), "error.no_input_device"},
        {pattern(R"(^microphone disconnected: (.+)$)"), "error.microphone_disconnected"},
        {pattern(R"(^Camera gaze could not start: (.+)$)"), "error.camera_failed"},
        // The speech player's time-out, as the engine reports it.
        {pattern(R"(^TTS 중단: (.+)$)"), "error.speech_stopped"},
        // The notes vault's check (Storage/ObsidianSync).
        {exactly("Vault 경로를 선택해주세요."), "obsidian.vault_missing"},
        {exactly("Vault 경로가 존재하지 않거나 폴더가 아닙니다."), "obsidian.vault_not_folder"},
        {exactly("선택한 폴더에 .obsidian 이 없습니다. Obsidian vault 루트가 맞는지 확인해주세요. (계속 진행 가능)"),
         "obsidian.vault_no_marker"},
        // Why no update check can start (Update/FeedUpdater).
        {exactly("This build has no update feed; updates come with your package manager."), "update.no_feed"},
        {exactly("The update feed address must use HTTPS."), "update.insecure_feed"},
        {exactly("An update check is running."), "update.checking"},
    };
    return kKnown;
}
}  // namespace

QString shown(const QString& message, AppLanguage language)
{
    for (const Known& each : known()) {
        const QRegularExpressionMatch match = each.pattern.match(message);
        if (!match.hasMatch())
            continue;
        const QString text = L10n::t(QLatin1String(each.key), language);
        // In one pass, so a detail that holds "%2" is not filled in again.
        const QStringList details = match.capturedTexts().mid(1);
        switch (details.size()) {
        case 0:
            return text;
        case 1:
            return text.arg(details[0]);
        default:
            return text.arg(details[0], details[1]);
        }
    }
    return message;
}

}  // namespace CoreTexts
