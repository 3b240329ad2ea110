// The program as a whole, beside a bare Qt Widgets window started the same way: from launch to
// the first frame on screen, then what the window costs while nobody uses it (CPU over a few
// seconds, resident memory). Each run starts the program afresh with an empty home.
#include "Measures.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

// What starts in the background after the first frame (speech synthesis, the devices) is
// left to settle before the idle window is measured.
constexpr auto kSettle = std::chrono::seconds(3);
constexpr auto kIdleWindow = std::chrono::seconds(5);

// User and system CPU seconds of a running process so far.
double cpuSeconds(qint64 pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command name, which may hold spaces, start after its ')'.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14 || index == 15)
            ticks += std::stod(field);
        if (index == 15)
            break;
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

double residentMegabytes(qint64 pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void launch(benchmark::State& state, const char* program, bool idle)
{
    double idleCore = 0, resident = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            environment.insert(QString::fromLatin1(variable), home.path());
        if (!environment.contains(QStringLiteral("DISPLAY")))
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("app.parlivox.app.info=true"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        const auto begin = std::chrono::steady_clock::now();
        process.start(QString::fromLocal8Bit(program), {});
        QByteArray output;
        while (!output.contains("window shown") && process.waitForReadyRead(10000))
            output += process.readAll();
        const auto shown = std::chrono::steady_clock::now();
        if (!output.contains("window shown")) {
            state.SkipWithError("the window never showed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - begin).count());
        if (idle) {
            std::this_thread::sleep_for(kSettle);
            const double before = cpuSeconds(process.processId());
            std::this_thread::sleep_for(kIdleWindow);
            idleCore += (cpuSeconds(process.processId()) - before) / std::chrono::duration<double>(kIdleWindow).count();
            resident += residentMegabytes(process.processId());
        }
        process.kill();
        process.waitForFinished();
    }
    if (idle) {
        state.counters["idle_core%"] = 100.0 * idleCore / double(state.iterations());
        state.counters["rss_MB"] = resident / double(state.iterations());
    }
}

void BM_LaunchToFirstFrame(benchmark::State& state)
{
    launch(state, state.range(0) ? PARLIVOX_BINARY : BARE_WINDOW_BINARY, false);
}
BENCHMARK(BM_LaunchToFirstFrame)
    ->ArgName("program")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", minimum);

void BM_IdleWindow(benchmark::State& state)
{
    launch(state, state.range(0) ? PARLIVOX_BINARY : BARE_WINDOW_BINARY, true);
}
BENCHMARK(BM_IdleWindow)
    ->ArgName("program")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
