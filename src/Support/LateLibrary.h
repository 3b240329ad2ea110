#pragma once

#include <QString>

// A system library opened by its soname when first needed instead of linked: what the
// executable links is loaded, with all it brings along, before the window can show, and a
// library that only a worker uses later need not be. Never unloaded.
class LateLibrary {
public:
    // "libespeak-ng.so.1" is ("espeak-ng", 1).
    LateLibrary(const QString& name, int majorVersion);

    // The function `name` as a pointer of the declared function's type; null when the library
    // or the function is missing, and error() then says which.
    template <typename Function>
    Function* function(const char* name)
    {
        return reinterpret_cast<Function*>(resolve(name));
    }

    // Empty while the library and every function asked for were found; otherwise one
    // sentence naming the library: "libsoxr.so.0 is not installed", "… cannot be loaded: …"
    // (a file is there but it is no library the loader can use) or "… has no function …".
    const QString& error() const { return m_error; }

private:
    void* resolve(const char* name);

    QString m_soname;
    void* m_handle = nullptr;
    QString m_error;
};
