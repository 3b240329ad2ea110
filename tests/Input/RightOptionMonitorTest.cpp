#include "Input/RightOptionMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// X core modifier bits as the desktop reports them.
constexpr quint32 kShift = 0x01, kCapsLock = 0x02, kControl = 0x04, kAlt = 0x08, kNumLock = 0x10, kSuper = 0x40,
                  kAltGr = 0x80;
constexpr quint32 kLeftAlt = 64, kRightAlt = 108;

class FakeGlobalSource final : public RawKeySource {
public:
    bool active = false;
    int starts = 0;
    quint32 watched = 0;
    std::function<void(const Press&)> deliver;

    bool start(quint32 keycode, std::function<void(const Press&)> onPress) override
    {
        ++starts;
        watched = keycode;
        deliver = std::move(onPress);
        active = true;
        return true;
    }
    bool isActive() const override { return active; }
};

QKeyEvent keyEvent(QEvent::Type type, quint32 keycode, quint32 modifiers, bool autoRepeat = false)
{
    const int key = keycode == kRightAlt ? Qt::Key_AltGr : Qt::Key_Alt;
    return QKeyEvent(type, key, Qt::NoModifier, keycode, 0, modifiers, QString(), autoRepeat);
}

}  // namespace

TEST(RightOptionMonitor, OnlyALonePressOfRightAltQualifies)
{
    struct Case {
        quint32 keycode;
        quint32 modifiers;
        bool qualifies;
    };
    const Case cases[] = {
        {kRightAlt, 0, true},
        {kRightAlt, kNumLock, true},  // Num Lock is on most of the time: ignored
        {kRightAlt, kAlt, true},  // left Alt held
        {kRightAlt, kAlt | kAltGr, true},  // the Alt family itself
        {kRightAlt, kShift, false},
        {kRightAlt, kCapsLock, false},
        {kRightAlt, kControl, false},
        {kRightAlt, kSuper, false},
        {kRightAlt, kShift | kNumLock, false},
        {kLeftAlt, 0, false},
        {36, 0, false},  // Return
    };
    for (const Case& c : cases)
        EXPECT_EQ(RightOptionMonitor::isQualifyingPress(c.keycode, c.modifiers), c.qualifies)
            << c.keycode << " mask " << c.modifiers;
}

TEST(RightOptionMonitor, GlobalPressesCallOncePerPressAndStartTwiceChangesNothing)
{
    auto source = std::make_unique<FakeGlobalSource>();
    FakeGlobalSource* global = source.get();
    RightOptionMonitor monitor(std::move(source));
    int presses = 0;
    monitor.onPressed = [&] { ++presses; };
    monitor.start();
    monitor.start();
    EXPECT_EQ(global->starts, 1);
    EXPECT_EQ(global->watched, kRightAlt);

    global->deliver({kRightAlt, 0});
    global->deliver({kRightAlt, kShift});
    global->deliver({kRightAlt, kNumLock});
    EXPECT_EQ(presses, 2);

    // While the global source runs, the window's own copy of a press is not counted again.
    QWindow window;
    QKeyEvent press = keyEvent(QEvent::KeyPress, kRightAlt, 0);
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(presses, 2);

    // Once the global source is inactive (lost, or never connected), the window's presses count.
    global->active = false;
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(presses, 3);
}

TEST(RightOptionMonitor, InsideTheApplicationEachPressCountsOnceAtItsWindow)
{
    RightOptionMonitor monitor(nullptr);
    int presses = 0;
    monitor.onPressed = [&] { ++presses; };
    monitor.start();
    monitor.start();

    QWindow window;
    QObject widgetLike;  // where a key event travels after its window
    struct Step {
        QObject* receiver;
        QEvent::Type type;
        quint32 keycode;
        quint32 modifiers;
        bool autoRepeat;
        int expectedTotal;
    };
    const Step steps[] = {
        {&window, QEvent::KeyPress, kRightAlt, 0, false, 1},
        {&widgetLike, QEvent::KeyPress, kRightAlt, 0, false, 1},  // same press, propagated
        {&window, QEvent::KeyRelease, kRightAlt, kAltGr, false, 1},
        {&window, QEvent::KeyPress, kRightAlt, 0, true, 1},  // held down: auto-repeat
        {&window, QEvent::KeyPress, kRightAlt, kShift, false, 1},  // filtered as in the table above
        {&window, QEvent::KeyPress, kLeftAlt, 0, false, 1},
        {&window, QEvent::KeyPress, kRightAlt, kNumLock, false, 2},
    };
    for (const Step& step : steps) {
        QKeyEvent event = keyEvent(step.type, step.keycode, step.modifiers, step.autoRepeat);
        QCoreApplication::sendEvent(step.receiver, &event);
        EXPECT_EQ(presses, step.expectedTotal) << "keycode " << step.keycode << " mask " << step.modifiers;
    }
}
