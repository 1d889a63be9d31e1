// The control's automation interface: every member of IKavelX and IKavelXEvents is
// listed exactly once below, in vtable order. The C++ interface, the dispatch table
// (names, DISPIDs, parameter types, vtable slots), Invoke and the script binding are
// all generated from these lists.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Variant.h"

namespace kavel {

// Automation type names as the interface declares its parameters. They are aliases,
// and the member lists below are also read as text to build the dispatch table.
using I2 = int16_t;
using I4 = int32_t;
using INT = int32_t;
using VARIANT = Variant;
using BSTR = QString;
using HRESULT = int32_t;
using DISPID = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr DISPID DISPID_UNKNOWN = -1;

enum TxActiveFormBorderStyle : int32_t { afbNone = 0, afbSingle = 1, afbSunken = 2, afbRaised = 3 };

// Registration identifiers.
namespace registration {
inline constexpr const char* LIBID = "6DCAF312-F678-435E-A857-B378A326EF29";
inline constexpr const char* LibraryName = "Kavel_TLB";
inline constexpr const char* CLSID_KavelX = "B1D7F3E8-E39D-4DF8-BA3E-48B6D88EECEA";
inline constexpr const char* CoclassName = "KavelX";
inline constexpr const char* CoclassHelp = "Kavel(for Web Print)";
inline constexpr const char* IID_IKavelX = "A51F765C-A01D-4CD1-AF84-D398510B37C9";
inline constexpr const char* IKavelXHelp = "Dispatch interface for VelloX Control";
inline constexpr const char* IID_IKavelXEvents = "CECD5F69-CD3A-4111-8E71-63E22F93F61B";
inline constexpr const char* IKavelXEventsHelp = "Events interface for VelloX Control";
inline constexpr const char* ThreadingModel = "Apartment";
inline constexpr uint32_t MiscStatus = 0x12000;  // OLEMISC_SIMPLEFRAME | OLEMISC_ACTSLIKELABEL
inline constexpr int ToolboxBitmap = 1;
}  // namespace registration

// METHOD(name, dispid, (parameters)): a VARIANT* parameter is the out value.
// PROPERTY(name, dispid, type): a get and a put slot.
#define KAVEL_IKAVELX_MEMBERS(METHOD, PROPERTY)                                                    \
    PROPERTY(Border, 204, TxActiveFormBorderStyle)                                                 \
    PROPERTY(Inbrowse, 206, VARIANT)                                                               \
    METHOD(GET_CELL_VALUE, 208, (I4 intRow, I4 intCol, VARIANT * Value))                           \
    METHOD(SET_TABLE_NAME, 209, (const BSTR& strTableName, I4 intFiledsCount, VARIANT* strResult)) \
    METHOD(SET_FIELD_TYPE, 211,                                                                    \
           (I4 intFieldNO, const BSTR& strFieldName, const BSTR& strFieldCaption,                  \
            const BSTR& strFieldType, const BSTR& strNull, VARIANT* strResult))                    \
    METHOD(OPEN_FILE, 207,                                                                         \
           (const VARIANT& strFileType, const VARIANT& strFileName, I4 intFirstRow,                \
            I4 intFirstCol, VARIANT* strResult))                                                   \
    METHOD(GET_COL_COUNT, 212, (VARIANT * Value))                                                  \
    METHOD(GET_ROW_COUNT, 213, (VARIANT * Value))                                                  \
    METHOD(GET_INSERT_SQL, 214, (I4 intRowNO, VARIANT * strValue))                                 \
    METHOD(GET_FIELDSS, 215, (I4 intRowNO, VARIANT * strValue))                                    \
    METHOD(GET_VALUESS, 216, (I4 intRowNO, VARIANT * strValue))                                    \
    PROPERTY(Caption, 217, VARIANT)                                                                \
    METHOD(SET_PRINT_PAPER, 218,                                                                   \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strPrintName,         \
            VARIANT* Value))                                                                       \
    METHOD(PRINT, 220, (VARIANT * Value))                                                          \
    METHOD(PREVIEW, 221, ())                                                                       \
    METHOD(PRINT_SETUP, 222, ())                                                                   \
    METHOD(SET_PRINT_TEXT_STYLE, 210,                                                              \
           (const VARIANT& intItemNO, const VARIANT& strFontName, I4 intSize, I4 intBold,          \
            I4 intItalic, I4 intUnderline, I4 intAlignment))                                       \
    METHOD(SET_CELL_VALUE, 223, (I4 intRow, I4 intCol, const BSTR& strValue, VARIANT* strResult))  \
    METHOD(SET_FIELD_VALUE, 224,                                                                   \
           (I4 intRow, const BSTR& strFieldName, const BSTR& strValue, VARIANT* strResult))        \
    METHOD(ADD_PRINT_TEXT, 225,                                                                    \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strContent))          \
    METHOD(GET_DATA_FILE_NAME, 219, (VARIANT * strValue))                                          \
    METHOD(ADD_PRINT_HTML, 226,                                                                    \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strHtml))             \
    METHOD(ADD_FIELD_TYPE, 227,                                                                    \
           (const BSTR& strFieldName, const BSTR& strFieldCaption, const BSTR& strFieldType,       \
            const BSTR& strNull, VARIANT* strResult))                                              \
    METHOD(SET_ROW_COUNT, 228, (I4 intRowCount, VARIANT * strResult))                              \
    METHOD(ADD_ROW_COUNT, 229, (I4 intAddRowCount, VARIANT * strResult))                           \
    METHOD(SAVE_AS_FILE, 230,                                                                      \
           (const BSTR& strFileType, const BSTR& strFileName, VARIANT* strResult))                 \
    METHOD(ADD_SAVE_HTML, 231,                                                                     \
           (I4 intBeginRow, I4 intBeginCol, const BSTR& strContent, VARIANT* strResult))           \
    PROPERTY(Version, 202, BSTR)                                                                   \
    METHOD(GET_PRINTER_COUNT, 234, (VARIANT * Value))                                              \
    METHOD(GET_PRINTER_NAME, 235, (INT intPrinterNO, VARIANT * Value))                             \
    METHOD(SET_PRINTER_INDEX, 236, (I4 intIndex, VARIANT * Value))                                 \
    METHOD(PRINTA, 237, (VARIANT * Value))                                                         \
    METHOD(ADD_PRINT_RECT, 238,                                                                    \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intLineStyle, I4 intLineWidth))   \
    METHOD(ADD_PRINT_ELLIPSE, 239,                                                                 \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intLineStyle, I4 intLineWidth))   \
    METHOD(SET_PRINT_TEXT_STYLEA, 240,                                                             \
           (const VARIANT* varItemNO, const VARIANT& strFontName, I4 intSize, I4 intBold,          \
            I4 intItalic, I4 intUnderline, I4 intAlignment, const VARIANT* varColor))              \
    METHOD(ADD_PRINT_ELLIPSEA, 241,                                                                \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle, I4 intPenWidth,      \
            I4 intColor))                                                                          \
    METHOD(ADD_PRINT_RECTA, 242,                                                                   \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle, I4 intPenWidth,      \
            I4 intColor))                                                                          \
    METHOD(PREVIEWA, 243, ())                                                                      \
    METHOD(PRINTB, 244, (VARIANT * Value))                                                         \
    METHOD(PREVIEWB, 245, ())                                                                      \
    METHOD(SET_PRINT_PROPERTY, 246,                                                                \
           (I4 intItemNO, I4 intPageType, I4 intHorzOrient, I4 intVertOrient))                     \
    METHOD(PRINT_DESIGN, 201, ())                                                                  \
    METHOD(ADD_PRINT_DNLINE, 247,                                                                  \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle, I4 intPenWidth))     \
    METHOD(ADD_PRINT_DNLINEA, 248,                                                                 \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle, I4 intPenWidth,      \
            I4 intColor))                                                                          \
    METHOD(ADD_PRINT_UPLINE, 249,                                                                  \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle, I4 intPenWidth))     \
    METHOD(ADD_PRINT_UPLINEA, 250,                                                                 \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle, I4 intPenWidth,      \
            I4 intColor))                                                                          \
    METHOD(ADD_PRINT_TEXTA, 251,                                                                   \
           (const VARIANT& strItemName, I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,          \
            const VARIANT& strContent))                                                            \
    METHOD(ADD_PRINT_HTMLA, 252,                                                                   \
           (const VARIANT& strItemName, I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,          \
            const VARIANT& strContent))                                                            \
    METHOD(SET_PRINT_TEXT_STYLEB, 253,                                                             \
           (const VARIANT& strItemName, const VARIANT& strFontName, I4 intSize, I4 intBold,        \
            I4 intItalic, I4 intUnderline, I4 intAlignment, I4 intColor))                          \
    METHOD(SET_PRINT_PROPERTYA, 254,                                                               \
           (const VARIANT& strItemName, I4 intPageType, I4 intHorzOrient, I4 intVertOrient))       \
    METHOD(SET_PRINT_PAGESIZE, 255,                                                                \
           (I4 intOrient, I4 intPageWidth, I4 intPageHeight, const VARIANT& strPageName))          \
    METHOD(SET_PRINTER_INDEXA, 256, (const VARIANT& strPrinterName, VARIANT* Value))               \
    METHOD(ADD_PRINT_SETUP_BKIMG, 257, (const VARIANT& strContent))                                \
    METHOD(GET_FILE_TEXT, 258, (const VARIANT& strFileName, VARIANT* Value))                       \
    METHOD(IS_FILE_EXIST, 259, (const VARIANT& strFileName, VARIANT* Value))                       \
    METHOD(GET_FILE_TIME, 260, (const VARIANT& strFileName, VARIANT* Value))                       \
    METHOD(WRITE_FILE_TEXT, 261,                                                                   \
           (I4 intWriteMode, const VARIANT& strFileName, const VARIANT& strText, VARIANT* Value))  \
    METHOD(GET_PRINT_INIFFNAME, 262, (const VARIANT& strPrintTaskName, VARIANT* Value))            \
    METHOD(BURL_HOST, 263, (VARIANT * Value))                                                      \
    METHOD(PRINT_INIT, 264, (const VARIANT& strTaskName, VARIANT* Value))                          \
    METHOD(ADD_PRINT_SHAPE, 265,                                                                   \
           (I4 intShapeType, I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intLineStyle,    \
            I4 intLineWidth, const VARIANT* varColor))                                             \
    METHOD(ADD_PRINT_LINE, 266,                                                                    \
           (I4 intTop1, I4 intLeft1, I4 intTop2, I4 intLeft2, I4 intLineStyle, I4 intLineWidth))   \
    METHOD(ADD_PRINT_HTM, 267,                                                                     \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strHtml))             \
    METHOD(ADD_PRINT_URL, 268,                                                                     \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strURL))              \
    METHOD(SELECT_PRINTER, 269, (VARIANT * Value))                                                 \
    METHOD(SET_PRINT_COPIES, 270, (I4 intCopies, VARIANT * Value))                                 \
    METHOD(SET_PRINT_STYLE, 271, (const VARIANT& strStyleName, const VARIANT& varStyleValue))      \
    METHOD(                                                                                        \
        SET_PRINT_STYLEA, 272,                                                                     \
        (const VARIANT& varItemNameID, const VARIANT& strStyleName, const VARIANT& varStyleValue)) \
    METHOD(SET_PRINT_MARGIN, 273,                                                                  \
           (const VARIANT& varItemNameID, I4 intLeftMargin, I4 intTopMargin, I4 intRightMargin,    \
            I4 intBottomMargin))                                                                   \
    METHOD(SET_PREVIEW_MODE, 274, (I4 intMode))                                                    \
    METHOD(ADD_PRINT_TABLE, 275,                                                                   \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strHtml))             \
    METHOD(ADD_PRINT_TBURL, 276,                                                                   \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strURL))              \
    METHOD(ADD_PRINT_IMAGE, 277,                                                                   \
           (I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, const VARIANT& strHtml))             \
    METHOD(SET_PREVIEW_WINDOW, 278,                                                                \
           (I4 intDispMode, I4 intToolMode, I4 blDirectPrint, I4 intWidth, I4 intHeight,           \
            const VARIANT& strPButtonCaptoin))                                                     \
    METHOD(SEND_PRINT_RAWDATA, 279, (const VARIANT& strRawData, VARIANT* Value))                   \
    METHOD(WRITE_PORT_DATA, 280,                                                                   \
           (const VARIANT& strPortName, const VARIANT& strData, VARIANT* Value))                   \
    METHOD(SET_SHOW_MODE, 281,                                                                     \
           (const VARIANT& strModeType, const VARIANT& varModeValue, VARIANT* ResultValue))        \
    PROPERTY(Color, 283, VARIANT)                                                                  \
    METHOD(READ_PORT_DATA, 284, (const VARIANT& strPortName, VARIANT* Value))                      \
    METHOD(SET_PRINT_MODE, 285,                                                                    \
           (const VARIANT& strModeType, const VARIANT& varModeValue, VARIANT* ResultValue))        \
    METHOD(NewPage, 286, (VARIANT * Result))

