// A value of the browser engine, or the reason there is none.
#pragma once

#include <QString>
#include <optional>

namespace kavel {

template <class T>
struct BrowserResult {
    std::optional<T> value;
    QString error;  // empty when value is set

    explicit operator bool() const { return value.has_value(); }
    static BrowserResult Fail(const QString& why) { return {std::nullopt, why}; }
};

}  // namespace kavel
