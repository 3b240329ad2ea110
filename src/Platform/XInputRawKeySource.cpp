#include "Platform/XInputRawKeySource.h"

#include <QLoggingCategory>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcRawKeys, "app.parlivox.input.xi2")

namespace {

// The keysym the key gives now, in the layout and group active now. The keymap is read
// afresh for each press: layouts change while the connection stays open, and Xlib's own
// copy is refreshed only by events this connection does not select.
quint32 currentKeysym(Display* display, quint32 keycode)
{
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return NoSymbol;
    XkbDescPtr keymap = XkbGetMap(display, XkbKeySymsMask, XkbUseCoreKbd);
    if (!keymap)
        return NoSymbol;
    KeySym keysym = NoSymbol;
    if (keycode >= keymap->min_key_code && keycode <= keymap->max_key_code) {
        if (const int groups = XkbKeyNumGroups(keymap, keycode); groups > 0)
            keysym = XkbKeySymEntry(keymap, keycode, 0, state.group % groups);
    }
    XkbFreeKeyboard(keymap, 0, True);
    return static_cast<quint32>(keysym);
}

}  // namespace

XInputRawKeySource::XInputRawKeySource(QObject* parent) : QObject(parent)
{
}

XInputRawKeySource::~XInputRawKeySource()
{
    if (m_thread.joinable()) {
        const eventfd_t one = 1;
        eventfd_write(m_wakeFd, one);
        m_thread.join();
    }
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    if (m_display)
        XCloseDisplay(m_display);
}

bool XInputRawKeySource::start(quint32 keycode, std::function<void(const Press&)> onPress)
{
    if (m_display)
        return m_active;
    m_display = XOpenDisplay(nullptr);
    if (!m_display) {
        qCInfo(lcRawKeys, "no X11 display: the key works only while the window has the focus");
        return false;
    }
    int opcode = 0, firstEvent = 0, firstError = 0;
    int major = 2, minor = 2;  // 2.1 and later deliver raw events whatever grabs are active
    if (!XQueryExtension(m_display, "XInputExtension", &opcode, &firstEvent, &firstError) ||
        XIQueryVersion(m_display, &major, &minor) != Success) {
        qCInfo(lcRawKeys, "X server without XInput 2: the key works only while the window has the focus");
        return false;
    }
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1);
    XFlush(m_display);

    m_wakeFd = eventfd(0, EFD_CLOEXEC);
    if (m_wakeFd < 0)
        return false;
    m_onPress = std::move(onPress);
    m_active = true;
    m_thread = std::thread([this, keycode, opcode] { run(keycode, opcode); });
    return true;
}

void XInputRawKeySource::run(quint32 keycode, int extensionOpcode)
{
    pollfd fds[2] = {{ConnectionNumber(m_display), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        readEvents(keycode, extensionOpcode);
        if (::poll(fds, 2, -1) < 0)
            continue;  // interrupted
        if (fds[1].revents != 0)
            return;
        if (fds[0].revents & (POLLERR | POLLHUP)) {
            qCWarning(lcRawKeys, "lost the X11 connection: the key works only while the window has the focus");
            m_active = false;
            return;
        }
    }
}

void XInputRawKeySource::readEvents(quint32 keycode, int extensionOpcode)
{
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        XGenericEventCookie& cookie = event.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != extensionOpcode || !XGetEventData(m_display, &cookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
        const bool watched = cookie.evtype == XI_RawKeyPress && static_cast<quint32>(raw->detail) == keycode &&
                             (raw->flags & XIKeyRepeat) == 0;  // a held key is one press
        XFreeEventData(m_display, &cookie);
        if (!watched)
            continue;
        // Raw events carry no modifier state; the core state right now does.
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int modifiers = 0;
        XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &x, &y, &modifiers);
        const Press press{keycode, modifiers, currentKeysym(m_display, keycode)};
        QMetaObject::invokeMethod(
            this,
            [this, press] {
                if (m_onPress)
                    m_onPress(press);
            },
            Qt::QueuedConnection);
    }
}
