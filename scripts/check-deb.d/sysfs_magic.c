// Preloaded into udevadm by check-deb: the fake sysfs on tmpfs passes udev's check that
// a device lives on sysfs, so the installed rules run against adapters this machine lacks.
// udev asks through fstatfs64, which is fstatfs on 64-bit systems.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <linux/magic.h>
#include <stddef.h>
#include <sys/vfs.h>

int fstatfs64(int fd, struct statfs64* buf) {
    static int (*real)(int, struct statfs64*);
    if (real == NULL) {
        real = (int (*)(int, struct statfs64*))dlsym(RTLD_NEXT, "fstatfs64");
    }
    const int result = real(fd, buf);
    if (result == 0 && buf->f_type == TMPFS_MAGIC) {
        buf->f_type = SYSFS_MAGIC;
    }
    return result;
}
