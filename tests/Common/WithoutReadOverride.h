#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Root reads any file whatever its mode: while this lives, the calling thread (and a thread it
// starts meanwhile) lacks the two capabilities that let it, so a file of mode 000 is
// unreadable to it as to anyone else.
class WithoutReadOverride {
public:
    WithoutReadOverride()
    {
        m_header = {_LINUX_CAPABILITY_VERSION_3, 0};
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_header, lowered);
    }
    ~WithoutReadOverride() { syscall(SYS_capset, &m_header, m_saved); }
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
};
