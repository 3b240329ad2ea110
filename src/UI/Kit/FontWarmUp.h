#pragma once

#include <thread>

// Reads the system's font list and opens the interface's fonts (the application font and the
// CJK face behind it) on a thread of its own while the rest of the program starts: fontconfig
// takes several milliseconds for them, which the first window would otherwise wait for. The
// faces and fontconfig's caches are shared between threads; the destructor joins.
class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread m_thread;
};
