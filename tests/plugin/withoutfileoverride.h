// Lets a test see file permissions as an ordinary user does, also when it
// runs as root (as CI does): while the object lives, the calling thread's
// effective capabilities to read and write any file (CAP_DAC_OVERRIDE,
// CAP_DAC_READ_SEARCH) are dropped; the destructor puts them back. Without
// those capabilities there is nothing to drop. IsDropped answers whether the
// thread now lacks them.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class WithoutFileOverride {
public:
    WithoutFileOverride()
    {
        if (syscall(SYS_capget, &_header, _saved) != 0) return;
        __user_cap_data_struct lowered[2] = {_saved[0], _saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        _changed = syscall(SYS_capset, &_header, lowered) == 0;
    }
    ~WithoutFileOverride()
    {
        if (_changed) syscall(SYS_capset, &_header, _saved);
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

    bool IsDropped() const { return _changed || geteuid() != 0; }

private:
    __user_cap_header_struct _header {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct _saved[2] {};
    bool _changed = false;
};
