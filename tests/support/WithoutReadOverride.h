#pragma once

// While it lives, the process obeys file permissions even as root (tests run as root on the
// build machines): it gives up the capabilities that override them, and takes them back at its
// end. Elsewhere nothing overrides them, and it does nothing.

#if defined(__linux__)
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class WithoutReadOverride {
public:
    WithoutReadOverride() {
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_header, lowered);
    }
    ~WithoutReadOverride() { syscall(SYS_capset, &m_header, m_saved); }
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
};
#else
class WithoutReadOverride {};
#endif
