#include "io/save_file.h"

#include <QSaveFile>

namespace humidora {

QString SaveBytes(const QString& path, const QByteArray& bytes)
{
    // The content is complete in memory before the file is touched, and it goes out unbuffered in one
    // checked write: QSaveFile commits whatever reached the temporary file unless it saw the failure
    // itself, and it does not see a short write (a disk filling up half-way) nor a failed flush of a
    // buffer while committing.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 chunk = file.write(bytes.constData() + written, bytes.size() - written);
        if (chunk <= 0) {
            const QString reason = file.error() != QFileDevice::NoError
                ? file.errorString()
                : QStringLiteral("the data could not be written");
            file.cancelWriting();
            return reason;
        }
        written += chunk;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace humidora
