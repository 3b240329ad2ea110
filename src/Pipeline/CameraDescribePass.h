#pragma once

#include "Pipeline/CancelToken.h"
#include "Vision/CameraStream.h"

#include <QString>

#include <functional>
#include <optional>

class AppSettings;
class AssistantVoice;
class HistoryRecorder;
class LiveTranscript;
class PhaseStateMachine;
class PipelineLog;
class SkillRegistry;
class TurnRoad;

// What the engine does when a reply calls "camera.describe": it takes a still picture from the
// camera, saves it as "camera-still.png" in the cache, and asks the same backend again, with
// the user's question, an instruction and the picture's path, under a prompt that offers no
// tool; that second reply is shown, spoken and recorded like any other. A stop or barge-in
// during the capture calls the pass off, and a second "camera.describe" asked by the second
// reply is refused, so a model that insists cannot loop through captures. GUI thread only.
class CameraDescribePass {
public:
    using CaptureStill = std::function<void(const QString& path, CameraStream::StillCompletion done)>;

    static inline const QString kDefaultQuestion = QStringLiteral("지금 카메라에 뭐가 보여?");

    struct Parts {
        const AppSettings& settings;
        const SkillRegistry& registry;
        PhaseStateMachine& phase;
        PipelineLog& log;
        HistoryRecorder& history;
        AssistantVoice& voice;
        LiveTranscript& transcript;
        TurnRoad& turnRoad;
        CaptureStill captureStill;
    };

    explicit CameraDescribePass(Parts parts);

    // The still file, replaced by every pass.
    static QString stillPath();
    // The second question: the user's (or the default), the instruction, "@" and the path.
    static QString secondQuestion(const QString& userText, const QString& stillPath);

    // A "camera.describe" call of the reply whose token is `token`.
    void run(const CancelToken& token);

private:
    void stillTaken(const CancelToken& token, const std::optional<QString>& path);

    Parts m_parts;
    std::optional<CancelToken> m_secondReply;  // the reply a pass started last
    // The pass may answer after this object is gone; its completion checks this first.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};
