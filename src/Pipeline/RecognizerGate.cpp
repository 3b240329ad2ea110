#include "Pipeline/RecognizerGate.h"

void RecognizerGate::pass(const AudioBufferPtr& buffer, double level,
                          const std::function<void(const AudioBufferPtr&)>& hear)
{
    const double end = buffer->startSeconds() + buffer->durationSeconds();
    if (level >= kOpenLevel)
        m_lastSoundEnd = end;
    if (!m_lastSoundEnd || end - *m_lastSoundEnd > std::chrono::duration<double>(kHold).count()) {
        m_leadIn.push_back(buffer);
        while (!m_leadIn.empty() && end - m_leadIn.front()->startSeconds() > std::chrono::duration<double>(kLeadIn).count())
            m_leadIn.pop_front();
        return;
    }
    for (const AudioBufferPtr& held : m_leadIn)
        hear(held);
    m_leadIn.clear();
    hear(buffer);
}
