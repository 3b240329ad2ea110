#include "Pipeline/AppServices.h"

#include "STT/SpeechEngine.h"

AppServices::AppServices(Scheduler& scheduler, const SpeechEngine& speech, const AudioDeviceSource& devices)
    : speechLocales(speech.localeIDs()), analytics(scheduler), audioDevices(devices)
{
}
