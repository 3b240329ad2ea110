#include "UI/Diagnostics/ScriptedTurn.h"

#include "Common/FakeScheduler.h"
#include "Diagnostics/PipelineLog.h"
#include "Support/Text.h"

void recordScriptedTurn(PipelineLog& log, FakeScheduler& scheduler, const QString& utterance, const QString& reply)
{
    const QString chars = QString::number(Text::graphemeCount(utterance));
    const QString half = Text::graphemePrefix(utterance, Text::graphemeCount(utterance) / 2);
    const QString replyChars = QString::number(Text::graphemeCount(reply));
    const QString stats = QStringLiteral("audio.buf/0.5s=6 mic=%1 vad=%2 cam.frames/0.5s=0 gaze=noFace "
                                         "face_age=never transcript.len=%3 phase=%4 stt=live");
    const struct {
        int afterMs;
        const char* category;
        QString message;
    } lines[] = {
        {0, "stt", QStringLiteral("starting analyzer for locale=ko-KR inputHW=48000.0Hz 1ch")},
        {41, "stt", QStringLiteral("started OK")},
        {3, "camera", QStringLiteral("disabled by setting")},
        {1, "session",
         QStringLiteral("started locale=ko-KR provider=ostrel-hosted audio.running=true camera.running=false")},
        {0, "fsm", QStringLiteral("idle → listening [session start]")},
        {86, "audio", QStringLiteral("first buffer received frames=4096 sr=48000.0 ch=1")},
        {412, "stats",
         stats.arg(QStringLiteral("0.01"), QStringLiteral("n/a"), QStringLiteral("0"), QStringLiteral("listening"))},
        {1318, "endpointing", QStringLiteral("FIRST MIC ACTIVITY at level=0.08 (>= 0.05) — 발화 시작 latched")},
        {0, "speaking", QStringLiteral("first mic activity latched (mic >= threshold)")},
        {64, "endpointing", QStringLiteral("VAD speechStarted (turn opened)")},
        {37, "stats",
         stats.arg(QStringLiteral("0.21"), QStringLiteral("started"), QStringLiteral("0"),
                   QStringLiteral("listening"))},
        {373, "stt", QStringLiteral("raw '%1' (%2 chars)").arg(half, QString::number(Text::graphemeCount(half)))},
        {611, "stt", QStringLiteral("raw '%1' (%2 chars)").arg(utterance, chars)},
        {377, "endpointing", QStringLiteral("VAD speechEnded — gaze=noFace")},
        {823, "turn", QStringLiteral("ended (conversation): ") + utterance},
        {1, "fsm", QStringLiteral("listening → thinking [turn ended]")},
        {1452, "tts", QStringLiteral("started: ") + Text::graphemePrefix(reply, 40) + QStringLiteral("…")},
        {2, "fsm", QStringLiteral("thinking → speaking [first sentence ready]")},
        {1, "tts", QStringLiteral("queued %1 chars · voice=ko+f3 · watchdog=6s").arg(replyChars)},
        {58, "tts", QStringLiteral("started %1 chars · voice=ko+f3").arg(replyChars)},
        {714, "llm", QStringLiteral("completed (%1 chars)").arg(replyChars)},
        {2296, "tts", QStringLiteral("finished %1 chars in 2981 ms").arg(replyChars)},
        {4, "fsm", QStringLiteral("speaking → listening [tts finished]")},
        {233, "stats",
         stats.arg(QStringLiteral("0.02"), QStringLiteral("ended"), QStringLiteral("0"), QStringLiteral("listening"))},
    };
    for (const auto& line : lines) {
        scheduler.advance(std::chrono::milliseconds(line.afterMs));
        log.record(QLatin1String(line.category), line.message);
    }
}
