#pragma once

#include <QStringList>

#include <thread>

// Reads the system's font list and opens the interface's fonts (the application font and the
// CJK face behind it) on a thread of its own while the rest of the program starts: fontconfig
// takes several milliseconds for them, which the first window would otherwise wait for. The
// faces and fontconfig's caches are shared between threads. Then it draws the pictures of
// `glyphs`, in their order, so the window's thread does not open the colour emoji font for
// them. The destructor joins.
class FontWarmUp {
public:
    explicit FontWarmUp(QStringList glyphs = {});
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread m_thread;
};
