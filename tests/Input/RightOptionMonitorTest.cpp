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
// What the right Alt key gives: US and most layouts, then German, French, Polish (AltGr) and
// Korean 104-key (the Hangul toggle).
constexpr quint32 kAltR = 0xffea, kMetaR = 0xffe8, kAltL = 0xffe9, kLevel3 = 0xfe03, kHangul = 0xff31;

class FakeGlobalSource final : public RawKeySource {
public:
    bool active = false;
    int starts = 0;
    std::function<void(const Press&)> deliver;

    bool start(quint32 keycode, std::function<void(const Press&)> onPress) override
    {
        ++starts;
        EXPECT_EQ(keycode, kRightAlt);
        deliver = std::move(onPress);
        return active = true;
    }
    bool isActive() const override { return active; }
};

// A right Alt key event as the desktop's Qt platform plugin makes it.
QKeyEvent rightAlt(QEvent::Type type = QEvent::KeyPress, quint32 modifiers = 0, bool autoRepeat = false)
{
    return QKeyEvent(type, Qt::Key_Alt, Qt::NoModifier, kRightAlt, kAltR, modifiers, QString(), autoRepeat);
}

}  // namespace

TEST(RightOptionMonitor, OnlyALonePressOfRightAltQualifies)
{
    const struct {
        quint32 keycode;
        quint32 keysym;
        quint32 modifiers;
        bool qualifies;
    } cases[] = {
        {kRightAlt, kAltR, 0, true},
        {kRightAlt, kMetaR, 0, true},
        {kRightAlt, kAltR, kNumLock, true},  // Num Lock is on most of the time: ignored
        {kRightAlt, kAltR, kAlt | kAltGr, true},  // left Alt held, the Alt family itself
        {kRightAlt, kAltR, kShift, false},
        {kRightAlt, kAltR, kCapsLock, false},
        {kRightAlt, kAltR, kControl, false},
        {kRightAlt, kAltR, kSuper, false},
        {kRightAlt, kLevel3, 0, false},  // AltGr, held to type "@", "€" or "ą"
        {kRightAlt, kHangul, 0, false},  // switches Korean and English input
        {kLeftAlt, kAltL, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RightOptionMonitor::isQualifyingPress(c.keycode, c.keysym, c.modifiers), c.qualifies)
            << c.keycode << " keysym " << c.keysym << " mask " << c.modifiers;
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

    global->deliver({kRightAlt, 0, kAltR});
    global->deliver({kRightAlt, kShift, kAltR});
    EXPECT_EQ(presses, 1);

    // While the global source runs, the window's own copy of a press is not counted again;
    // once it is inactive (lost, or never connected), the window's presses count.
    QWindow window;
    QKeyEvent press = rightAlt();
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(presses, 1);
    global->active = false;
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(presses, 2);
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
    struct {
        QObject* receiver;
        QKeyEvent event;
        int expectedTotal;
    } steps[] = {
        {&window, rightAlt(), 1},
        {&widgetLike, rightAlt(), 1},  // same press, propagated
        {&window, rightAlt(QEvent::KeyRelease, kAlt), 1},
        {&window, rightAlt(QEvent::KeyPress, 0, true), 1},  // held down: auto-repeat
        {&window, rightAlt(QEvent::KeyPress, kShift), 1},
        {&window, rightAlt(QEvent::KeyPress, kNumLock), 2},
    };
    for (auto& step : steps) {
        QCoreApplication::sendEvent(step.receiver, &step.event);
        EXPECT_EQ(presses, step.expectedTotal) << "step " << &step - steps;
    }
}
