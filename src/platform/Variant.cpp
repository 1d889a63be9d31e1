#include "platform/Variant.h"

#include <cmath>
#include <limits>

namespace kavel {

KavelError::KavelError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}

double RoundHalfEven(double v) {
    return std::nearbyint(v);
}  // default rounding mode: to even

Variant Variant::Null() {
    return Variant(VarType::Null, std::monostate{});
}
Variant Variant::I1(int8_t v) {
    return Variant(VarType::I1, int64_t{v});
}
Variant Variant::I2(int16_t v) {
    return Variant(VarType::I2, int64_t{v});
}
Variant Variant::I4(int32_t v) {
    return Variant(VarType::I4, int64_t{v});
}
Variant Variant::UI1(uint8_t v) {
    return Variant(VarType::UI1, int64_t{v});
}
Variant Variant::UI2(uint16_t v) {
    return Variant(VarType::UI2, int64_t{v});
}
Variant Variant::UI4(uint32_t v) {
    return Variant(VarType::UI4, int64_t{v});
}
Variant Variant::R8(double v) {
    return Variant(VarType::R8, v);
}
Variant Variant::Bool(bool v) {
    return Variant(VarType::Bool, v);
}
Variant Variant::Str(const QString& v) {
    return Variant(VarType::BStr, v);
}
Variant Variant::NarrowStr(const QByteArray& v) {
    return Variant(VarType::LPStr, v);
}
Variant Variant::Object() {
    return Variant(VarType::Dispatch, std::monostate{});
}

bool Variant::IsInteger() const {
    switch (type_) {
        case VarType::I1:
        case VarType::I2:
        case VarType::I4:
        case VarType::UI1:
        case VarType::UI2:
        case VarType::UI4:
            return true;
        default:
            return false;
    }
}

QString Variant::TypeName() const {
    switch (type_) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::I1:
            return "ShortInt";
        case VarType::I2:
            return "SmallInt";
        case VarType::I4:
            return "Integer";
        case VarType::UI1:
            return "Byte";
        case VarType::UI2:
            return "Word";
        case VarType::UI4:
            return "LongWord";
        case VarType::R8:
            return "Double";
        case VarType::Bool:
            return "Boolean";
        case VarType::BStr:
            return "OleStr";
        case VarType::LPStr:
            return "String";
        case VarType::Dispatch:
            return "Dispatch";
    }
    return "Unknown";
}

QString Excerpt(const QString& text, int maxLength) {
    if (text.size() <= maxLength) return text;
    return text.left(maxLength) + QString("… (%1 characters)").arg(text.size());
}

namespace {

[[noreturn]] void CastError(const QString& from, const QString& to) {
    throw KavelError(
        QString("Could not convert variant of type (%1) into type (%2)").arg(from, to));
}

[[noreturn]] void TextCastError(const QString& text, const QString& to) {
    throw KavelError(QString("Could not convert variant of type (OleStr) into type (%1): \"%2\"")
                         .arg(to, Excerpt(text)));
}

// Reads a number the way the automation conversion does: blanks around it are
// allowed, a plain decimal integer, or a decimal fraction with an optional exponent.
bool ParseNumberText(const QString& raw, double* out) {
    const QString t = raw.trimmed();
    if (t.isEmpty()) return false;
    int i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    bool digits = false, dot = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        int j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        const int expStart = j;
        while (j < t.size() && t[j].isDigit() && t[j].unicode() < 128) ++j;
        if (j == expStart) return false;
        i = j;
    }
    if (i != t.size()) return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

int32_t DoubleToInt32(double v, const QString& from) {
    const double r = RoundHalfEven(v);
    if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() ||
        r > std::numeric_limits<int32_t>::max()) {
        throw KavelError(QString("Arithmetic overflow converting %1 to Integer").arg(from));
    }
    return static_cast<int32_t>(r);
}

QString NumberText(double v) {
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15) {
        return QString::number(static_cast<qint64>(v));
    }
    return QString::number(v, 'g', 15);
}

}  // namespace

