#include "Platform/XInputRawKeySource.h"
#include "Input/RightOptionMonitor.h"
#include "Common/PrivateXServer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Last: Xlib's macros (None, True, Bool) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

class ScopedDisplay {
public:
    explicit ScopedDisplay(const QByteArray& value)
        : m_old(qgetenv("DISPLAY")), m_had(qEnvironmentVariableIsSet("DISPLAY"))
    {
        if (value.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", value);
    }
    ~ScopedDisplay()
    {
        if (m_had)
            qputenv("DISPLAY", m_old);
        else
            qunsetenv("DISPLAY");
    }

private:
    QByteArray m_old;
    bool m_had;
};

// Passes presses on and keeps them, so a test knows a press arrived even when it did not count.
class RecordingSource final : public RawKeySource {
public:
    explicit RecordingSource(std::unique_ptr<RawKeySource> inner) : m_inner(std::move(inner)) {}
    bool start(quint32 keycode, std::function<void(const Press&)> onPress) override
    {
        return m_inner->start(keycode, [this, onPress = std::move(onPress)](const Press& press) {
            seen.push_back(press);
            onPress(press);
        });
    }
    bool isActive() const override { return m_inner->isActive(); }

    std::vector<Press> seen;

private:
    std::unique_ptr<RawKeySource> m_inner;
};

}  // namespace

TEST(XInputRawKeySource, WithoutAnXDisplayThereIsNoGlobalSource)
{
    ScopedDisplay none{QByteArray()};
    XInputRawKeySource source;
    EXPECT_FALSE(source.start(108, [](const RawKeySource::Press&) {}));
    EXPECT_FALSE(source.isActive());
}

TEST(XInputRawKeySource, WatchesAnXServerAndStopsPromptly)
{
    PrivateXServer server;
    if (server.display().isEmpty())
        GTEST_SKIP() << "needs Xvfb to start a private X server";
    ScopedDisplay display(server.display());
    {
        XInputRawKeySource source;
        EXPECT_TRUE(source.start(108, [](const RawKeySource::Press&) {}));
        EXPECT_TRUE(source.isActive());
        EXPECT_TRUE(source.start(108, [](const RawKeySource::Press&) {})) << "a second start keeps the first";
    }  // the reader thread is woken and joined here
    SUCCEED();
}

// The desktop-wide watcher counts right Alt only where the layout makes it an Alt key.
TEST(XInputRawKeySource, RightAltCountsOnlyWhereTheLayoutMakesItAnAltKey)
{
    PrivateXServer server;
    if (server.display().isEmpty())
        GTEST_SKIP() << "needs Xvfb to start a private X server";
    const QString setxkbmap = QStandardPaths::findExecutable(QStringLiteral("setxkbmap"));
    if (setxkbmap.isEmpty())
        GTEST_SKIP() << "needs setxkbmap (x11-xkb-utils) to switch keyboard layouts";
    ScopedDisplay display(server.display());
    const std::unique_ptr<Display, int (*)(Display*)> keyboard(XOpenDisplay(server.display().constData()),
                                                               XCloseDisplay);
    ASSERT_TRUE(keyboard);

    auto recording = std::make_unique<RecordingSource>(std::make_unique<XInputRawKeySource>());
    RecordingSource* source = recording.get();
    RightOptionMonitor monitor(std::move(recording));
    int stops = 0;
    monitor.onPressed = [&] { ++stops; };
    monitor.start();
    ASSERT_TRUE(source->isActive());

    struct Case {
        QStringList layout;
        quint32 keysym;
        int stopsAfter;
    };
    const Case cases[] = {
        {{"-layout", "us"}, 0xffea, 1},  // Alt_R
        {{"-layout", "de"}, 0xfe03, 1},  // AltGr
        {{"-layout", "kr", "-variant", "kr104"}, 0xff31, 1},  // the Hangul toggle
        {{"-layout", "us", "-option", "korean:ralt_hangul"}, 0xff31, 1},
        {{"-layout", "us", "-option", ""}, 0xffea, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout.join(QLatin1Char(' ')).toStdString());
        ASSERT_EQ(QProcess::execute(setxkbmap, c.layout), 0);
        const size_t before = source->seen.size();
        XTestFakeKeyEvent(keyboard.get(), RightOptionMonitor::kRightAltKeycode, True, CurrentTime);
        XTestFakeKeyEvent(keyboard.get(), RightOptionMonitor::kRightAltKeycode, False, CurrentTime);
        XFlush(keyboard.get());
        ASSERT_TRUE(QTest::qWaitFor([&] { return source->seen.size() > before; }, 5000));
        EXPECT_EQ(source->seen.back().keysym, c.keysym);
        EXPECT_EQ(stops, c.stopsAfter);
    }
}
