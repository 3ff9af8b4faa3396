#include "cli_process.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QProcess>
#include <gtest/gtest.h>

namespace humidora::cli_test {

QJsonObject CliRun::json() const
{
    return QJsonDocument::fromJson(out.toUtf8()).object();
}

CliRun RunCli(const QStringList& arguments, const QString& locale)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!locale.isEmpty()) {
        environment.insert("LC_ALL", locale);
        environment.insert("LANG", locale);
    }
    process.setProcessEnvironment(environment);
    process.start(HUMIDORA_CLI_PATH, arguments);
    CliRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "humidora-cli did not finish normally: " << arguments.join(' ').toStdString();
        return run;
    }
    run.exit_code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

CliRun RunShell(const QString& script, const QString& folder)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CLI", HUMIDORA_CLI_PATH);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start("/bin/bash", { "-c", script });
    CliRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "bash did not finish normally: " << script.toStdString();
        return run;
    }
    run.exit_code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace humidora::cli_test

// QProcess wants an application object; the tests run inside one.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
