#include "CliRun.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QProcess>

#include <gtest/gtest.h>

std::vector<QJsonObject> CliRun::Objects() const {
    std::vector<QJsonObject> objects;
    for (const QByteArray& line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
        EXPECT_EQ(parseError.error, QJsonParseError::NoError) << line.toStdString();
        EXPECT_TRUE(document.isObject()) << line.toStdString();
        objects.push_back(document.object());
    }
    return objects;
}

CliRun RunCli(const QStringList& arguments, const QProcessEnvironment& extra) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TARNVIK_PASSWORD"));
    environment.insert(extra);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARNVIK_CLI_PATH), arguments);
    CliRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        ADD_FAILURE() << "tarnvik-cli did not finish: " << arguments.join(' ').toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}
