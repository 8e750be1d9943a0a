#include "sansdroits.h"

#include <QtGlobal>

#include <algorithm>
#include <iterator>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

bool sansdroitsadministrateur(const std::function<void()>& action) {
#ifdef Q_OS_LINUX
    if (::geteuid() != 0) {
        action();
        return true;
    }
    // The rights leave the effective set only: they stay permitted and come back after.
    __user_cap_header_struct entete{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct droits[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &entete, droits) != 0)
        return false;
    __user_cap_data_struct reduits[_LINUX_CAPABILITY_U32S_3];
    std::copy(std::begin(droits), std::end(droits), std::begin(reduits));
    for (const int droit : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        reduits[CAP_TO_INDEX(droit)].effective &= ~CAP_TO_MASK(droit);
    if (::syscall(SYS_capset, &entete, reduits) != 0)
        return false;
    action();
    ::syscall(SYS_capset, &entete, droits);
    return true;
#else
    action();
    return true;
#endif
}
