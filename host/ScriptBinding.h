// Page script's view of the control: the global object KAVEL, whose members are bound
// from the dispatch table (names in any letter case, as late binding allows).
#pragma once

#include <QJSEngine>
#include <QJSValue>
#include <QObject>

#include "control/Kavel_TLB.h"

namespace kavel {

// Conversions between script values and automation values.
Variant FromScript(const QJSValue& value);
QJSValue ToScript(QJSEngine& engine, const Variant& value);

class ScriptBridge : public QObject {
    Q_OBJECT
  public:
    ScriptBridge(QJSEngine& engine, IKavelX& control);

    Q_INVOKABLE int dispid(const QString& name) const;
    Q_INVOKABLE bool isProperty(int dispid) const;
    // kind: 0 method, 1 property get, 2 property put.
    Q_INVOKABLE QJSValue invoke(int dispid, int kind, const QJSValue& args);

  private:
    QJSEngine& engine_;
    IKavelX& control_;
};

// Makes `name` (KAVEL) a global object that reaches the control.
void BindControl(QJSEngine& engine, IKavelX& control, const QString& name = "KAVEL");

}  // namespace kavel
