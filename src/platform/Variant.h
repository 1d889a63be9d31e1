// The automation value that page script hands to the control and gets back.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <stdexcept>
#include <variant>

namespace kavel {

// A text as messages quote it: whole when short, else its start, "…" and its length, so
// that a huge value never floods a message.
QString Excerpt(const QString& text, int maxLength = 200);

// VT codes of the automation VARIANT that the control understands.
enum class VarType : uint16_t {
    Empty = 0,
    Null = 1,
    I2 = 2,
    I4 = 3,
    R8 = 5,
    BStr = 8,
    Dispatch = 9,
    Bool = 11,
    I1 = 16,
    UI1 = 17,
    UI2 = 18,
    UI4 = 19,
    LPStr = 30,  // narrow (8-bit) string
};

// A failed conversion or any other error raised inside a member. The member fronts
// catch it where the design says so; elsewhere it becomes a failing result.
class KavelError : public std::runtime_error {
  public:
    explicit KavelError(const QString& text);
    QString Text() const { return text_; }

  private:
    QString text_;
};

// Opaque stand-in for a script object passed as an argument: the control never
// looks into it, it only needs to know that the value is an object.
struct ScriptObject {
    bool operator==(const ScriptObject&) const = default;
};

class Variant {
  public:
    Variant() = default;  // Empty
    static Variant Null();
    static Variant I1(int8_t v);
    static Variant I2(int16_t v);
    static Variant I4(int32_t v);
    static Variant UI1(uint8_t v);
    static Variant UI2(uint16_t v);
    static Variant UI4(uint32_t v);
    static Variant R8(double v);
    static Variant Bool(bool v);
    static Variant Str(const QString& v);
    static Variant NarrowStr(const QByteArray& v);
    static Variant Object();

    // Convenience constructors for tests and C++ callers.
    Variant(int32_t v) : Variant(I4(v)) {}
    Variant(const char* v) : Variant(Str(QString::fromUtf8(v))) {}
    Variant(const QString& v) : Variant(Str(v)) {}

    VarType Type() const { return type_; }
    bool IsEmpty() const { return type_ == VarType::Empty; }
    bool IsNull() const { return type_ == VarType::Null; }
    bool IsText() const { return type_ == VarType::BStr || type_ == VarType::LPStr; }
    bool IsInteger() const;  // any of the integer VT codes
    bool IsNumber() const { return IsInteger() || type_ == VarType::R8; }

    // Automation conversions. Each raises KavelError when the value cannot be converted.
    QString ToText() const;   // Empty and Null give ""; booleans "True"/"False"
    int32_t ToInt32() const;  // texts: decimal, fractions round half to even
    bool ToBool() const;
    double ToDouble() const;

    // The VARIANT comparison of this value with the integer k (the "matches k" of the
    // style keys). Null never matches; a value that cannot be compared raises KavelError.
    bool Matches(int32_t k) const;

    bool operator==(const Variant& other) const;

    // Short description for messages and test output, such as I4:7 or BSTR:"x".
    QString Describe() const;

  private:
    using Storage = std::variant<std::monostate, int64_t, double, bool, QString, QByteArray>;
    Variant(VarType t, Storage s) : type_(t), value_(std::move(s)) {}
    QString TypeName() const;

    VarType type_ = VarType::Empty;
    Storage value_;
};

// Rounding of the automation conversions: to the nearest integer, halves to even.
double RoundHalfEven(double v);

}  // namespace kavel
