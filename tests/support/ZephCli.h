#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

// One run of the built zeph-cli: its exit code (-1 when it crashed or hung) and both outputs.
struct ZephCliRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

ZephCliRun RunZephCli(const QStringList& args,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
