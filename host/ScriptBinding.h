// Page script's view of the control: the global object KAVEL, whose members are bound
// from the dispatch table (names in any letter case, as late binding allows).
#pragma once

#include <QJSEngine>
#include <QJSValue>
#include <QObject>
#include <functional>

#include "control/Kavel_TLB.h"

namespace kavel {

// Conversions between script values and automation values.
Variant FromScript(const QJSValue& value);
QJSValue ToScript(QJSEngine& engine, const Variant& value);

// Told of every member call that reached the control: the member's name and its result.
using CallObserver = std::function<void(const QString& member, const Variant& result)>;

// The member name closest to a misspelt one, for error messages; empty when none is close.
QString NearestMemberName(const QString& name);

class ScriptBridge : public QObject {
    Q_OBJECT
  public:
    ScriptBridge(QJSEngine& engine, IKavelX& control, CallObserver observer);

    Q_INVOKABLE int dispid(const QString& name) const;
    Q_INVOKABLE bool isProperty(int dispid) const;
    // kind: 0 method, 1 property get, 2 property put.
    Q_INVOKABLE QJSValue invoke(int dispid, int kind, const QJSValue& args);
    // The error text for a name that is no member.
    Q_INVOKABLE QString noMember(const QString& objectName, const QString& name) const;

  private:
    QJSEngine& engine_;
    IKavelX& control_;
    CallObserver observer_;
};

// Makes `name` (KAVEL) a global object that reaches the control.
void BindControl(QJSEngine& engine, IKavelX& control, const QString& name = "KAVEL",
                 CallObserver observer = nullptr);

}  // namespace kavel
