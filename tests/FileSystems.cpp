#include "tests/FileSystems.h"

#include <QFile>

#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};

    bool read() { return syscall(SYS_capget, &header, data) == 0; }
    bool write() { return syscall(SYS_capset, &header, data) == 0; }
};

// The capabilities with which root passes over file permissions.
constexpr unsigned kPassOverPermissions =
    (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);

// This thread's own mount namespace, whose mounts reach no other.
bool ownMountNamespace() {
    static const bool own = unshare(CLONE_NEWNS) == 0 &&
                            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return own;
}

} // namespace

PermissionsCount::PermissionsCount() {
    if (geteuid() != 0) return;
    Capabilities caps;
    if (!caps.read()) return;
    saved_ = caps.data[0].effective;
    caps.data[0].effective &= ~kPassOverPermissions;
    dropped_ = caps.write();
}

PermissionsCount::~PermissionsCount() {
    if (!dropped_) return;
    Capabilities caps;
    caps.read();
    caps.data[0].effective = saved_;
    caps.write();
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    // A write past the limit fails instead of ending the process.
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, saved_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
}

SmallDisk::SmallDisk(int kilobytes) {
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
    mounted_ =
        mountPoint_.isValid() && ownMountNamespace() &&
        mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

MountedOver::MountedOver(const QString& source, const QString& target)
    : target_(QFile::encodeName(target)) {
    mounted_ = ownMountNamespace() && mount(QFile::encodeName(source).constData(),
                                            target_.constData(), nullptr, MS_BIND, nullptr) == 0;
}

MountedOver::~MountedOver() {
    if (mounted_) umount2(target_.constData(), MNT_DETACH);
}

void SmallDisk::fill() {
    const int fd = ::open(QFile::encodeName(filePath("filler")).constData(),
                          O_WRONLY | O_CREAT | O_APPEND, 0600);
    const char block[4096] = {};
    for (size_t size : {sizeof block, size_t{1}})
        while (::write(fd, block, size) == static_cast<ssize_t>(size)) {
        }
    ::close(fd);
}
