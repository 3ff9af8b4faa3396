// Atomic replacement of a file's content, shared by calculation files, reports, pictures and the
// command line's outputs.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

namespace humidora {

/// A file written piece by piece that takes the place of an earlier one only when it is complete. A
/// regular file (or a new name) is written to a temporary file beside it, renamed over it on commit();
/// until then, and after any failure, an earlier file stays byte for byte as it was, and the temporary
/// file is removed when the writer goes without a commit. A device or a pipe that already exists
/// (/dev/null, a FIFO) cannot be replaced and is written directly. Every write is checked, unbuffered,
/// so a full disk or a closed pipe is seen at the write that meets it.
class ReplacingFile
{
public:
    explicit ReplacingFile(const QString& path);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    /// Empty on success, else the reason (the system's words, e.g. "No such file or directory").
    QString open();
    /// Writes every byte; false when not all of them reached the file (see error()).
    bool write(const char* data, qint64 size);
    /// Puts the file in place. Empty on success, else the reason; nothing is replaced then.
    QString commit();
    /// The reason of the last failure, the system's words.
    QString error() const { return error_; }

private:
    QFileDevice& device() { return direct_ ? static_cast<QFileDevice&>(file_) : save_; }

    QSaveFile save_;
    QFile file_;
    bool direct_ = false;
    QString error_;
};

/// Writes `bytes` to a temporary file beside `path` and renames it over `path` once every byte has
/// reached it (a device or pipe is written directly); on any failure the temporary file is removed and
/// an earlier file at `path` stays byte for byte as it was. Returns an empty text on success, else the
/// reason (the system's words, e.g. "No space left on device").
QString SaveBytes(const QString& path, const QByteArray& bytes);

} // namespace humidora
