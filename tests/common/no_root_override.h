#pragma once

// Tests of unreadable files and read-only directories must also hold when they run as root, as CI
// does: root's CAP_DAC_OVERRIDE would otherwise read and write through any permission bits. While
// an instance lives, the process works with an ordinary user's file access; it restores the
// capabilities it dropped.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class NoRootOverride {
public:
    NoRootOverride() {
        if (syscall(SYS_capget, &header_, saved_) == 0) {
            __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
            reduced[0].effective &=
                ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
            active_ = syscall(SYS_capset, &header_, reduced) == 0;
        }
    }
    ~NoRootOverride() {
        if (active_) {
            syscall(SYS_capset, &header_, saved_);
        }
    }
    NoRootOverride(const NoRootOverride&) = delete;
    NoRootOverride& operator=(const NoRootOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};
