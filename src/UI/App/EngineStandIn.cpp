#include "UI/App/EngineStandIn.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcStandIn, "app.parlivox.engine")

namespace {
void notCarriedOut(const char* command)
{
    qCInfo(lcStandIn, "no conversation engine in this build: %s not carried out", command);
}
}  // namespace

EngineStandIn::EngineStandIn(const Scheduler& scheduler) : log(scheduler)
{
}

void EngineStandIn::setEnabled(bool)
{
    notCarriedOut("setEnabled");
}
void EngineStandIn::fireNow()
{
    notCarriedOut("fireNow");
}
void EngineStandIn::stopSpeaking()
{
    notCarriedOut("stopSpeaking");
}
void EngineStandIn::clearHistory()
{
    notCarriedOut("clearHistory");
}
void EngineStandIn::submitTextTurn(const QString&)
{
    notCarriedOut("submitTextTurn");
}
void EngineStandIn::approvePendingSkill()
{
    notCarriedOut("approvePendingSkill");
}
void EngineStandIn::cancelPendingSkill()
{
    notCarriedOut("cancelPendingSkill");
}
void EngineStandIn::applySettings()
{
    notCarriedOut("applySettings");
}
void EngineStandIn::applyAppModeChange()
{
    notCarriedOut("applyAppModeChange");
}
void EngineStandIn::setCameraGaze(bool)
{
    notCarriedOut("setCameraGaze");
}
void EngineStandIn::restNow()
{
    notCarriedOut("restNow");
}
void EngineStandIn::wakeFromRest(const QString&)
{
    notCarriedOut("wakeFromRest");
}
void EngineStandIn::renameSpeaker(int, const QString&)
{
    notCarriedOut("renameSpeaker");
}
bool EngineStandIn::enrollLastUtterance(const QString&)
{
    notCarriedOut("enrollLastUtterance");
    return false;
}
void EngineStandIn::revealRecordingInFinder()
{
    notCarriedOut("revealRecordingInFinder");
}
