// The program as a whole, beside a bare Qt Widgets window started the same way: from launch to
// the first frame on screen, then what the window costs while nobody uses it (CPU over a few
// seconds, resident memory), and what it costs while a session listens to a silent microphone.
// Each run starts the program afresh with an empty home.
#include "Common/PrivateBus.h"
#include "Common/PrivateXServer.h"
#include "Common/PulseAudioServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "Measures.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <unistd.h>

// Last: Xlib's macros (None, True, Bool) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace std::chrono_literals;

// What starts in the background after the first frame (speech synthesis, the devices) is
// left to settle before the idle window is measured.
constexpr auto kSettle = 3s;
constexpr auto kIdleWindow = 5s;
// Listening is measured longer: its cost is near the resolution of the kernel's CPU clock.
constexpr auto kListeningWindow = 10s;

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

// The environment of a first start: every user folder in `home`; the window on the X server
// `display`, or on no screen at all (Qt's offscreen platform) when it is empty; the session
// bus at `sessionBus`. Nothing of the user's desktop or the system is touched: without a bus
// address the program finds no bus.
QProcessEnvironment freshEnvironment(const QString& home, const QByteArray& display, const QString& sessionBus = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        environment.insert(QString::fromLatin1(variable), home);
    const QString noBus = QStringLiteral("unix:path=") + QDir(home).filePath(QStringLiteral("no-bus"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionBus.isEmpty() ? noBus : sessionBus);
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), noBus);
    if (display.isEmpty()) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("app.parlivox.app.info=true"));
    return environment;
}

// Where a launch shows its window. `screen` 1 is a desktop of its own: a private X server
// and session bus, which both programs connect to as on a user's display; 0 is the offscreen
// platform with no bus, which leaves out the display server's and the bus's share of the start.
struct Screen {
    std::unique_ptr<PrivateXServer> server;
    std::unique_ptr<PrivateBus> bus;
    QString error;  // why the window cannot be shown there

    QProcessEnvironment environment(const QString& home) const
    {
        return server ? freshEnvironment(home, server->display(), bus->address()) : freshEnvironment(home, {});
    }
};
Screen screenFor(const benchmark::State& state)
{
    Screen screen;
    if (state.range(1) == 0)
        return screen;
    screen.server = std::make_unique<PrivateXServer>();
    screen.bus = std::make_unique<PrivateBus>();
    if (screen.server->display().isEmpty())
        screen.error = QStringLiteral("needs Xvfb for a private X server");
    else if (!screen.bus->isRunning())
        screen.error = QStringLiteral("needs dbus-daemon for a session bus");
    return screen;
}

// A started program whose output is read as it comes, so it never waits on a full pipe.
class Launched {
public:
    Launched(const char* program, const QProcessEnvironment& environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QString::fromLocal8Bit(program), {});
    }
    ~Launched()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    Launched(const Launched&) = delete;
    Launched& operator=(const Launched&) = delete;

    qint64 pid() const { return m_process.processId(); }

    // Reads the output until `text` has appeared in it or `timeout` has passed.
    bool waitFor(const QByteArray& text, std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!m_output.contains(text)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left <= 0ms || !m_process.waitForReadyRead(int(left.count())))
                return m_output.contains(text);
            m_output += m_process.readAll();
        }
        return true;
    }

    // What the program cost over `window`, its output read meanwhile.
    struct Usage {
        double core = 0;  // share of one core
        double residentMB = 0;
    };
    Usage measure(std::chrono::milliseconds window)
    {
        const double before = cpuSeconds(pid());
        const auto end = std::chrono::steady_clock::now() + window;
        for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
            if (m_process.waitForReadyRead(int(std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count())))
                m_process.readAll();
        }
        return {(cpuSeconds(pid()) - before) / std::chrono::duration<double>(window).count(), residentMegabytes(pid())};
    }

    void settle(std::chrono::milliseconds duration) { measure(duration); }

private:
    QProcess m_process;
    QByteArray m_output;
};

void launch(benchmark::State& state, bool idle)
{
    const Screen screen = screenFor(state);
    if (!screen.error.isEmpty()) {
        state.SkipWithError(screen.error.toStdString().c_str());
        return;
    }
    const char* program = state.range(0) ? PARLIVOX_BINARY : BARE_WINDOW_BINARY;
    double idleCore = 0, resident = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        const QProcessEnvironment environment = screen.environment(home.path());
        const auto begin = std::chrono::steady_clock::now();
        Launched window(program, environment);
        if (!window.waitFor("window shown", 10s)) {
            state.SkipWithError("the window never showed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        if (idle) {
            window.settle(kSettle);
            const Launched::Usage usage = window.measure(kIdleWindow);
            idleCore += usage.core;
            resident += usage.residentMB;
        }
    }
    if (idle) {
        state.counters["idle_core%"] = 100.0 * idleCore / double(state.iterations());
        state.counters["rss_MB"] = resident / double(state.iterations());
    }
}

