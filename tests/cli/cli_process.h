// Runs the real humidora-cli binary and captures what it writes and returns.
#pragma once

#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace humidora::cli_test {

struct CliRun
{
    int exit_code = -1;
    QString out;
    QString err;
    QJsonObject json() const; ///< stdout read as one JSON object (empty when it is none)
};

/// Runs humidora-cli with `arguments`; `locale`, when given, is set as LC_ALL and LANG.
CliRun RunCli(const QStringList& arguments, const QString& locale = {});

/// Runs `script` in bash in `folder`, with $CLI naming humidora-cli: for redirections and pipes.
CliRun RunShell(const QString& script, const QString& folder);

} // namespace humidora::cli_test
