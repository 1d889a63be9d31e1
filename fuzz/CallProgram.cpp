#include "CallProgram.h"

#include <algorithm>
#include <array>
#include <limits>

namespace kavel::fuzz {

namespace {

constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

// Positions, sizes, pen widths, codes and paper sizes where arithmetic changes its mind:
// signs, byte and word limits, the 32-bit ends, the values whose pixel or paper
// conversions (x 96, x 120, x 254) leave 32 bits, and common paper sizes in 0.1 mm.
constexpr std::array<int32_t, 48> kEdgeInts = {
    0,        1,        -1,         2,       3,       4,           5,           6,
    7,        9,        10,         12,      16,      20,          100,         -100,
    255,      256,      1000,       2100,    2970,    -2970,       4200,        5940,
    32767,    32768,    -32768,     65535,   65536,   99999,       1000000,     -1000000,
    1 << 24,  1 << 30,  -(1 << 30), kIntMax, kIntMin, kIntMax - 1, kIntMin + 1, kIntMax / 2,
    22369621, 22369622, 17895697,   8454660, 8454661, -22369622,   46341,       -46341,
};

// Texts that pages pass, by the parameters that mostly take them (a parameter whose name
// contains the group's word); any parameter may get any of them.
struct TextGroup {
    const char* parameter;
    std::vector<const char*> texts;
};

// clang-format off
const std::vector<TextGroup> kTextGroups = {
    {"StyleName", {"FontName", "FontSize", "FontColor", "Bold", "Italic", "Underline",
                   "Alignment", "Angle", "ItemType", "HOrient", "VOrient", "PenWidth",
                   "PenStyle", "Stretch", "PageIndex", "PreviewOnly", "fontname", "FONTSIZE"}},
    {"ModeType", {"PREVIEW_IN_BROWSE", "SETUP_IN_BROWSE", "DESIGN_IN_BROWSE", "SHOW_MODAL",
                  "BKIMG_IN_PREVIEW", "BKIMG_IN_FIRSTPAGE", "SETUP_ENABLESS",
                  "SKIN_CUSTOM_COLOR", "SKIN_TYPE", "HTM_FONT_ZOOM", "DOUBLE_SIDED_PRINT"}},
    {"FontName", {"宋体", "黑体", "微软雅黑", "Arial", "Times New Roman", "Courier New",
                  "MS Sans Serif", "NoSuchFont", "serif", "monospace", " ", ""}},
    {"Color", {"#FF0000", "#abc", "#12345", "red", "rgb(0,128,255)", "rgb(300,-1,x)",
               "clBtnFace", "-1", "16777215", "0x1", "transparent"}},
    {"Value", {"first", "last", "odd", "even", "0", "1", "2", "3", "-1", "2147483647", "true",
               "false", "on", "", "12", "0.5", "1e10"}},
    {"PageName", {"A4", "A3", "A5", "B5", "Letter", "Legal", "Custom Size", "a", ""}},
    {"PrinterName", {"Kavel PDF", "kavel pdf", "nosuch", ""}},
    {"Item", {"ITEM0", "ITEMx", "name", " Name ", "1", "0", "-1", ""}},
    {"TaskName", {"task", " task ", "../task", "a/b\\c", "NoPrintTaskName", ""}},
    {"", {"Hello", "第1页/共&页", "line one\nline two", "\r\n", "\t", " ", "&", "<b>bold</b>",
          "<table border=1><tr><td>1</td><td>2</td></tr></table>", "<img src=\"x.png\">",
          "<html><body style=\"font-size:40px\">x</body></html>", "http://127.0.0.1:1/",
          "file:///nonexistent", "data:image/png;base64,iVBORw0KGgo=", "\xE2\x80\xAE",
          "\xF0\x9F\x98\x80", "x\xCC\x81\xCC\x81\xCC\x81", "PRNTOP", "PRNFONTNAME",
          "ITEMPanelPPTL", "PRNSETUP"}},
};
// clang-format on

const std::vector<const char*>& AllTexts() {
    static const std::vector<const char*> all = [] {
        std::vector<const char*> texts;
        for (const TextGroup& group : kTextGroups) {
            texts.insert(texts.end(), group.texts.begin(), group.texts.end());
        }
        return texts;
    }();
    return all;
}

// clang-format off
constexpr std::array<double, 12> kDoubles = {
    0.5, 1.5, 2.5, -0.5, -0.0, 1e300, -1e300, 2147483647.5, -2147483648.5, 4294967296.0,
    std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
// clang-format on

// A text of the parameter's group half of the time, else any text.
QString TableText(ByteReader& in, const QString& parameter = QString()) {
    const uint8_t pick = in.Byte();
    const std::vector<const char*>* texts = &AllTexts();
    if (pick % 2 == 1) {
        for (const TextGroup& group : kTextGroups) {
            if (*group.parameter && parameter.contains(QLatin1String(group.parameter))) {
                texts = &group.texts;
                break;
            }
        }
    }
    return QString::fromUtf8((*texts)[pick / 2 % texts->size()]);
}

QString RawText(ByteReader& in) {
    return QString::fromUtf8(in.Until(4096));
}

// A text repeated to a length the input chooses: mostly short, sometimes up to 64 K
// characters, rarely up to kMaxRepeatedChars.
QString Repeated(ByteReader& in) {
    QString unit = in.Byte() % 2 ? RawText(in) : TableText(in);
    if (unit.isEmpty()) unit = QStringLiteral("W");
    const uint8_t scale = in.Byte() % 8;
    const qsizetype count = in.U16();
    qsizetype wanted = count % 64 + 1;
    if (scale >= 4) wanted = count % 4096 + 1;
    if (scale == 6) wanted = count + 1;
    if (scale == 7) wanted = (count + 1) << (in.Byte() % 16);
    wanted = std::min(wanted, kMaxRepeatedChars);
    return unit.repeated(wanted / unit.size() + 1).left(wanted);
}

// Values that are neither numbers nor texts: empty, null, booleans, an object.
Variant NonScalarValue(ByteReader& in) {
    switch (in.Byte() % 5) {
        case 0:
            return Variant();
        case 1:
            return Variant::Null();
        case 2:
            return Variant::Bool(true);
        case 3:
            return Variant::Bool(false);
        default:
            return Variant::Object();
    }
}

// One argument. Arguments of integer type mostly get integers, the others mostly texts;
// either may get anything, as script can pass anything.
Variant Argument(ByteReader& in, const ParamInfo& param) {
    const uint8_t tag = in.Byte() % 16;
    const bool integer = IsIntegerType(param.type);
    enum { Edge, Raw, Small, Table, Text, Empty, Repeat, NonScalar, Real, Narrow } what;
    static constexpr std::array intKinds = {Edge, Edge,      Edge, Edge,  Edge,  Edge,
                                            Edge, Raw,       Raw,  Small, Small, Table,
                                            Text, NonScalar, Real, Repeat};
    static constexpr std::array textKinds = {Table, Table,     Table,  Table,  Table, Empty,
                                             Text,  Text,      Repeat, Repeat, Edge,  Edge,
                                             Raw,   NonScalar, Real,   Narrow};
    what = integer ? intKinds[tag] : textKinds[tag];
    switch (what) {
        case Edge:
            return Variant::I4(kEdgeInts[in.Byte() % kEdgeInts.size()]);
        case Raw:
            return Variant::I4(static_cast<int32_t>(in.U32()));
        case Small:
            return Variant::I4(static_cast<int8_t>(in.Byte()));
        case Table:
            return Variant::Str(TableText(in, param.name));
        case Text:
            return Variant::Str(RawText(in));
        case Empty:
            return Variant::Str(QString());
        case Repeat:
            return Variant::Str(Repeated(in));
        case NonScalar:
            return NonScalarValue(in);
        case Real:
            return Variant::R8(kDoubles[in.Byte() % kDoubles.size()]);
        case Narrow:
            return Variant::NarrowStr(in.Until(4096));
    }
    return Variant();
}

// A member's input parameters.
std::vector<ParamInfo> InputParams(const MemberInfo& member) {
    std::vector<ParamInfo> params;
    for (const ParamInfo& p : member.params) {
        if (!p.out) params.push_back(p);
    }
    return params;
}

CallStep Invocation(ByteReader& in, uint8_t op) {
    const std::vector<MemberInfo>& table = IKavelXTable();
    CallStep step;
    const MemberInfo* member = nullptr;
    if (op == 0xFF) {
        // By name, as script late-binds: any letter case, any of the three ways.
        step.name = QString::fromUtf8(in.Until(64));
        step.dispid = FindDispid(step.name);
        step.how = static_cast<InvokeKind>(in.Byte() % 3);
        member = FindMember(step.dispid, step.how);
    } else {
        // Most steps build, style or output the task; the rest may be any member.
        static const std::vector<const MemberInfo*> taskMembers = [&table] {
            std::vector<const MemberInfo*> members;
            for (const MemberInfo& m : table) {
                for (const char* prefix :
                     {"ADD_PRINT", "SET_PRINT", "PRINT", "PREVIEW", "NewPage"}) {
                    if (m.name.startsWith(QLatin1String(prefix))) members.push_back(&m);
                }
            }
            return members;
        }();
        member = op < 160 ? taskMembers[op % taskMembers.size()] : &table[op % table.size()];
        step.name = member->name;
        step.dispid = member->dispid;
        step.how = member->kind;
    }
    const ParamInfo anything{QString(), QStringLiteral("VARIANT"), false};
    std::vector<ParamInfo> params =
        member ? InputParams(*member) : std::vector<ParamInfo>{anything};
    // Mostly every argument; sometimes fewer (the rest arrive Empty) or one too many.
    const uint8_t shape = in.Byte();
    if (shape % 8 == 6 && !params.empty()) params.resize(shape / 8 % params.size());
    if (shape % 8 == 7) params.push_back(anything);
    for (const ParamInfo& param : params) {
        step.args.push_back(Argument(in, param));
        step.types.push_back(param.type);
    }
    return step;
}

}  // namespace

bool IsIntegerType(const QString& type) {
    return type == "I4" || type == "INT" || type == "I2" || type == "TxActiveFormBorderStyle";
}

uint8_t ByteReader::Byte() {
    return pos_ < size_ ? data_[pos_++] : 0;
}

uint16_t ByteReader::U16() {
    const uint16_t low = Byte();
    return static_cast<uint16_t>(low | Byte() << 8);
}

uint32_t ByteReader::U32() {
    const uint32_t low = U16();
    return low | uint32_t{U16()} << 16;
}

QByteArray ByteReader::Until(size_t max) {
    const size_t start = pos_;
    while (pos_ < size_ && pos_ - start < max && data_[pos_] != 0) ++pos_;
    QByteArray bytes(reinterpret_cast<const char*>(data_ + start),
                     static_cast<qsizetype>(pos_ - start));
    if (pos_ < size_ && data_[pos_] == 0) ++pos_;
    return bytes;
}

CallProgram DecodeCallProgram(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    CallProgram program;
    static constexpr std::array<int, 5> kPixelsPerInch = {96, 120, 144, 24, 1200};
    const uint8_t head = in.Byte();
    program.pixelsPerInch = kPixelsPerInch[head % kPixelsPerInch.size()];
    program.output = static_cast<FinalOutput>(head / 8 % 3);
    while (!in.AtEnd() && program.steps.size() < kMaxSteps) {
        const uint8_t op = in.Byte();
        if (op == 0xFE) {
            CallStep step;
            step.kind = CallStep::Kind::StoreLayout;
            step.layout = in.Until(16384);
            program.steps.push_back(std::move(step));
        } else {
            program.steps.push_back(Invocation(in, op));
        }
    }
    return program;
}

}  // namespace kavel::fuzz
