#pragma once

#include "Skills/Skill.h"
#include "Support/SerialWorker.h"

#include <QObject>

// A thread for skills whose work can take a while (reading and writing files), so the window
// never waits for it. Jobs run one at a time in the order given; each one's outcome reaches
// its completion on the thread that made the worker, after run() has returned. Going, the
// worker finishes the jobs already given and joins; outcomes not yet delivered go nowhere.
// A job that never returns holds its going for ever: quitting does not wait for that
// (main's QuitDeadline).
class SkillWorker {
public:
    explicit SkillWorker(const QString& name);

    void run(std::function<Skill::Outcome()> job, Skill::Completion done);

private:
    QObject m_receiver;  // on the thread that made the worker; queued outcomes die with it
    // Last, so it is joined while the receiver still exists.
    SerialWorker m_worker;
};
