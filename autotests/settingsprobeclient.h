#ifndef SETTINGSPROBECLIENT_H
#define SETTINGSPROBECLIENT_H

#include <QMap>
#include <QProcess>
#include <QString>

// Runs the settings probe in a child process and returns its key=value lines.
inline QMap<QString, QString> runSettingsProbe(const QString &mode = QString())
{
    QProcess process;
    process.setProgram(QStringLiteral(SETTINGS_PROBE));
    if (!mode.isEmpty()) {
        process.setArguments({mode});
    }
    process.start();
    QMap<QString, QString> values;
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        values.insert(QStringLiteral("error"), QString::fromLocal8Bit(process.readAllStandardError()));
        return values;
    }
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const int equals = line.indexOf('=');
        if (equals > 0) {
            values.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
        }
    }
    return values;
}

#endif
