#include "ScriptBinding.h"

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

ScriptBridge::ScriptBridge(QJSEngine& engine, IKavelX& control)
    : QObject(&engine), engine_(engine), control_(control) {}

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
    if (hr != S_OK) {
        engine_.throwError(QJSValue::GenericError,
                           error.isEmpty()
                               ? QString("call failed (0x%1)").arg(uint32_t(hr), 8, 16, QChar('0'))
                               : error);
        return QJSValue();
    }
    return ToScript(engine_, result);
}

void BindControl(QJSEngine& engine, IKavelX& control, const QString& name) {
    auto* bridge = new ScriptBridge(engine, control);
    // A proxy resolves member names the way late binding does: in any letter case.
    static const char* kFactory = R"JS(
(function (bridge) {
  return new Proxy({}, {
    get: function (target, name) {
      if (typeof name !== 'string') return undefined;
      var id = bridge.dispid(name);
      if (id === -1) return undefined;
      if (bridge.isProperty(id)) return bridge.invoke(id, 1, []);
      return function () { return bridge.invoke(id, 0, Array.prototype.slice.call(arguments)); };
    },
    set: function (target, name, value) {
      var id = typeof name === 'string' ? bridge.dispid(name) : -1;
      if (id === -1 || !bridge.isProperty(id)) throw new TypeError(name + ' is no property of the control');
      bridge.invoke(id, 2, [value]);
      return true;
    },
    has: function (target, name) { return typeof name === 'string' && bridge.dispid(name) !== -1; }
  });
}))JS";
    QJSValue factory =
        engine.evaluate(QString::fromLatin1(kFactory), QStringLiteral("kavel:binding"));
    engine.globalObject().setProperty(name, factory.call({engine.newQObject(bridge)}));
}

}  // namespace kavel
