#pragma once

// Runs the built skybrant-cli as a user would, and reads what it wrote.

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace skybrant::testing {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CliRun cli(
    const QStringList& args, const QByteArray& input = {}, const QString& program = QStringLiteral(SKYBRANT_CLI_PATH))
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForStarted());
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

inline QStringList words(const char* text)
{
    return QString::fromLatin1(text).split(u' ');
}

inline QJsonObject jsonObject(const QString& text)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

}  // namespace skybrant::testing
