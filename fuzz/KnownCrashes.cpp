#include "KnownCrashes.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kavel::fuzz {

#if KAVEL_FUZZ_KNOWN_CRASHES

void SteerClearOfKnownCrashes(CallProgram&) {}

#else

namespace {

// Positions, sizes, pen widths and other numbers stay within this distance of zero: far
// ones overflow 32-bit arithmetic, and far-off positions make thousands of blank pages.
constexpr int32_t kFar = 20000;
// Paper given in 0.1 mm is at least this wide and high: smaller paper, or negative, makes
// thousands of blank pages.
constexpr int32_t kSmallestPaper = 1000;

// A number (or a text that converts to one) brought within kFar; anything else as it is.
Variant Near(const Variant& value) {
    try {
        const double v = value.ToDouble();
        if (std::isfinite(v) && std::abs(v) <= kFar) return value;
        if (std::isnan(v)) return value;
        return Variant::I4(v < 0 ? -kFar : kFar);
    } catch (const KavelError&) {
        return value;
    }
}

// An empty font name crashes the picture recording of every output.
bool EmptyText(const Variant& value) {
    try {
        return value.ToText().isEmpty();
    } catch (const KavelError&) {
        return false;
    }
}

void SteerStep(CallStep& step) {
    std::vector<Variant>& args = step.args;
    const auto arg = [&args](size_t i) -> Variant* { return i < args.size() ? &args[i] : nullptr; };
    for (size_t i = 0; i < args.size() && i < step.types.size(); ++i) {
        if (IsIntegerType(step.types[i])) args[i] = Near(args[i]);
    }
    if (step.how != InvokeKind::Method) return;
    const QString& name = step.name;
    const auto is = [&name](const char* member) {
        return name.trimmed().compare(QLatin1String(member), Qt::CaseInsensitive) == 0;
    };
    // Style keys: the value is a number for most keys, the font name for one.
    const size_t keyAt = is("SET_PRINT_STYLE") ? 0 : (is("SET_PRINT_STYLEA") ? 1 : SIZE_MAX);
    if (Variant* key = arg(keyAt); key && arg(keyAt + 1)) {
        Variant& value = *arg(keyAt + 1);
        value = Near(value);
        try {
            if (key->ToText().toLower() == "fontname" && EmptyText(value)) value = "Arial";
        } catch (const KavelError&) {
        }
    }
    if (is("SET_PRINT_TEXT_STYLE") || is("SET_PRINT_TEXT_STYLEA") || is("SET_PRINT_TEXT_STYLEB")) {
        if (Variant* font = arg(1); font && EmptyText(*font)) *font = "Arial";
    }
    if (is("SET_PRINT_PAGESIZE") && arg(2)) {
        for (size_t i : {1, 2}) {
            try {
                const int32_t v = args[i].ToInt32();
                if (v != 0) args[i] = Variant::I4(std::max(std::abs(v), kSmallestPaper));
            } catch (const KavelError&) {
            }
        }
    }
}

// Numbers in a stored layout: at most four digits.
QByteArray SteerLayout(const QByteArray& text) {
    static const QRegularExpression longNumber("(\\d{4})\\d+");
    return QString::fromLatin1(text).replace(longNumber, "\\1").toLatin1();
}

}  // namespace

void SteerClearOfKnownCrashes(CallProgram& program) {
    for (CallStep& step : program.steps) {
        if (step.kind == CallStep::Kind::StoreLayout) {
            step.layout = SteerLayout(step.layout);
        } else {
            SteerStep(step);
        }
    }
}

#endif

}  // namespace kavel::fuzz