#define KAVEL_IKAVELXEVENTS_MEMBERS(EVENT) \
    EVENT(OnActivate, 201, ())             \
    EVENT(OnClick, 202, ())                \
    EVENT(OnCreate, 203, ())               \
    EVENT(OnDblClick, 204, ())             \
    EVENT(OnDestroy, 205, ())              \
    EVENT(OnDeactivate, 206, ())           \
    EVENT(OnKeyPress, 207, (I2 * Key))     \
    EVENT(OnPaint, 208, ())

// The late-bound half of the dual interface.
enum class InvokeKind { Method, PropertyGet, PropertyPut };

class IKavelDispatch {
  public:
    // Case-insensitive; DISPID_UNKNOWN for a name that is no member.
    virtual DISPID GetIDsOfNames(const QString& name) = 0;
    // Arguments in declaration order; missing ones arrive as Empty. On failure the
    // error text describes it.
    virtual HRESULT Invoke(DISPID dispid, InvokeKind kind, const std::vector<Variant>& args,
                           Variant* result, QString* error = nullptr) = 0;

  protected:
    ~IKavelDispatch() = default;
};

#define KAVEL_DECLARE_METHOD(name, dispid, params) virtual HRESULT name params = 0;
#define KAVEL_DECLARE_PROPERTY(name, dispid, type) \
    virtual HRESULT get_##name(type* Value) = 0;   \
    virtual HRESULT put_##name(const type& Value) = 0;

