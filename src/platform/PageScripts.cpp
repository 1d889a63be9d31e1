#include "platform/PageScripts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/LaidOutDocument.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitEngineResources() {
    Q_INIT_RESOURCE(kavel_engine);
}

namespace kavel {

namespace {

const QString& Walker() {
    static const QString walker = [] {
        InitEngineResources();
        QFile file(":/kavel/engine/layout-walker.js");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return walker;
}

// Every picture loaded and decoded (lazy ones made eager first: they load only near the
// viewport), then the fonts. A written document says "complete" at once, so pictures are
// awaited one by one rather than through the load event.
const char* const kSettle =
    "Promise.all([...document.images].map(i => {"
    " if (i.loading === 'lazy') i.loading = 'eager';"
    " return i.complete && i.naturalWidth ? 0 : i.decode().catch(() => 0); }))"
    ".then(() => document.fonts.ready).then(() => document.readyState)";

}  // namespace

QString SettleScript() {
    return QString::fromLatin1(kSettle);
}

QString LayoutReadScript(const ReadLimits& limits) {
    const QJsonArray properties = QJsonArray::fromStringList(LaidOutDocument::Properties());
    const QJsonObject bounds{{"elements", limits.elements},
                             {"characters", limits.characters},
                             {"bytes", limits.replyBytes}};
    return Walker() +
           QStringLiteral("(document.body || document.documentElement, %1, %2)")
               .arg(QString::fromUtf8(QJsonDocument(properties).toJson(QJsonDocument::Compact)),
                    QString::fromUtf8(QJsonDocument(bounds).toJson(QJsonDocument::Compact)));
}

}  // namespace kavel
