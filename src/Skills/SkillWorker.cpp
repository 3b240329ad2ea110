#include "Skills/SkillWorker.h"

SkillWorker::SkillWorker(const QString& name) : m_worker(name)
{
}

void SkillWorker::run(std::function<Skill::Outcome()> job, Skill::Completion done)
{
    m_worker.post([this, job = std::move(job), done = std::move(done)]() mutable {
        QMetaObject::invokeMethod(
            &m_receiver, [done = std::move(done), outcome = job()] { done(outcome); }, Qt::QueuedConnection);
    });
}
