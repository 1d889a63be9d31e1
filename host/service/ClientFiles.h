// What the service gives pages over HTTP besides pictures: the client script, its
// TypeScript declaration (generated from the dispatch table, so it names every member
// exactly as the control has it) and the small status page.
#pragma once

#include <QByteArray>
#include <QStringList>

namespace kavel::service {

QByteArray ClientScript();
QByteArray ClientDeclaration();

struct ServiceStatus {
    quint16 port = 0;
    int pages = 0;
    QStringList allowed;
    QString originsFile;
};
QByteArray StatusPageHtml(const ServiceStatus& status);

}  // namespace kavel::service