void BM_LaunchToFirstFrame(benchmark::State& state)
{
    launch(state, false);
}
BENCHMARK(BM_LaunchToFirstFrame)
    ->ArgNames({"program", "screen"})
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", minimum);

void BM_IdleWindow(benchmark::State& state)
{
    launch(state, true);
}
BENCHMARK(BM_IdleWindow)
    ->ArgNames({"program", "screen"})
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A silent 48 kHz stereo microphone that, like a real one, runs at the pace its capture client
// asks for. Empty when it is ready, else why not.
const QString kSilentMicrophone = QStringLiteral("vmic_silent_room");

QString prepareMicrophone()
{
    static const QString error = [] {
        PulseAudioServer& pulse = PulseAudioServer::shared();
        if (!pulse.isRunning())
            return QStringLiteral("needs a private PulseAudio server: ") + pulse.error();
        if (!pulse.runClient(QStringLiteral("pactl"),
                             {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                              QStringLiteral("sink_name=vroom_silent"), QStringLiteral("rate=48000"),
                              QStringLiteral("channels=2")}) ||
            !pulse.runClient(QStringLiteral("pactl"),
                             {QStringLiteral("load-module"), QStringLiteral("module-remap-source"),
                              QStringLiteral("master=vroom_silent.monitor"),
                              QStringLiteral("source_name=") + kSilentMicrophone}))
            return QStringLiteral("the virtual microphone could not be made");
        return QString();
    }();
    return error;
}

// Clicks into the one window on `display` and presses Ctrl+Enter there, as a user clocks in
// from the keyboard. False when there is no window to press it in.
bool pressClockIn(const QByteArray& display, Launched& window)
{
    Display* x = XOpenDisplay(display.constData());
    if (!x)
        return false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    XWindowAttributes shown{};
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable &&
            attributes.width > shown.width)
            shown = attributes;
    }
    XFree(children);
    if (shown.width > 0) {
        XTestFakeMotionEvent(x, -1, shown.x + shown.width / 2, shown.y + shown.height / 2, CurrentTime);
        XTestFakeButtonEvent(x, 1, True, CurrentTime);
        XTestFakeButtonEvent(x, 1, False, CurrentTime);
        XSync(x, False);
        // The click makes the window the active one before the keys arrive.
        window.settle(300ms);
        const KeyCode control = XKeysymToKeycode(x, XK_Control_L);
        const KeyCode enter = XKeysymToKeycode(x, XK_Return);
        XTestFakeKeyEvent(x, control, True, CurrentTime);
        XTestFakeKeyEvent(x, enter, True, CurrentTime);
        XTestFakeKeyEvent(x, enter, False, CurrentTime);
        XTestFakeKeyEvent(x, control, False, CurrentTime);
        XSync(x, False);
    }
    XCloseDisplay(x);
    return shown.width > 0;
}

// The program listening to a silent microphone in a session clocked in from the keyboard,
// beside the bare window idle, both on a private X server.
void BM_ListeningWindow(benchmark::State& state)
{
    const bool program = state.range(0) != 0;
    if (const QString error = prepareMicrophone(); !error.isEmpty()) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    const PrivateXServer server;
    if (server.display().isEmpty()) {
        state.SkipWithError("needs Xvfb for a private X server");
        return;
    }
    double core = 0, resident = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        const QProcessEnvironment environment = freshEnvironment(home.path(), server.display());
        QDir(home.path()).mkpath(QStringLiteral("parlivox"));
        QFile settings(QDir(home.path()).filePath(QStringLiteral("parlivox/defaults.json")));
        if (!settings.open(QIODevice::WriteOnly) ||
            !settings.write(QStringLiteral(R"({"parlivox.microphoneDeviceUID": "%1", "parlivox.localeID": "en-US",
                                             "parlivox.uiLanguage": "en", "parlivox.telemetryEnabled": false})")
                                .arg(kSilentMicrophone)
                                .toUtf8())) {
            state.SkipWithError("the settings could not be written");
            return;
        }
        settings.close();
        Launched window(program ? PARLIVOX_BINARY : BARE_WINDOW_BINARY, environment);
        if (!window.waitFor("window shown", 10s)) {
            state.SkipWithError("the window never showed");
            return;
        }
        if (program && (!pressClockIn(server.display(), window) || !window.waitFor("→ listening", 15s))) {
            state.SkipWithError("the session never started listening");
            return;
        }
        window.settle(kSettle);
        const Launched::Usage usage = window.measure(kListeningWindow);
        state.SetIterationTime(std::chrono::duration<double>(kListeningWindow).count());
        core += usage.core;
        resident += usage.residentMB;
    }
    state.counters["core%"] = 100.0 * core / double(state.iterations());
    state.counters["rss_MB"] = resident / double(state.iterations());
}
BENCHMARK(BM_ListeningWindow)
    ->ArgName("program")
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(1)
    ->ComputeStatistics("min", minimum)
    ->Unit(benchmark::kMillisecond);

}  // namespace
