#pragma once
// The field's own tools (GDAL, GPSBabel, poppler) reading back the files we write.

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>

// Runs a program to its end with input on its standard input, expecting success; its output.
inline QByteArray toolOutput(const QString& program, const QStringList& args,
                             const QByteArray& input = {}) {
    QProcess process;
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    const bool ended = process.waitForFinished(120000);
    EXPECT_TRUE(ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

inline bool haveTools(std::initializer_list<const char*> tools) {
    for (const char* tool : tools)
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return false;
    return true;
}

// The system's python3 when it has GDAL's bindings (another python3 may shadow it), else empty.
inline QString pythonWithGdal() {
    for (const QString& candidate :
         {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")})
        if (QFile::exists(candidate) &&
            QProcess::execute(candidate, {"-c", "from osgeo import gdal"}) == 0)
            return candidate;
    return {};
}

#define SKIP_WITHOUT_TOOLS(...)                                                                    \
    if (!haveTools({__VA_ARGS__}))                                                                 \
    GTEST_SKIP() << "one of " #__VA_ARGS__ " is not installed (scripts/deps.sh installs them)"
