#include "ServiceProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <limits>

#include "ScriptBinding.h"

namespace kavel::service {

namespace {

bool UsableId(const QJsonValue& id) {
    if (id.isDouble()) return std::isfinite(id.toDouble());
    return id.isString() && id.toString().size() <= kMaxIdLength;
}

// The member a "call", "get" or "put" names: a name in any letter case or a DISPID.
std::optional<DISPID> MemberOf(const QJsonValue& member, QString* error) {
    if (member.isDouble()) {
        const double d = member.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 1e9) return static_cast<DISPID>(d);
        *error = QStringLiteral("a DISPID is a whole number");
        return std::nullopt;
    }
    if (!member.isString()) {
        *error = QStringLiteral("the member is named by a string or a DISPID");
        return std::nullopt;
    }
    const QString name = member.toString();
    const DISPID id = FindDispid(name);
    if (id == DISPID_UNKNOWN) {
        const QString nearest = NearestMemberName(name);
        *error = QString("the control has no member %1").arg(Excerpt(name, 60));
        if (!nearest.isEmpty()) *error += QString("; did you mean %1?").arg(nearest);
        return std::nullopt;
    }
    return id;
}

}  // namespace

Variant FromJson(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return Variant::Null();
        case QJsonValue::Bool:
            return Variant::Bool(value.toBool());
        case QJsonValue::Double: {
            const double d = value.toDouble();
            if (std::isfinite(d) && d == std::floor(d) &&
                d >= std::numeric_limits<int32_t>::min() &&
                d <= std::numeric_limits<int32_t>::max()) {
                return Variant::I4(static_cast<int32_t>(d));
            }
            return Variant::R8(d);
        }
        case QJsonValue::String:
            return Variant::Str(value.toString());
        case QJsonValue::Object:
            if (value.toObject().size() == 1 &&
                value.toObject().value(QStringLiteral("$")) == QStringLiteral("undefined")) {
                return Variant();
            }
            return Variant::Object();
        case QJsonValue::Array:
            return Variant::Object();
        default:
            return Variant();
    }
}

QJsonValue ToJson(const Variant& value) {
    switch (value.Type()) {
        case VarType::Empty:
        case VarType::Dispatch:
            return QJsonValue(QJsonValue::Undefined);
        case VarType::Null:
            return QJsonValue(QJsonValue::Null);
        case VarType::Bool:
            return value.ToBool();
        case VarType::BStr:
        case VarType::LPStr:
            return value.ToText();
        default: {
            const double d = value.ToDouble();
            return std::isfinite(d) ? QJsonValue(d) : QJsonValue(QJsonValue::Null);
        }
    }
}

Parsed ParseRequest(const QByteArray& text) {
    Parsed parsed;
    QJsonParseError problem;
    const QJsonDocument document = QJsonDocument::fromJson(text, &problem);
    if (problem.error != QJsonParseError::NoError) {
        parsed.error = QString("the message is no JSON (%1 at offset %2)")
                           .arg(problem.errorString())
                           .arg(problem.offset);
        return parsed;
    }
    if (!document.isObject()) {
        parsed.error = QStringLiteral("a message is a JSON object");
        return parsed;
    }
    const QJsonObject object = document.object();
    const QJsonValue id = object.value(QStringLiteral("id"));
    if (!UsableId(id)) {
        parsed.error = QString(
                           "every message has an id: a number or a string of at most %1 "
                           "characters")
                           .arg(kMaxIdLength);
        return parsed;
    }
    parsed.id = id;

    Request request;
    request.id = id;
    const QJsonValue op = object.value(QStringLiteral("op"));
    if (!op.isUndefined()) {
        if (op == QStringLiteral("hello")) {
            request.op = Request::Op::Hello;
            const QJsonValue path = object.value(QStringLiteral("path"));
            if (!path.isUndefined() && !path.isString()) {
                parsed.error = QStringLiteral("hello: the path is a string");
                return parsed;
            }
            request.path = path.toString().left(kMaxPathLength);
        } else if (op == QStringLiteral("previewPrint")) {
            request.op = Request::Op::PreviewPrint;
        } else {
            parsed.error = QString("unknown op %1").arg(Excerpt(op.toVariant().toString(), 40));
            return parsed;
        }
        parsed.request = std::move(request);
        return parsed;
    }

    QJsonValue member;
    int named = 0;
    for (const auto& [key, kind] :
         {std::pair{"call", InvokeKind::Method}, std::pair{"get", InvokeKind::PropertyGet},
          std::pair{"put", InvokeKind::PropertyPut}}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined()) continue;
        member = value;
        request.kind = kind;
        ++named;
    }
    if (named != 1) {
        parsed.error = QStringLiteral("a message names one member by call, get or put");
        return parsed;
    }
    const auto dispid = MemberOf(member, &parsed.error);
    if (!dispid) return parsed;
    request.dispid = *dispid;
    if (request.kind == InvokeKind::Method && IsProperty(request.dispid)) {
        // A property named by "call" reads it, as a script's plain use of it would.
        request.kind = InvokeKind::PropertyGet;
    }

    const QJsonValue args = object.value(QStringLiteral("args"));
    if (!args.isUndefined() && !args.isArray()) {
        parsed.error = QStringLiteral("args is an array");
        return parsed;
    }
    const QJsonArray list = args.toArray();
    if (list.size() > kMaxArguments) {
        parsed.error = QString("at most %1 arguments").arg(kMaxArguments);
        return parsed;
    }
    for (const QJsonValue& arg : list) request.args.push_back(FromJson(arg));
    parsed.request = std::move(request);
    return parsed;
}

namespace {
QByteArray Encode(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
}  // namespace

QByteArray Answer(const QJsonValue& id, const Variant& result, const QStringList& messages) {
    QJsonObject object{{"id", id}};
    const QJsonValue value = ToJson(result);
    if (!value.isUndefined()) object.insert(QStringLiteral("result"), value);
    if (!messages.isEmpty())
        object.insert(QStringLiteral("messages"), QJsonArray::fromStringList(messages));
    return Encode(object);
}

QByteArray Failure(const QJsonValue& id, const QString& error, const QStringList& messages) {
    QJsonObject object{{"id", id}, {"error", error}};
    if (!messages.isEmpty())
        object.insert(QStringLiteral("messages"), QJsonArray::fromStringList(messages));
    return Encode(object);
}

QByteArray Event(const QString& name, QJsonObject fields) {
    fields.insert(QStringLiteral("event"), name);
    return Encode(fields);
}

}  // namespace kavel::service
