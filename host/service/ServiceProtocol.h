// The messages between a web page (kavel.js) and the local print service: one JSON object
// per WebSocket text message.
//
// Page to service:
//   {"id": 1, "op": "hello", "path": "/orders/print.html"}       first, once
//   {"id": 2, "call": "ADD_PRINT_TEXT", "args": [10, 10, 200, 30, "text"]}
//   {"id": 3, "call": 220}                                        by DISPID
//   {"id": 4, "get": "Version"}   {"id": 5, "put": "Caption", "args": ["x"]}
//   {"id": 6, "op": "previewPrint"}                               the embedded preview's print
// Arguments convert as the script runner converts script values: whole numbers within
// 32 bits are I4, other numbers R8, strings, booleans, null is Null, {"$": "undefined"}
// is Empty, any other object or array is an object value.
//
// Service to page:
//   {"id": 2, "result": VALUE, "messages": ["..."]}   no "result": undefined (Empty)
//   {"id": 2, "error": "text", "messages": [...]}
//   {"event": "OnCreate", ...fields}
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <optional>
#include <vector>

#include "control/Kavel_TLB.h"

namespace kavel::service {

// Bounds of one request: members take at most eight arguments.
constexpr int kMaxArguments = 32;
constexpr int kMaxIdLength = 64;
constexpr int kMaxPathLength = 2048;

struct Request {
    enum class Op { Call, Hello, PreviewPrint };
    Op op = Op::Call;
    QJsonValue id;  // a number or a short string, echoed in the answer
    DISPID dispid = DISPID_UNKNOWN;
    InvokeKind kind = InvokeKind::Method;
    std::vector<Variant> args;
    QString path;  // hello: the page's path (and query) on its origin
};

struct Parsed {
    std::optional<Request> request;
    QString error;  // why there is no request
    QJsonValue id;  // the id, when one could be read, for answering the error
};

// Reads one message. Never throws; every failure has a text that says what is wrong.
Parsed ParseRequest(const QByteArray& text);

Variant FromJson(const QJsonValue& value);
// Empty and object values become Undefined (left out of the answer).
QJsonValue ToJson(const Variant& value);

QByteArray Answer(const QJsonValue& id, const Variant& result, const QStringList& messages);
QByteArray Failure(const QJsonValue& id, const QString& error, const QStringList& messages);
QByteArray Event(const QString& name, QJsonObject fields = {});

}  // namespace kavel::service
