// What every fuzz target runs in: a private HOME and XDG directories (no input can reach the
// user's files) and no system-log output, which would flood the fuzzer's own report.
#include "Common/TestEnvironment.h"

#include <QtGlobal>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    TestEnvironment::isolateHome();
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}
