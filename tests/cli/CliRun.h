#pragma once
// Runs one thalwise-cli command in the test's process and keeps what it printed.

#include "cli/Commands.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

struct CliRun {
    int status;
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList& args) {
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = cli::run(args, out, err);
    out.flush();
    err.flush();
    return r;
}
