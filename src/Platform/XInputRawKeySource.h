#pragma once

#include "Input/RawKeySource.h"

#include <QObject>

#include <atomic>
#include <thread>

struct _XDisplay;

// Global key presses on X11 from XInput2 raw events, read on a thread of its own with its
// own display connection. Only the watched key is ever looked at or passed on.
class XInputRawKeySource final : public QObject, public RawKeySource {
    Q_OBJECT
public:
    explicit XInputRawKeySource(QObject* parent = nullptr);
    ~XInputRawKeySource() override;

    bool start(quint32 keycode, std::function<void(const Press&)> onPress) override;
    bool isActive() const override { return m_active; }

private:
    void run(quint32 keycode, int extensionOpcode);
    void readEvents(quint32 keycode, int extensionOpcode);

    _XDisplay* m_display = nullptr;
    int m_wakeFd = -1;  // eventfd that ends the thread
    std::function<void(const Press&)> m_onPress;
    std::atomic<bool> m_active = false;
    std::thread m_thread;
};
