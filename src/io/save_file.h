// Atomic replacement of a file's content, shared by calculation files and reports.
#pragma once

#include <QByteArray>
#include <QString>

namespace humidora {

/// Writes `bytes` to a temporary file beside `path` and renames it over `path` once every byte has
/// reached it; on any failure the temporary file is removed and an earlier file at `path` stays byte for
/// byte as it was. Returns an empty text on success, else the reason (the system's words, e.g. "No space
/// left on device").
QString SaveBytes(const QString& path, const QByteArray& bytes);

} // namespace humidora
