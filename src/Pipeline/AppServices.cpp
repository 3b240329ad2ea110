#include "Pipeline/AppServices.h"

#include "STT/SpeechEngine.h"

AppServices::AppServices(Scheduler& scheduler, const SpeechEngine& speech)
    : speechLocales(speech.localeIDs()), analytics(scheduler)
{
}
