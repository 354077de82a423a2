#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>

// Conditions under which files cannot be written, made for a test's scope
// with the kernel's own means.

// File permissions count for this thread as they do for any user but root:
// root's capabilities to pass over them are set aside for the scope (tests
// run as root in CI).
class PermissionsCount {
  public:
    PermissionsCount();
    ~PermissionsCount();
    PermissionsCount(const PermissionsCount&) = delete;
    PermissionsCount& operator=(const PermissionsCount&) = delete;

  private:
    bool dropped_ = false;
    unsigned saved_ = 0;
};

// No file of this process may grow beyond `bytes`: a write past it fails as
// one on a full disk does (with "File too large" rather than "No space left").
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

// Another file mounted over `target` (a bind mount, for this thread alone):
// the path reads and writes as that file, but no file can take its place,
// since the kernel keeps a mount point from being renamed over. Where
// mounting is lacking, mounted() is false and the test skips.
class MountedOver {
  public:
    MountedOver(const QString& source, const QString& target);
    ~MountedOver();
    MountedOver(const MountedOver&) = delete;
    MountedOver& operator=(const MountedOver&) = delete;

    bool mounted() const { return mounted_; }

  private:
    QByteArray target_;
    bool mounted_ = false;
};

// A file system of a few kilobytes (tmpfs) that a test can fill, mounted for
// this thread alone in a mount namespace of its own. Mounting needs the
// capability to; where it is lacking, mounted() is false and the test skips.
class SmallDisk {
  public:
    explicit SmallDisk(int kilobytes = 64);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path() const { return mountPoint_.path(); }
    QString filePath(const QString& name) const { return mountPoint_.filePath(name); }
    // Takes every byte still free.
    void fill();

  private:
    QTemporaryDir mountPoint_;
    bool mounted_ = false;
};
