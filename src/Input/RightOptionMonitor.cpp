#include "Input/RightOptionMonitor.h"

#include "Platform/XInputRawKeySource.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {

// X core modifier bits (Wayland's keymaps use the same order).
constexpr quint32 kShift = 1u << 0;
constexpr quint32 kCapsLock = 1u << 1;
constexpr quint32 kControl = 1u << 2;
constexpr quint32 kHyper = 1u << 5;  // Mod3
constexpr quint32 kSuper = 1u << 6;  // Mod4
constexpr quint32 kOtherModifiers = kShift | kCapsLock | kControl | kHyper | kSuper;

// The keysyms of a right Alt that is an Alt key.
constexpr quint32 kAltR = 0xffea;
constexpr quint32 kMetaR = 0xffe8;

}  // namespace

RightOptionMonitor::RightOptionMonitor(QObject* parent) : RightOptionMonitor(platformGlobalSource(), parent)
{
}

RightOptionMonitor::RightOptionMonitor(std::unique_ptr<RawKeySource> globalSource, QObject* parent)
    : QObject(parent), m_globalSource(std::move(globalSource))
{
}

RightOptionMonitor::~RightOptionMonitor()
{
    if (m_started && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void RightOptionMonitor::start()
{
    if (m_started)
        return;
    m_started = true;
    if (m_globalSource)
        m_globalSource->start(rightAltKeycode, [this](const RawKeySource::Press& press) {
            handlePress(press.keycode, press.keysym, press.modifierMask);
        });
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

bool RightOptionMonitor::isQualifyingPress(quint32 keycode, quint32 keysym, quint32 modifierMask)
{
    return keycode == rightAltKeycode && (keysym == kAltR || keysym == kMetaR) && (modifierMask & kOtherModifiers) == 0;
}

std::unique_ptr<RawKeySource> RightOptionMonitor::platformGlobalSource()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return std::make_unique<XInputRawKeySource>();
    return nullptr;
}

bool RightOptionMonitor::eventFilter(QObject* watched, QEvent* event)
{
    // A key event reaches its window first and then travels through widgets; only the
    // window's copy counts, so one press is one call. The global source, while it runs,
    // sees presses inside the application too.
    if (event->type() == QEvent::KeyPress && watched->isWindowType() &&
        !(m_globalSource && m_globalSource->isActive())) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            handlePress(key->nativeScanCode(), key->nativeVirtualKey(), key->nativeModifiers());
    }
    return false;  // the application still gets every event
}

void RightOptionMonitor::handlePress(quint32 keycode, quint32 keysym, quint32 modifierMask)
{
    if (isQualifyingPress(keycode, keysym, modifierMask) && onPressed)
        onPressed();
}
