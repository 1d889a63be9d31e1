// `kavel serve`: the options and the run of the local print service.
#pragma once

#include <QStringList>
#include <optional>

#include "PrintService.h"

namespace kavel::service {

struct ServeOptions {
    ServiceOptions service;
    QStringList allow;    // normalised origins
    QString settingsDir;  // empty: the user's data folder
};

std::optional<ServeOptions> ParseServeOptions(const QStringList& args, QString* error);
QString ServeUsage();
// Runs until the process is ended; the exit code.
int RunService(const ServeOptions& options);

}  // namespace kavel::service
