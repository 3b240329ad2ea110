#pragma once

#include <QtGlobal>

#include <functional>

// Presses of one key anywhere on the desktop, whichever application has the focus.
class RawKeySource {
public:
    struct Press {
        quint32 keycode = 0;  // X keycode (evdev code + 8)
        quint32 modifierMask = 0;  // X core modifier state at the press
        quint32 keysym = 0;  // what the key gives in the layout active at the press
    };

    virtual ~RawKeySource() = default;

    // Starts watching `keycode` and nothing else; false when the desktop offers no global
    // key events. Presses arrive on the owner's thread.
    virtual bool start(quint32 keycode, std::function<void(const Press&)> onPress) = 0;
    // False before start(), after a failed start and once the connection is lost.
    virtual bool isActive() const = 0;
};
