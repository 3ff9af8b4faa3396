#include "io/save_file.h"

#include <sys/stat.h>

namespace humidora {
namespace {

// True for a path that names an existing device, pipe or socket (through links): renaming a file over
// it would put a plain file in its place (as root even over /dev/full), so it is written as it is.
bool IsSpecialFile(const QString& path)
{
    struct stat status
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode)
        && !S_ISDIR(status.st_mode);
}

QString Reason(const QFileDevice& device)
{
    return device.error() != QFileDevice::NoError ? device.errorString()
                                                  : QStringLiteral("the data could not be written");
}

} // namespace

ReplacingFile::ReplacingFile(const QString& path)
    : save_(path)
    , file_(path)
    , direct_(IsSpecialFile(path))
{
}

QString ReplacingFile::open()
{
    // Unbuffered: QSaveFile commits whatever reached the temporary file unless it saw the failure itself,
    // and it does not see a short write (a disk filling up half-way) nor a failed flush of a buffer while
    // committing; without a buffer every failure is met by a write checked here.
    if (!device().open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        error_ = device().errorString();
    return error_;
}

bool ReplacingFile::write(const char* data, qint64 size)
{
    if (!error_.isEmpty())
        return false;
    qint64 written = 0;
    while (written < size) {
        const qint64 chunk = device().write(data + written, size - written);
        if (chunk <= 0) {
            error_ = Reason(device());
            if (!direct_)
                save_.cancelWriting();
            return false;
        }
        written += chunk;
    }
    return true;
}

QString ReplacingFile::commit()
{
    if (!error_.isEmpty())
        return error_;
    if (direct_) {
        file_.close();
        if (file_.error() != QFileDevice::NoError)
            error_ = file_.errorString();
    } else if (!save_.commit()) {
        error_ = Reason(save_);
    }
    return error_;
}

QString SaveBytes(const QString& path, const QByteArray& bytes)
{
    // The content is complete in memory before the file is touched, and it goes out in one checked write.
    ReplacingFile file(path);
    if (QString reason = file.open(); !reason.isEmpty())
        return reason;
    if (!file.write(bytes.constData(), bytes.size()))
        return file.error();
    return file.commit();
}

} // namespace humidora
