// Ways to make saving fail on purpose, also when the tests run as root (who may write anywhere):
// a file-size limit that makes writes fail like a full disk, and a folder the process may not write
// because the capability that lets root ignore permissions is set aside for the while.
#pragma once

#include <QFile>
#include <QString>
#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace humidora::testing {

/// While alive, no file of the process may grow beyond `bytes`: a write past it fails with EFBIG, the way
/// a full disk fails a write. (SIGXFSZ, which would end the process, is ignored meanwhile.)
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const { return active_; }

private:
    rlimit saved_ {};
    void (*previous_handler_)(int) = SIG_DFL;
    bool active_ = false;
};

/// While alive, the process obeys file permissions even as root: CAP_DAC_OVERRIDE and
/// CAP_DAC_READ_SEARCH leave the effective set (they stay permitted, so they come back afterwards).
class ObeyPermissions
{
public:
    ObeyPermissions()
    {
        if (geteuid() != 0) {
            active_ = true; // an ordinary user obeys them anyway
            return;
        }
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = { saved_[0], saved_[1] };
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = syscall(SYS_capset, &header_, reduced) == 0;
        restore_ = active_;
    }
    ~ObeyPermissions()
    {
        if (restore_)
            syscall(SYS_capset, &header_, saved_);
    }
    ObeyPermissions(const ObeyPermissions&) = delete;
    ObeyPermissions& operator=(const ObeyPermissions&) = delete;

    bool active() const { return active_; }

private:
    __user_cap_header_struct header_ {};
    __user_cap_data_struct saved_[2] {};
    bool active_ = false;
    bool restore_ = false;
};

/// The bytes of a file, or a marker that it could not be read.
inline QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<unreadable>");
    return file.readAll();
}

} // namespace humidora::testing
