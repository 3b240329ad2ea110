#include "Pipeline/CameraDescribePass.h"

#include "Diagnostics/PipelineLog.h"
#include "Persistence/AppSettings.h"
#include "Persona/NemotronPersonaCatalog.h"
#include "Persona/PersonaStore.h"
#include "Pipeline/AssistantVoice.h"
#include "Pipeline/HistoryRecorder.h"
#include "Pipeline/LiveTranscript.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/TurnRoad.h"
#include "Skills/SkillRegistry.h"
#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>

namespace {

const QString kSkillCategory = QStringLiteral("skill");

}  // namespace

CameraDescribePass::CameraDescribePass(Parts parts) : m_parts(std::move(parts))
{
}

QString CameraDescribePass::stillPath()
{
    return QDir(AppPaths::cache()).filePath(QStringLiteral("camera-still.png"));
}

QString CameraDescribePass::secondQuestion(const QString& userText, const QString& stillPath)
{
    return (userText.isEmpty() ? kDefaultQuestion : userText) +
           QStringLiteral("\n\n[사용자가 카메라/화면에 보이는 것을 물었습니다. ") +
           QStringLiteral("아래 이미지를 보고 자연스럽게 답하세요.]\n@") + stillPath;
}

void CameraDescribePass::run(const CancelToken& token)
{
    if (m_secondReply && *m_secondReply == token) {
        m_parts.log.record(kSkillCategory, QStringLiteral("camera.describe — refused inside a describe pass"));
        if (m_parts.phase.phase() == ConversationPhase::thinking)
            m_parts.phase.transition(ConversationPhase::listening, QStringLiteral("camera pass refused"));
        return;
    }
    m_parts.log.record(kSkillCategory, QStringLiteral("camera.describe — capturing still frame"));
    FileIO::ensureDirectory(AppPaths::cache());
    m_parts.captureStill(stillPath(),
                         [this, alive = std::weak_ptr<int>(m_lifetime), token](const std::optional<QString>& path) {
                             if (!alive.expired())
                                 stillTaken(token, path);
                         });
}

void CameraDescribePass::stillTaken(const CancelToken& token, const std::optional<QString>& path)
{
    if (token.isCancelled()) {
        m_parts.log.record(kSkillCategory, QStringLiteral("camera.describe — stopped before the second pass"));
        return;
    }
    if (!path) {
        m_parts.log.record(QStringLiteral("error"), QStringLiteral("camera.describe — could not capture a frame"));
        const QString failure = m_parts.voice.line(QStringLiteral("speech.camera_failed"));
        m_parts.history.record(ConversationTurn::Role::assistant, failure);
        m_parts.voice.speakAside(failure, QStringLiteral("camera pass"));
        m_parts.transcript.prepareForNextTurn();
        return;
    }
    m_parts.log.record(kSkillCategory, QStringLiteral("camera.describe — frame saved, running second LLM pass"));
    const AppSettings& settings = m_parts.settings;
    QSet<QString> everySkill;
    for (const std::shared_ptr<Skill>& skill : m_parts.registry.allSkills())
        everySkill.insert(skill->id());
    SystemPromptRequest request;
    request.name = settings.assistantName();
    request.localeID = settings.localeID();
    request.toolsManifest = m_parts.registry.toolsManifest(everySkill);
    request.mode = settings.appMode();
    request.personaID = NemotronPersonaCatalog::chosenID(settings, request.mode);
    m_secondReply =
        m_parts.turnRoad.streamReply(PersonaStore::systemPrompt(request),
                                     secondQuestion(m_parts.turnRoad.currentTranscript(), *path), settings.localeID());
}
