#pragma once

#include <QLibrary>
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
        auto* found = reinterpret_cast<Function*>(m_library.resolve(name));
        if (!found && m_error.isEmpty())
            m_error = missing(name);
        return found;
    }

    // Empty while the library and every function asked for were found.
    const QString& error() const { return m_error; }

private:
    QString missing(const char* function) const;

    QLibrary m_library;
    QString m_error;
};
