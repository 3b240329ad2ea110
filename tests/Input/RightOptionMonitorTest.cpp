#include "Input/RightOptionMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>

#include <map>

#include <gtest/gtest.h>

namespace {

// X core modifier bits as the desktop reports them.
constexpr quint32 kShift = 0x01, kCapsLock = 0x02, kControl = 0x04, kAlt = 0x08, kNumLock = 0x10, kSuper = 0x40,
                  kAltGr = 0x80;
constexpr quint32 kLeftAlt = 64, kRightAlt = 108;
// What the right Alt key gives: US and most layouts, then German, French, Polish (AltGr),
// Korean 104-key (the Hangul toggle), the Hanja key and old layouts' group switch.
constexpr quint32 kAltR = 0xffea, kMetaR = 0xffe8, kAltL = 0xffe9, kLevel3 = 0xfe03, kHangul = 0xff31, kHanja = 0xff34,
                  kModeSwitch = 0xff7e;

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

// A key event as the desktop's Qt platform plugin makes it: the Qt key follows the keysym.
QKeyEvent keyEvent(QEvent::Type type, quint32 keycode, quint32 keysym, quint32 modifiers, bool autoRepeat = false)
{
    const std::map<quint32, int> keys{
        {kAltR, Qt::Key_Alt}, {kAltL, Qt::Key_Alt}, {kLevel3, Qt::Key_AltGr}, {kHangul, Qt::Key_Hangul}};
    return QKeyEvent(type, keys.at(keysym), Qt::NoModifier, keycode, keysym, modifiers, QString(), autoRepeat);
}

}  // namespace

TEST(RightOptionMonitor, OnlyALonePressOfRightAltQualifies)
{
    struct Case {
        quint32 keycode;
        quint32 keysym;
        quint32 modifiers;
        bool qualifies;
    };
    const Case cases[] = {
        {kRightAlt, kAltR, 0, true},
        {kRightAlt, kMetaR, 0, true},
        {kRightAlt, kAltR, kNumLock, true},  // Num Lock is on most of the time: ignored
        {kRightAlt, kAltR, kAlt, true},  // left Alt held
        {kRightAlt, kAltR, kAlt | kAltGr, true},  // the Alt family itself
        {kRightAlt, kAltR, kShift, false},
        {kRightAlt, kAltR, kCapsLock, false},
        {kRightAlt, kAltR, kControl, false},
        {kRightAlt, kAltR, kSuper, false},
        {kRightAlt, kAltR, kShift | kNumLock, false},
        {kRightAlt, kLevel3, 0, false},  // AltGr, held to type "@", "€" or "ą"
        {kRightAlt, kHangul, 0, false},  // switches Korean and English input
        {kRightAlt, kHanja, 0, false},
        {kRightAlt, kModeSwitch, 0, false},
        {kRightAlt, 0, 0, false},  // the layout could not be read
        {kLeftAlt, kAltL, 0, false},
        {36, 0xff0d, 0, false},  // Return
    };
    for (const Case& c : cases)
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
    EXPECT_EQ(global->watched, kRightAlt);

    global->deliver({kRightAlt, 0, kAltR});
    global->deliver({kRightAlt, kShift, kAltR});
    global->deliver({kRightAlt, 0, kHangul});
    global->deliver({kRightAlt, kNumLock, kAltR});
    EXPECT_EQ(presses, 2);

    // While the global source runs, the window's own copy of a press is not counted again.
    QWindow window;
    QKeyEvent press = keyEvent(QEvent::KeyPress, kRightAlt, kAltR, 0);
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
        quint32 keysym;
        quint32 modifiers;
        bool autoRepeat;
        int expectedTotal;
    };
    const Step steps[] = {
        {&window, QEvent::KeyPress, kRightAlt, kAltR, 0, false, 1},  // US layout
        {&widgetLike, QEvent::KeyPress, kRightAlt, kAltR, 0, false, 1},  // same press, propagated
        {&window, QEvent::KeyRelease, kRightAlt, kAltR, kAlt, false, 1},
        {&window, QEvent::KeyPress, kRightAlt, kAltR, 0, true, 1},  // held down: auto-repeat
        {&window, QEvent::KeyPress, kRightAlt, kAltR, kShift, false, 1},  // filtered as in the table above
        {&window, QEvent::KeyPress, kLeftAlt, kAltL, 0, false, 1},
        {&window, QEvent::KeyPress, kRightAlt, kLevel3, 0, false, 1},  // German layout: AltGr
        {&window, QEvent::KeyPress, kRightAlt, kHangul, 0, false, 1},  // Korean 104-key layout
        {&window, QEvent::KeyPress, kRightAlt, kAltR, kNumLock, false, 2},
    };
    for (const Step& step : steps) {
        QKeyEvent event = keyEvent(step.type, step.keycode, step.keysym, step.modifiers, step.autoRepeat);
        QCoreApplication::sendEvent(step.receiver, &event);
        EXPECT_EQ(presses, step.expectedTotal) << "keycode " << step.keycode << " keysym " << step.keysym;
    }
}
