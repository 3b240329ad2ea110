#pragma once

#include "Platform/RawKeySource.h"

#include <QObject>

#include <functional>
#include <memory>

// Reports each lone press of the right Alt key (the key the system treats as the right
// Option key): desktop-wide through a global key source where the desktop offers one (X11),
// otherwise while the application has the focus. Where the keyboard layout gives the key
// another role (AltGr, the Korean input toggle) its presses are that role's and never count.
// Whether a press stops anything is the owner's decision. Used on the GUI thread.
class RightOptionMonitor final : public QObject {
    Q_OBJECT
public:
    static constexpr quint32 rightAltKeycode = 108;

    // With the desktop's global key source, when there is one.
    explicit RightOptionMonitor(QObject* parent = nullptr);
    // With the given global key source (none: only presses inside the application).
    explicit RightOptionMonitor(std::unique_ptr<RawKeySource> globalSource, QObject* parent = nullptr);
    ~RightOptionMonitor() override;

    // Installs the watchers; calling it again does nothing.
    void start();

    // A press of right Alt, giving Alt_R or Meta_R in the current layout (not
    // ISO_Level3_Shift, Mode_switch, Hangul or Hangul_Hanja), with no Shift, Control, Super,
    // Hyper or Caps Lock. Num Lock and the Alt keys themselves do not count: left Alt held
    // still qualifies. `keysym` is an xkb keysym, as X11 and Wayland both report them.
    static bool isQualifyingPress(quint32 keycode, quint32 keysym, quint32 modifierMask);
    // The desktop's global key source: XInput2 on X11, nothing elsewhere (Wayland).
    static std::unique_ptr<RawKeySource> platformGlobalSource();

    std::function<void()> onPressed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handlePress(quint32 keycode, quint32 keysym, quint32 modifierMask);

    std::unique_ptr<RawKeySource> m_globalSource;
    bool m_started = false;
};
