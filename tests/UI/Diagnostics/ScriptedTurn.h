#pragma once

class FakeScheduler;
class PipelineLog;
class QString;

// One whole spoken turn as the engine logs it, from session start through the reply spoken
// back to listening, each line at its own moment on the fake clock. `utterance` is what the
// user said; the reply follows in the same language.
void recordScriptedTurn(PipelineLog& log, FakeScheduler& scheduler, const QString& utterance, const QString& reply);
