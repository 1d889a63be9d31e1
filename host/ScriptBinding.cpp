#include "ScriptBinding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kavel {

Variant FromScript(const QJSValue& value) {
    if (value.isUndefined()) return Variant();
    if (value.isNull()) return Variant::Null();
    if (value.isBool()) return Variant::Bool(value.toBool());
    if (value.isNumber()) {
        const double d = value.toNumber();
        if (std::isfinite(d) && d == std::floor(d) && d >= std::numeric_limits<int32_t>::min() &&
            d <= std::numeric_limits<int32_t>::max()) {
            return Variant::I4(static_cast<int32_t>(d));
        }
        return Variant::R8(d);
    }
    if (value.isString()) return Variant::Str(value.toString());
    return Variant::Object();
}

QJSValue ToScript(QJSEngine&, const Variant& value) {
    switch (value.Type()) {
        case VarType::Empty:
        case VarType::Dispatch:
            return QJSValue(QJSValue::UndefinedValue);
        case VarType::Null:
            return QJSValue(QJSValue::NullValue);
        case VarType::Bool:
            return QJSValue(value.ToBool());
        case VarType::R8:
            return QJSValue(value.ToDouble());
        case VarType::BStr:
        case VarType::LPStr:
            return QJSValue(value.ToText());
        default:
            return QJSValue(value.ToDouble());
    }
}

QString NearestMemberName(const QString& name) {
    const QString wanted = name.toUpper();
    QString best;
    int bestDistance = std::max(2, static_cast<int>(wanted.size()) / 4) + 1;
    for (const MemberInfo& member : IKavelXTable()) {
        const QString candidate = member.name.toUpper();
        // Edit distance, one row at a time.
        std::vector<int> row(static_cast<size_t>(candidate.size()) + 1);
        for (size_t j = 0; j < row.size(); ++j) row[j] = static_cast<int>(j);
        for (qsizetype i = 1; i <= wanted.size(); ++i) {
            int diagonal = row[0];
            row[0] = static_cast<int>(i);
            for (qsizetype j = 1; j <= candidate.size(); ++j) {
                const int above = row[static_cast<size_t>(j)];
                row[static_cast<size_t>(j)] =
                    std::min({above + 1, row[static_cast<size_t>(j) - 1] + 1,
                              diagonal + (wanted[i - 1] == candidate[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        if (row.back() < bestDistance) {
            bestDistance = row.back();
            best = member.name;
        }
    }
    return best;
}

ScriptBridge::ScriptBridge(QJSEngine& engine, IKavelX& control, CallObserver observer)
    : QObject(&engine), engine_(engine), control_(control), observer_(std::move(observer)) {}

QString ScriptBridge::noMember(const QString& objectName, const QString& name) const {
    const QString nearest = NearestMemberName(name);
    QString text = QString("%1 has no member %2").arg(objectName, Excerpt(name, 60));
    if (!nearest.isEmpty()) text += QString("; did you mean %1?").arg(nearest);
    return text;
}

int ScriptBridge::dispid(const QString& name) const {
    return FindDispid(name);
}

bool ScriptBridge::isProperty(int id) const {
    return IsProperty(id);
}

QJSValue ScriptBridge::invoke(int id, int kind, const QJSValue& args) {
    std::vector<Variant> arguments;
    const int count = args.property("length").toInt();
    for (int i = 0; i < count; ++i) arguments.push_back(FromScript(args.property(i)));
    Variant result;
    QString error;
    const InvokeKind how = kind == 2 ? InvokeKind::PropertyPut
                                     : (kind == 1 ? InvokeKind::PropertyGet : InvokeKind::Method);
    const HRESULT hr = control_.Invoke(id, how, arguments, &result, &error);
    if (observer_ && hr == S_OK) {
        if (const MemberInfo* member = FindMember(id, how)) observer_(member->name, result);
    }
    if (hr != S_OK) {
        engine_.throwError(QJSValue::GenericError,
                           error.isEmpty()
                               ? QString("call failed (0x%1)").arg(uint32_t(hr), 8, 16, QChar('0'))
                               : error);
        return QJSValue();
    }
    return ToScript(engine_, result);
}

void BindControl(QJSEngine& engine, IKavelX& control, const QString& name, CallObserver observer) {
    auto* bridge = new ScriptBridge(engine, control, std::move(observer));
    // A proxy resolves member names the way late binding does: in any letter case.
    static const char* kFactory = R"JS(
(function (bridge, objectName) {
  return new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string') return undefined;
      var id = bridge.dispid(name);
      if (id === -1) {
        // What every object answers (and what awaiting or printing it asks) stays as it is.
        if (name in Object.prototype || name === 'then' || name === 'toJSON') return target[name];
        // A stand-in that fails when it is called or used as a value: the engine garbles an
        // error thrown from here while it evaluates a call.
        var message = bridge.noMember(objectName, name);
        var fail = function () { throw new TypeError(message); };
        fail.valueOf = fail;
        fail.toString = fail;
        return fail;
      }
      if (bridge.isProperty(id)) return bridge.invoke(id, 1, []);
      return function () { return bridge.invoke(id, 0, Array.prototype.slice.call(arguments)); };
    },
    set: function (target, name, value) {
      var id = typeof name === 'string' ? bridge.dispid(name) : -1;
      if (id === -1) throw new TypeError(bridge.noMember(objectName, String(name)));
      if (!bridge.isProperty(id)) throw new TypeError(objectName + '.' + name + ' is a method, not a property');
      bridge.invoke(id, 2, [value]);
      return true;
    },
    has: function (target, name) { return typeof name === 'string' && bridge.dispid(name) !== -1; }
  });
}))JS";
    QJSValue factory =
        engine.evaluate(QString::fromLatin1(kFactory), QStringLiteral("kavel:binding"));
    engine.globalObject().setProperty(name, factory.call({engine.newQObject(bridge), name}));
}

}  // namespace kavel
