#include "control/Kavel_TLB.h"

#include <QHash>
#include <QRegularExpression>
#include <cstring>
#include <tuple>
#include <utility>

namespace kavel {

namespace {

// ---- Parameter holders: one per C++ parameter type of the interface. ----------------

const Variant& ArgAt(const std::vector<Variant>& args, size_t i) {
    static const Variant empty;
    return i < args.size() ? args[i] : empty;
}

template <class T>
struct Holder;

template <>
struct Holder<int32_t> {
    Holder(const std::vector<Variant>& a, size_t i, Variant*) : v(ArgAt(a, i).ToInt32()) {}
    int32_t get() { return v; }
    void Store(Variant*) {}
    int32_t v;
};

template <>
struct Holder<TxActiveFormBorderStyle> {
    Holder(const std::vector<Variant>& a, size_t i, Variant*)
        : v(static_cast<TxActiveFormBorderStyle>(ArgAt(a, i).ToInt32())) {}
    const TxActiveFormBorderStyle& get() { return v; }
    void Store(Variant*) {}
    TxActiveFormBorderStyle v;
};

template <>
struct Holder<Variant> {
    Holder(const std::vector<Variant>& a, size_t i, Variant*) : v(ArgAt(a, i)) {}
    const Variant& get() { return v; }
    void Store(Variant*) {}
    const Variant& v;
};

template <>
struct Holder<const Variant*> {
    Holder(const std::vector<Variant>& a, size_t i, Variant*) : v(&ArgAt(a, i)) {}
    const Variant* get() { return v; }
    void Store(Variant*) {}
    const Variant* v;
};

template <>
struct Holder<QString> {
    Holder(const std::vector<Variant>& a, size_t i, Variant*) : v(ArgAt(a, i).ToText()) {}
    const QString& get() { return v; }
    void Store(Variant*) {}
    QString v;
};

template <>
struct Holder<Variant*> {
    Holder(const std::vector<Variant>&, size_t, Variant* result) : result_(result) {}
    // The holder is copied into the argument tuple: answer the address of the copy.
    Variant* get() { return result_ ? result_ : &own_; }
    void Store(Variant*) {}
    Variant* result_;
    Variant own_;
};

template <>
struct Holder<QString*> {
    Holder(const std::vector<Variant>&, size_t, Variant*) {}
    QString* get() { return &v; }
    void Store(Variant* result) {
        if (result) *result = Variant::Str(v);
    }
    QString v;
};

template <>
struct Holder<TxActiveFormBorderStyle*> {
    Holder(const std::vector<Variant>&, size_t, Variant*) {}
    TxActiveFormBorderStyle* get() { return &v; }
    void Store(Variant* result) {
        if (result) *result = Variant::I4(v);
    }
    TxActiveFormBorderStyle v = afbNone;
};

template <class... A, size_t... I>
HRESULT CallImpl(IKavelX& obj, HRESULT (IKavelX::*pmf)(A...), const std::vector<Variant>& args,
                 Variant* result, std::index_sequence<I...>) {
    (void)args;  // members without parameters use neither
    (void)result;
    std::tuple<Holder<std::remove_cvref_t<A>>...> held{
        Holder<std::remove_cvref_t<A>>(args, I, result)...};
    const HRESULT hr = (obj.*pmf)(std::get<I>(held).get()...);
    (std::get<I>(held).Store(result), ...);
    return hr;
}

template <class... A>
auto MakeCall(HRESULT (IKavelX::*pmf)(A...)) {
    return [pmf](IKavelX& obj, const std::vector<Variant>& args, Variant* result) -> HRESULT {
        return CallImpl(obj, pmf, args, result, std::index_sequence_for<A...>{});
    };
}

// The slot of a virtual member in the compiled vtable (Itanium C++ ABI: a pointer to a
// virtual member holds 1 + the slot's byte offset).
template <class F>
int VirtualIndex(F pmf) {
    struct Rep {
        uintptr_t ptr;
        ptrdiff_t adj;
    } rep;
    static_assert(sizeof(F) == sizeof(Rep));
    std::memcpy(&rep, &pmf, sizeof rep);
    return (rep.ptr & 1) ? static_cast<int>((rep.ptr - 1) / sizeof(void*)) : -1;
}

// Reads the declared parameter list, such as "(I4 intTop, const VARIANT& strHtml, VARIANT* Value)".
std::vector<ParamInfo> ParseParams(const char* text) {
    std::vector<ParamInfo> params;
    QString list = QString::fromLatin1(text).trimmed();
    list = list.mid(1, list.size() - 2);  // drop the parentheses
    static const QRegularExpression lastWord("([A-Za-z_][A-Za-z0-9_]*)\\s*$");
    for (QString part : list.split(',', Qt::SkipEmptyParts)) {
        part = part.simplified();
        const auto m = lastWord.match(part);
        ParamInfo p;
        p.name = m.captured(1);
        QString type = part.left(m.capturedStart(1)).remove(' ');
        const bool isConst = type.startsWith("const");
        if (isConst) type = type.mid(5);
        if (type.endsWith('&')) {
            type.chop(1);
        } else if (type.endsWith('*')) {
            type.chop(1);
            if (isConst) {
                type = "PTR(" + type + ")";
            } else {
                p.out = true;
            }
        }
        p.type = type;
        params.push_back(p);
    }
    return params;
}

std::vector<MemberInfo> BuildTable() {
    std::vector<MemberInfo> table;
    int slot = 0;
    auto add = [&](const char* name, DISPID dispid, InvokeKind kind, std::vector<ParamInfo> params,
                   auto pmf) {
        MemberInfo m;
        m.name = QString::fromLatin1(name);
        m.dispid = dispid;
        m.kind = kind;
        m.params = std::move(params);
        m.vtableSlot = slot++;
        m.vtableIndex = VirtualIndex(pmf);
        m.call = MakeCall(pmf);
        table.push_back(std::move(m));
    };
#define KAVEL_TABLE_METHOD(name, dispid, params) \
    add(#name, dispid, InvokeKind::Method, ParseParams(#params), &IKavelX::name);
#define KAVEL_TABLE_PROPERTY(name, dispid, type)                                    \
    add(#name, dispid, InvokeKind::PropertyGet, {ParamInfo{"Value", #type, true}},  \
        &IKavelX::get_##name);                                                      \
    add(#name, dispid, InvokeKind::PropertyPut, {ParamInfo{"Value", #type, false}}, \
        &IKavelX::put_##name);
    KAVEL_IKAVELX_MEMBERS(KAVEL_TABLE_METHOD, KAVEL_TABLE_PROPERTY)
#undef KAVEL_TABLE_METHOD
#undef KAVEL_TABLE_PROPERTY
    return table;
}

QHash<QString, DISPID> BuildNameIndex() {
    QHash<QString, DISPID> index;
    for (const MemberInfo& m : IKavelXTable()) index.insert(m.name.toUpper(), m.dispid);
    return index;
}

thread_local QString lastError;

}  // namespace

int MemberInfo::InCount() const {
    int n = 0;
    for (const ParamInfo& p : params) n += p.out ? 0 : 1;
    return n;
}

const std::vector<MemberInfo>& IKavelXTable() {
    static const std::vector<MemberInfo> table = BuildTable();
    return table;
}

const std::vector<EventInfo>& IKavelXEventsTable() {
    static const std::vector<EventInfo> table = [] {
        std::vector<EventInfo> events;
#define KAVEL_TABLE_EVENT(name, dispid, params) \
    events.push_back(EventInfo{#name, dispid, ParseParams(#params)});
        KAVEL_IKAVELXEVENTS_MEMBERS(KAVEL_TABLE_EVENT)
#undef KAVEL_TABLE_EVENT
        return events;
    }();
    return table;
}

DISPID FindDispid(const QString& name) {
    static const QHash<QString, DISPID> index = BuildNameIndex();
    return index.value(name.trimmed().toUpper(), DISPID_UNKNOWN);
}

bool IsProperty(DISPID dispid) {
    for (const MemberInfo& m : IKavelXTable()) {
        if (m.dispid == dispid) return m.kind != InvokeKind::Method;
    }
    return false;
}

const MemberInfo* FindMember(DISPID dispid, InvokeKind kind) {
    const bool property = IsProperty(dispid);
    InvokeKind wanted = kind;
    if (property && kind == InvokeKind::Method) wanted = InvokeKind::PropertyGet;
    if (!property && kind == InvokeKind::PropertyGet) wanted = InvokeKind::Method;
    for (const MemberInfo& m : IKavelXTable()) {
        if (m.dispid == dispid && m.kind == wanted) return &m;
    }
    return nullptr;
}

namespace {

// Arguments every call must give: all up to the last one that is not an optional
// (pointer) VARIANT.
int RequiredCount(const MemberInfo& member) {
    int required = 0, position = 0;
    for (const ParamInfo& p : member.params) {
        if (p.out) continue;
        ++position;
        if (!p.type.startsWith("PTR(")) required = position;
    }
    return required;
}

bool IsIntegerType(const QString& type) {
    return type == "I4" || type == "INT" || type == "I2" || type == "TxActiveFormBorderStyle";
}

// An argument as an error message shows it: text in quotes, other values as they read.
QString ArgumentText(const Variant& value) {
    if (value.IsEmpty()) return QStringLiteral("undefined");
    if (value.IsNull()) return QStringLiteral("null");
    try {
        const QString text = Excerpt(value.ToText(), 60);
        return value.IsText() ? '"' + text + '"' : text;
    } catch (const KavelError&) {
        return Excerpt(value.Describe(), 60);
    }
}

// The first argument that cannot take its parameter's integer type, as the text that
// names the member, the parameter and the value; empty when every one can.
QString ArgumentError(const MemberInfo& member, const std::vector<Variant>& args) {
    size_t i = 0;
    for (const ParamInfo& p : member.params) {
        if (p.out) continue;
        if (i < args.size() && IsIntegerType(p.type)) {
            try {
                args[i].ToInt32();
            } catch (const KavelError&) {
                return QString(
                           "%1: the parameter %2 takes a whole number from -2147483648 to "
                           "2147483647, not %3")
                    .arg(member.name, p.name, ArgumentText(args[i]));
            }
        }
        ++i;
    }
    return QString();
}

}  // namespace

HRESULT InvokeMember(IKavelX& target, DISPID dispid, InvokeKind kind,
                     const std::vector<Variant>& args, Variant* result, QString* error) {
    if (result) *result = Variant();
    const MemberInfo* member = FindMember(dispid, kind);
    if (!member) {
        if (error) *error = QString("Member not found (DISPID %1)").arg(dispid);
        return DISP_E_MEMBERNOTFOUND;
    }
    const int given = static_cast<int>(args.size());
    if (given > member->InCount() || given < RequiredCount(*member)) {
        if (error) {
            const int required = RequiredCount(*member);
            const QString takes = required == member->InCount()
                                      ? QString::number(required)
                                      : QString("%1 to %2").arg(required).arg(member->InCount());
            *error =
                QString("%1 takes %2 argument(s), %3 given").arg(member->name, takes).arg(given);
        }
        return DISP_E_BADPARAMCOUNT;
    }
    const QString wrong = ArgumentError(*member, args);
    if (!wrong.isEmpty()) {
        if (error) *error = wrong;
        return DISP_E_TYPEMISMATCH;
    }
    try {
        const HRESULT hr = member->call(target, args, result);
        if (hr != S_OK && error) *error = LastErrorText();
        return hr;
    } catch (const KavelError& e) {
        // An argument that cannot take the declared type.
        if (error) *error = member->name + ": " + e.Text();
        return DISP_E_TYPEMISMATCH;
    }
}

QString LastErrorText() {
    return lastError;
}
void SetLastErrorText(const QString& text) {
    lastError = text;
}

}  // namespace kavel
