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

// The reader's JSON crosses the protocol as base64 of its UTF-8. As a plain string the
// protocol escapes every quote in it and every character beyond ASCII, and Qt's JSON
// reader takes an escaped string one character at a time (15 ms for the 1 MB of a
// 2,000-row table); base64 it takes in one piece.
const char* const kCarry =
    "(json => { const bytes = new TextEncoder().encode(json);"
    " return bytes.toBase64 ? bytes.toBase64() : btoa(unescape(encodeURIComponent(json))); })";

}  // namespace

QString SettleScript() {
    return QString::fromLatin1(kSettle);
}

QString LayoutReadScript(const ReadLimits& limits) {
    const QJsonArray properties = QJsonArray::fromStringList(LaidOutDocument::Properties());
    const QJsonObject bounds{{"elements", limits.elements},
                             {"characters", limits.characters},
                             {"bytes", limits.replyBytes}};
    return QString::fromLatin1(kCarry) + '(' + Walker() +
           QStringLiteral("(document.body || document.documentElement, %1, %2))")
               .arg(QString::fromUtf8(QJsonDocument(properties).toJson(QJsonDocument::Compact)),
                    QString::fromUtf8(QJsonDocument(bounds).toJson(QJsonDocument::Compact)));
}

QByteArray LayoutReplyJson(const QJsonValue& answer) {
    const QByteArray::FromBase64Result json = QByteArray::fromBase64Encoding(
        answer.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    return json ? *json : QByteArray();
}

}  // namespace kavel