// The early-bound half: members in vtable order.
class IKavelX : public IKavelDispatch {
  public:
    KAVEL_IKAVELX_MEMBERS(KAVEL_DECLARE_METHOD, KAVEL_DECLARE_PROPERTY)

  protected:
    ~IKavelX() = default;
};

class IKavelXEvents {
  public:
    KAVEL_IKAVELXEVENTS_MEMBERS(KAVEL_DECLARE_METHOD)

  protected:
    ~IKavelXEvents() = default;
};

#undef KAVEL_DECLARE_METHOD
#undef KAVEL_DECLARE_PROPERTY

// One row of the dispatch table.
struct ParamInfo {
    QString name;
    QString type;  // "I4", "INT", "I2", "VARIANT", "PTR(VARIANT)", "BSTR" or the property type
    bool out = false;
};

struct MemberInfo {
    QString name;
    DISPID dispid = 0;
    InvokeKind kind = InvokeKind::Method;
    std::vector<ParamInfo> params;  // the out value included, last
    int vtableSlot = 0;             // position among IKavelX's own slots, from 0
    int vtableIndex = 0;            // the slot in the compiled class's vtable
    std::function<HRESULT(IKavelX&, const std::vector<Variant>&, Variant*)> call;

    int InCount() const;
    bool HasResult() const { return !params.empty() && params.back().out; }
};

// Every slot of IKavelX in vtable order (a property has its get and its put row).
const std::vector<MemberInfo>& IKavelXTable();
// Every event of IKavelXEvents.
struct EventInfo {
    QString name;
    DISPID dispid;
    std::vector<ParamInfo> params;
};
const std::vector<EventInfo>& IKavelXEventsTable();

// Table lookups: case-insensitive by name; by DISPID and kind.
DISPID FindDispid(const QString& name);
const MemberInfo* FindMember(DISPID dispid, InvokeKind kind);
bool IsProperty(DISPID dispid);

// The generic late-bound call over the table (used by every IKavelX implementation).
HRESULT InvokeMember(IKavelX& target, DISPID dispid, InvokeKind kind,
                     const std::vector<Variant>& args, Variant* result, QString* error);

// The error text of the last failing call on this thread (the safecall error info).
QString LastErrorText();
void SetLastErrorText(const QString& text);

}  // namespace kavel
