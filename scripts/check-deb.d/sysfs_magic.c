// Preloaded into udevadm by check-deb: the fake sysfs on tmpfs passes udev's check that
// a device lives on sysfs, so the installed rules run against adapters this machine lacks.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <linux/magic.h>
#include <stddef.h>
#include <sys/vfs.h>

int fstatfs(int fd, struct statfs* buf) {
    static int (*real)(int, struct statfs*);
    if (real == NULL) {
        real = (int (*)(int, struct statfs*))dlsym(RTLD_NEXT, "fstatfs");
    }
    const int result = real(fd, buf);
    if (result == 0 && buf->f_type == TMPFS_MAGIC) {
        buf->f_type = SYSFS_MAGIC;
    }
    return result;
}

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