QString Variant::ToText() const {
    switch (type_) {
        case VarType::Empty:
        case VarType::Null:
            return QString();
        case VarType::Bool:
            return std::get<bool>(value_) ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::R8:
            return NumberText(std::get<double>(value_));
        case VarType::BStr:
            return std::get<QString>(value_);
        case VarType::LPStr:
            return QString::fromLocal8Bit(std::get<QByteArray>(value_));
        case VarType::Dispatch:
            CastError(TypeName(), "OleStr");
        default:
            return QString::number(std::get<int64_t>(value_));
    }
}

double Variant::ToDouble() const {
    switch (type_) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
        case VarType::Dispatch:
            CastError(TypeName(), "Double");
        case VarType::Bool:
            return std::get<bool>(value_) ? -1 : 0;
        case VarType::R8:
            return std::get<double>(value_);
        case VarType::BStr:
        case VarType::LPStr: {
            double v = 0;
            if (!ParseNumberText(ToText(), &v)) TextCastError(ToText(), "Double");
            return v;
        }
        default:
            return static_cast<double>(std::get<int64_t>(value_));
    }
}

int32_t Variant::ToInt32() const {
    switch (type_) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
        case VarType::Dispatch:
            CastError(TypeName(), "Integer");
        case VarType::Bool:
            return std::get<bool>(value_) ? -1 : 0;
        case VarType::R8:
            return DoubleToInt32(std::get<double>(value_), TypeName());
        case VarType::BStr:
        case VarType::LPStr: {
            const QString text = ToText();
            bool ok = false;
            const qlonglong whole = text.trimmed().toLongLong(&ok, 10);
            if (ok) {
                if (whole < std::numeric_limits<int32_t>::min() ||
                    whole > std::numeric_limits<int32_t>::max()) {
                    throw KavelError(QString("Arithmetic overflow converting \"%1\" to Integer")
                                         .arg(Excerpt(text)));
                }
                return static_cast<int32_t>(whole);
            }
            double v = 0;
            if (!ParseNumberText(text, &v)) TextCastError(text, "Integer");
            return DoubleToInt32(v, TypeName());
        }
        case VarType::UI4: {
            const int64_t v = std::get<int64_t>(value_);
            if (v > std::numeric_limits<int32_t>::max()) {
                throw KavelError(QString("Arithmetic overflow converting %1 to Integer").arg(v));
            }
            return static_cast<int32_t>(v);
        }
        default:
            return static_cast<int32_t>(std::get<int64_t>(value_));
    }
}

bool Variant::ToBool() const {
    switch (type_) {
        case VarType::Empty:
            return false;
        case VarType::Null:
        case VarType::Dispatch:
            CastError(TypeName(), "Boolean");
        case VarType::Bool:
            return std::get<bool>(value_);
        case VarType::R8:
            return std::get<double>(value_) != 0;
        case VarType::BStr:
        case VarType::LPStr: {
            const QString t = ToText().trimmed();
            if (t.compare("true", Qt::CaseInsensitive) == 0) return true;
            if (t.compare("false", Qt::CaseInsensitive) == 0) return false;
            double v = 0;
            if (!ParseNumberText(t, &v)) TextCastError(ToText(), "Boolean");
            return v != 0;
        }
        default:
            return std::get<int64_t>(value_) != 0;
    }
}

bool Variant::Matches(int32_t k) const {
    switch (type_) {
        case VarType::Null:
            return false;
        case VarType::Dispatch:
            CastError(TypeName(), "Integer");
        case VarType::Empty:
            return k == 0;
        // Script booleans compare as script compares them: true equals 1, false equals 0.
        case VarType::Bool:
            return (std::get<bool>(value_) ? 1 : 0) == k;
        case VarType::R8:
            return std::get<double>(value_) == static_cast<double>(k);
        case VarType::BStr:
        case VarType::LPStr:
            return ToDouble() == static_cast<double>(k);
        default:
            return std::get<int64_t>(value_) == k;
    }
}

bool Variant::operator==(const Variant& other) const {
    return type_ == other.type_ && value_ == other.value_;
}

QString Variant::Describe() const {
    switch (type_) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::Dispatch:
            return "Dispatch";
        case VarType::BStr:
            return "BSTR:\"" + ToText() + "\"";
        case VarType::LPStr:
            return "LPSTR:\"" + ToText() + "\"";
        case VarType::Bool:
            return "BOOL:" + ToText();
        case VarType::R8:
            return "R8:" + ToText();
        default:
            return TypeName() + ":" + ToText();
    }
}

}  // namespace kavel
