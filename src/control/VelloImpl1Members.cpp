// The member fronts of the control: readiness check, units, then the designer form.
#include "control/RunState.h"
#include "control/SafeCall.h"
#include "control/ShowMode.h"
#include "control/Units.h"
#include "control/VelloImpl1.h"
#include "designer/PSetupFormUnit.h"
#include "html/ContentAdjust.h"
#include "local/LocalPorts.h"
#include "local/LocalTextFiles.h"
#include "local/RawPrintData.h"
#include "platform/Messages.h"
#include "platform/PrinterSystem.h"
#include "platform/SettingsStore.h"
#include "platform/WindowPresenter.h"
#include "render/PrevStringFormUnit.h"

#include <QDir>

namespace kavel {

namespace {

// Local files as the hosting page may reach them: its verified host is its site.
LocalTextFiles PageFiles(ControlContext& context) {
    if (!context.fileQuestion) context.fileQuestion = DefaultFileQuestion(context.presenter);
    return LocalTextFiles(LocalPathGuard(GetSettingsFolder(), QDir::homePath()),
                          context.HostPageInfo().Host, *context.fileQuestion);
}

// Style and property fronts catch every error and show it with the member's name.
template <class Body>
HRESULT ShowErrors(MessageSink& messages, const QString& prefix, Body&& body) {
    try {
        body();
    } catch (const KavelError& e) {
        messages.ShowMessage(prefix + " Error:" + e.Text());
    } catch (const std::exception& e) {
        messages.ShowMessage(prefix + " Error:" + QString::fromUtf8(e.what()));
    }
    return S_OK;
}

QString Quoted(const QString& member, const QString& what) {
    return member + " \"" + what + "\"";
}

struct NamedValue {
    const char* name;
    int value;
};

// Values out of their range are refused with a message that names the member, the value
// and the range: positions far beyond any paper could only print pages of nothing.
bool InRange(MessageSink& messages, const char* member, std::initializer_list<NamedValue> values,
             int min, int max, const char* unit) {
    for (const NamedValue& v : values) {
        if (v.value >= min && v.value <= max) continue;
        messages.ShowMessage(QString("%1 refused: the %2 %3 is out of range (%4 to %5 %6)")
                                 .arg(member, v.name)
                                 .arg(v.value)
                                 .arg(min)
                                 .arg(max)
                                 .arg(unit));
        return false;
    }
    return true;
}

// Content as the task keeps it: HTML cleaned, addresses resolved against the host page.
QString AdjustedContent(const ControlContext& context, TPRNDataType kind, const QString& content) {
    switch (kind) {
        case cdtText:
            return content;
        case cdtUrl:
        case cdtTBUrl:
            return NormalizeItemUrl(content, context.HostPageInfo().BaseUrl);
        default:
            return CleanHtmlContent(content, context.HostPageInfo().BaseUrl);
    }
}

bool BoxInRange(MessageSink& messages, const char* member, int top, int left, int width,
                int height) {
    return InRange(messages, member,
                   {{"top", top}, {"left", left}, {"width", width}, {"height", height}},
                   -kMaxScriptCoordinate, kMaxScriptCoordinate, "pixels");
}

bool PenInRange(MessageSink& messages, const char* member, int penWidth) {
    return InRange(messages, member, {{"pen width", penWidth}}, 0, kMaxPenWidth, "pixels");
}

}  // namespace

// ---- Task and items ---------------------------------------------------------------------

HRESULT TKavelX::PRINT_INIT(const VARIANT& strTaskName, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant::Bool(false);
        if (!CheckReady(true)) return;
        designForm_->Setup().strTaskName = strTaskName.ToText();
        *Value = Variant::Bool(true);
    });
}

HRESULT TKavelX::SET_PRINT_PAPER(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                 const VARIANT& strPrintName, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant::Bool(false);
        if (!CheckReady(true)) return;
        if (!BoxInRange(Context().Messages(), "SET_PRINT_PAPER", intTop, intLeft, intWidth,
                        intHeight))
            return;
        designForm_->SetPaper(ScaleToScreen(intTop), ScaleToScreen(intLeft),
                              ScaleToScreen(intWidth), ScaleToScreen(intHeight));
        designForm_->Setup().strTaskName = strPrintName.ToText();
        *Value = Variant::Bool(true);
    });
}

void TKavelX::AddContentItem(const char* member, const QString& name, TPRNDataType kind, int top,
                             int left, int width, int height, const QString& content) {
    if (!CheckReady(false)) return;
    if (!BoxInRange(Context().Messages(), member, top, left, width, height)) return;
    designForm_->AddItem(name, ScaleToScreen(top), false, AdjustedContent(Context(), kind, content),
                         kind, ScaleToScreen(height), ScaleToScreen(width), ScaleToScreen(left));
}

void TKavelX::AddShapeItem(const char* member, int shapeType, int top, int left, int width,
                           int height, int penStyle, int penWidth, const Variant& color) {
    if (!CheckReady(false)) return;
    if (!BoxInRange(Context().Messages(), member, top, left, width, height) ||
        !PenInRange(Context().Messages(), member, penWidth))
        return;
    designForm_->AddShape(ScaleToScreen(top), ScaleToScreen(left), false, color, shapeType,
                          penWidth, penStyle, ScaleToScreen(height), ScaleToScreen(width));
}

HRESULT TKavelX::ADD_PRINT_TEXT(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                const VARIANT& strContent) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_TEXT", {}, cdtText, intTop, intLeft, intWidth, intHeight,
                       strContent.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_TEXTA(const VARIANT& strItemName, I4 intTop, I4 intLeft, I4 intWidth,
                                 I4 intHeight, const VARIANT& strContent) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_TEXTA", strItemName.ToText(), cdtText, intTop, intLeft, intWidth,
                       intHeight, strContent.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_HTML(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                const VARIANT& strHtml) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_HTML", {}, cdtHtml, intTop, intLeft, intWidth, intHeight,
                       strHtml.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_HTMLA(const VARIANT& strItemName, I4 intTop, I4 intLeft, I4 intWidth,
                                 I4 intHeight, const VARIANT& strContent) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_HTMLA", strItemName.ToText(), cdtHtml, intTop, intLeft, intWidth,
                       intHeight, strContent.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_HTM(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                               const VARIANT& strHtml) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_HTM", {}, cdtHtmText, intTop, intLeft, intWidth, intHeight,
                       strHtml.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_TABLE(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                 const VARIANT& strHtml) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_TABLE", {}, cdtTable, intTop, intLeft, intWidth, intHeight,
                       strHtml.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_URL(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                               const VARIANT& strURL) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_URL", {}, cdtUrl, intTop, intLeft, intWidth, intHeight,
                       strURL.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_TBURL(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                 const VARIANT& strURL) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_TBURL", {}, cdtTBUrl, intTop, intLeft, intWidth, intHeight,
                       strURL.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_IMAGE(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                 const VARIANT& strHtml) {
    return SafeCall([&] {
        AddContentItem("ADD_PRINT_IMAGE", {}, cdtImage, intTop, intLeft, intWidth, intHeight,
                       strHtml.ToText());
    });
}

HRESULT TKavelX::ADD_PRINT_RECT(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intLineStyle,
                                I4 intLineWidth) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_RECT", cstRect, intTop, intLeft, intWidth, intHeight, intLineStyle,
                     intLineWidth, Variant::I4(clBlack));
    });
}

HRESULT TKavelX::ADD_PRINT_RECTA(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle,
                                 I4 intPenWidth, I4 intColor) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_RECTA", cstRect, intTop, intLeft, intWidth, intHeight, intPenStyle,
                     intPenWidth, Variant::I4(intColor));
    });
}

HRESULT TKavelX::ADD_PRINT_ELLIPSE(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                   I4 intLineStyle, I4 intLineWidth) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_ELLIPSE", cstEllipse, intTop, intLeft, intWidth, intHeight,
                     intLineStyle, intLineWidth, Variant::I4(clBlack));
    });
}

HRESULT TKavelX::ADD_PRINT_ELLIPSEA(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                    I4 intPenStyle, I4 intPenWidth, I4 intColor) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_ELLIPSEA", cstEllipse, intTop, intLeft, intWidth, intHeight,
                     intPenStyle, intPenWidth, Variant::I4(intColor));
    });
}

HRESULT TKavelX::ADD_PRINT_UPLINE(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle,
                                  I4 intPenWidth) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_UPLINE", cstUpLine, intTop, intLeft, intWidth, intHeight,
                     intPenStyle, intPenWidth, Variant::I4(clBlack));
    });
}

HRESULT TKavelX::ADD_PRINT_UPLINEA(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle,
                                   I4 intPenWidth, I4 intColor) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_UPLINEA", cstUpLine, intTop, intLeft, intWidth, intHeight,
                     intPenStyle, intPenWidth, Variant::I4(intColor));
    });
}

HRESULT TKavelX::ADD_PRINT_DNLINE(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle,
                                  I4 intPenWidth) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_DNLINE", cstDownLine, intTop, intLeft, intWidth, intHeight,
                     intPenStyle, intPenWidth, Variant::I4(clBlack));
    });
}

HRESULT TKavelX::ADD_PRINT_DNLINEA(I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight, I4 intPenStyle,
                                   I4 intPenWidth, I4 intColor) {
    return SafeCall([&] {
        AddShapeItem("ADD_PRINT_DNLINEA", cstDownLine, intTop, intLeft, intWidth, intHeight,
                     intPenStyle, intPenWidth, Variant::I4(intColor));
    });
}

HRESULT TKavelX::ADD_PRINT_SHAPE(I4 intShapeType, I4 intTop, I4 intLeft, I4 intWidth, I4 intHeight,
                                 I4 intLineStyle, I4 intLineWidth, const VARIANT* varColor) {
    return SafeCall([&] {
        const int type = intShapeType >= 0 && intShapeType <= 5 ? intShapeType : cstUpLine;
        AddShapeItem("ADD_PRINT_SHAPE", type, intTop, intLeft, intWidth, intHeight, intLineStyle,
                     intLineWidth, varColor ? *varColor : Variant());
    });
}

HRESULT TKavelX::ADD_PRINT_LINE(I4 intTop1, I4 intLeft1, I4 intTop2, I4 intLeft2, I4 intLineStyle,
                                I4 intLineWidth) {
    return SafeCall([&] {
        if (!CheckReady(false)) return;
        if (!InRange(Context().Messages(), "ADD_PRINT_LINE",
                     {{"first top", intTop1},
                      {"first left", intLeft1},
                      {"second top", intTop2},
                      {"second left", intLeft2}},
                     -kMaxScriptCoordinate, kMaxScriptCoordinate, "pixels") ||
            !PenInRange(Context().Messages(), "ADD_PRINT_LINE", intLineWidth)) {
            return;
        }
        designForm_->AddLine(ScaleToScreen(intTop1), ScaleToScreen(intLeft1),
                             ScaleToScreen(intTop2), ScaleToScreen(intLeft2), intLineStyle,
                             intLineWidth);
    });
}

HRESULT TKavelX::ADD_PRINT_SETUP_BKIMG(const VARIANT& strContent) {
    return SafeCall([&] {
        if (!CheckReady(false)) return;
        designForm_->SetBackgroundContent(
            NormalizeImageContent(strContent.ToText(), Context().HostPageInfo().BaseUrl));
    });
}

HRESULT TKavelX::NewPage(VARIANT* Result) {
    *Result = Variant::Bool(false);
    return ShowErrors(Context().Messages(), "NewPage", [&] {
        if (!CheckReady(false)) return;
        *Result = Variant::Bool(designForm_->NewPage());
    });
}

HRESULT TKavelX::SET_PRINT_MARGIN(const VARIANT&, I4, I4, I4, I4) {
    return S_OK;
}

// ---- Styles -------------------------------------------------------------------------------

HRESULT TKavelX::SET_PRINT_STYLE(const VARIANT& strStyleName, const VARIANT& varStyleValue) {
    return ShowErrors(Context().Messages(), "SET_PRINT_STYLE", [&] {
        if (!CheckReady(false)) return;
        designForm_->SetItemStyle(0, strStyleName.ToText(), varStyleValue);
    });
}

HRESULT TKavelX::SET_PRINT_STYLEA(const VARIANT& varItemNameID, const VARIANT& strStyleName,
                                  const VARIANT& varStyleValue) {
    return ShowErrors(Context().Messages(), "SET_PRINT_STYLE", [&] {
        if (!CheckReady(false)) return;
        const QString key = strStyleName.ToText();
        for (int number : designForm_->ResolveItemReference(varItemNameID)) {
            designForm_->SetItemStyle(number, key, varStyleValue);
        }
    });
}

HRESULT TKavelX::SET_PRINT_TEXT_STYLE(const VARIANT& intItemNO, const VARIANT& strFontName,
                                      I4 intSize, I4 intBold, I4 intItalic, I4 intUnderline,
                                      I4 intAlignment) {
    return ShowErrors(Context().Messages(), Quoted("SET_PRINT_TEXT_STYLE", intItemNO.ToText()),
                      [&] {
                          if (!CheckReady(false)) return;
                          designForm_->SetItemFont(intItemNO.ToInt32(), strFontName.ToText(),
                                                   Variant::I4(clBlack), intAlignment, intUnderline,
                                                   intItalic, intBold, intSize);
                      });
}

HRESULT TKavelX::SET_PRINT_TEXT_STYLEA(const VARIANT* varItemNO, const VARIANT& strFontName,
                                       I4 intSize, I4 intBold, I4 intItalic, I4 intUnderline,
                                       I4 intAlignment, const VARIANT* varColor) {
    return ShowErrors(Context().Messages(), "SET_PRINT_TEXT_STYLEA", [&] {
        if (!CheckReady(false)) return;
        const Variant item = varItemNO ? *varItemNO : Variant();
        const Variant color = varColor ? *varColor : Variant();
        const QString font = strFontName.ToText();
        const VarType t = item.Type();
        const bool byNumber = t == VarType::I1 || t == VarType::I2 || t == VarType::I4 ||
                              t == VarType::UI2 || t == VarType::UI4;
        const QList<int> numbers = byNumber ? designForm_->ResolveItemReference(item)
                                            : designForm_->ItemsNamed(item.ToText());
        for (int number : numbers) {
            designForm_->SetItemFont(number, font, color, intAlignment, intUnderline, intItalic,
                                     intBold, intSize);
        }
    });
}

HRESULT TKavelX::SET_PRINT_TEXT_STYLEB(const VARIANT& strItemName, const VARIANT& strFontName,
                                       I4 intSize, I4 intBold, I4 intItalic, I4 intUnderline,
                                       I4 intAlignment, I4 intColor) {
    return ShowErrors(
        Context().Messages(), Quoted("SET_PRINT_TEXT_STYLEB", strItemName.ToText()), [&] {
            if (!CheckReady(false)) return;
            const QString font = strFontName.ToText();
            for (int number : designForm_->ItemsNamed(strItemName.ToText())) {
                designForm_->SetItemFont(number, font, Variant::I4(intColor), intAlignment,
                                         intUnderline, intItalic, intBold, intSize);
            }
        });
}

HRESULT TKavelX::SET_PRINT_PROPERTY(I4 intItemNO, I4 intPageType, I4 intHorzOrient,
                                    I4 intVertOrient) {
    return ShowErrors(
        Context().Messages(), Quoted("SET_PRINT_PROPERTY", QString::number(intItemNO)), [&] {
            if (!CheckReady(false)) return;
            designForm_->SetItemStyle(intItemNO, "ItemType", Variant::I4(intPageType));
            designForm_->SetItemStyle(intItemNO, "HOrient", Variant::I4(intHorzOrient));
            designForm_->SetItemStyle(intItemNO, "VOrient", Variant::I4(intVertOrient));
        });
}

HRESULT TKavelX::SET_PRINT_PROPERTYA(const VARIANT& strItemName, I4 intPageType, I4 intHorzOrient,
                                     I4 intVertOrient) {
    return ShowErrors(
        Context().Messages(), Quoted("SET_PRINT_PROPERTYA", strItemName.ToText()), [&] {
            if (!CheckReady(false)) return;
            for (int number : designForm_->ItemsNamed(strItemName.ToText())) {
                designForm_->SetItemStyle(number, "itemtype", Variant::I4(intPageType));
                designForm_->SetItemStyle(number, "horient", Variant::I4(intHorzOrient));
                designForm_->SetItemStyle(number, "vorient", Variant::I4(intVertOrient));
            }
        });
}

// ---- Page, printers, output settings -------------------------------------------------------

HRESULT TKavelX::SET_PRINT_PAGESIZE(I4 intOrient, I4 intPageWidth, I4 intPageHeight,
                                    const VARIANT& strPageName) {
    return SafeCall([&] {
        if (!CheckReady(false)) return;
        int width = intPageWidth, height = intPageHeight;
        // A paper too small or too large for any printer would only print pages of
        // nothing: the printer's own paper is used instead.
        const auto outside = [](int v) {
            return v != 0 && (v < kMinPaperSize || v > kMaxPaperSize);
        };
        if (outside(width) || outside(height)) {
            Context().Messages().ShowMessage(
                QString("SET_PRINT_PAGESIZE: the paper size %1 × %2 is out of "
                        "range (%3 to %4 tenths of a millimetre); the "
                        "printer's own paper is used")
                    .arg(width)
                    .arg(height)
                    .arg(kMinPaperSize)
                    .arg(kMaxPaperSize));
            width = height = 0;
        }
        designForm_->SetPageSize(intOrient, width, height, strPageName.ToText());
    });
}

HRESULT TKavelX::GET_PRINTER_COUNT(VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant();
        CheckReady(false);
        *Value = Variant::I4(Context().Printers().Count());
    });
}

HRESULT TKavelX::GET_PRINTER_NAME(INT intPrinterNO, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant();
        CheckReady(false);
        const QStringList printers = Context().Printers().Printers();
        const int count = static_cast<int>(printers.size());
        *Value = Variant::Str(QString());
        if (count == 0) {
            Context().Messages().ShowMessage(QStringLiteral("无打印机！"));
        } else if (intPrinterNO >= count || intPrinterNO < -1) {
            Context().Messages().ShowMessage(QString::number(intPrinterNO) +
                                             QStringLiteral("号打印机不存在(编号范围：-1..") +
                                             QString::number(count - 1) + ")");
        } else if (intPrinterNO == -1) {
            *Value = Variant::Str(Context().Printers().DefaultPrinterName());
        } else {
            *Value = Variant::Str(printers[intPrinterNO]);
        }
    });
}

HRESULT TKavelX::SET_PRINTER_INDEX(I4 intIndex, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant::Bool(false);
        if (!CheckReady(false)) return;
        if (intIndex >= -1 && intIndex < Context().Printers().Count()) {
            designForm_->Setup().intPrinterNo = intIndex + 1;
            *Value = Variant::Bool(designForm_->TrySelectPrinter(intIndex));
        } else {
            Context().Messages().ShowMessage(QString::number(intIndex) +
                                             QStringLiteral("号打印机不存在"));
        }
    });
}

HRESULT TKavelX::SET_PRINTER_INDEXA(const VARIANT& strPrinterName, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant::Bool(false);
        if (!CheckReady(false)) return;
        const QString name = strPrinterName.ToText();
        const QStringList printers = Context().Printers().Printers();
        for (int i = 0; i < printers.size(); ++i) {
            if (printers[i].compare(name, Qt::CaseInsensitive) != 0) continue;
            designForm_->Setup().intPrinterNo = i + 1;
            if (designForm_->TrySelectPrinter(i)) {
                *Value = Variant::Bool(true);
                return;
            }
        }
        Context().Messages().ShowMessage(QStringLiteral("名称为\"") + name +
                                         QStringLiteral("\"的打印机无效！"));
    });
}

HRESULT TKavelX::SELECT_PRINTER(VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant();
        if (!CheckReady(false)) return;
        *Value = Variant::I4(-1);
        PrinterSystem& printers = Context().Printers();
        if (printers.Count() == 0) return;
        PrintDialogValues values;
        values.printer = printers.Current();
        values.copies = 1;
        if (!printers.PrintDialog(values)) return;
        TprnSetup& s = designForm_->Setup();
        s.intPrinterNo = values.printer + 1;
        s.intCopies = values.copies;
        s.blPrinterSelected = true;
        *Value = Variant::I4(values.printer);
    });
}

HRESULT TKavelX::SET_PRINT_COPIES(I4 intCopies, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant::Bool(false);
        if (!CheckReady(false)) return;
        designForm_->Setup().intCopies = intCopies;
        *Value = Variant::Bool(true);
    });
}

HRESULT TKavelX::SET_PRINT_MODE(const VARIANT& strModeType, const VARIANT& varModeValue,
                                VARIANT* ResultValue) {
    return SafeCall([&] {
        *ResultValue = Variant::Bool(false);
        CheckReady(false);
        if (strModeType.ToText().toUpper() != "DOUBLE_SIDED_PRINT") return;
        const QString value = varModeValue.ToText().toLower();
        designForm_->Setup().blDoubleSided = value == "1" || value == "true";
        *ResultValue = Variant::Bool(true);
    });
}

HRESULT TKavelX::SET_PREVIEW_MODE(I4 intMode) {
    return SafeCall([&] {
        if (!CheckReady(false)) return;
        if (intMode >= 0 && intMode <= 2) designForm_->Setup().intDispMode = intMode;
    });
}

HRESULT TKavelX::SET_PREVIEW_WINDOW(I4 intDispMode, I4 intToolMode, I4 blDirectPrint, I4 intWidth,
                                    I4 intHeight, const VARIANT& strPButtonCaptoin) {
    return SafeCall([&] {
        if (!CheckReady(false)) return;
        TprnSetup& s = designForm_->Setup();
        s.intDispMode = intDispMode >= 0 && intDispMode <= 2 ? intDispMode : 1;
        s.intToolMode = intToolMode >= 0 && intToolMode <= 3 ? intToolMode : 0;
        s.blDirectPrint = blDirectPrint == 1;
        // Sizes below 1 ask for the default window; no window is larger than the range.
        s.intPreviewWidth = ScaleToScreen(std::clamp(intWidth, 0, kMaxScriptCoordinate));
        s.intPreviewHeight = ScaleToScreen(std::clamp(intHeight, 0, kMaxScriptCoordinate));
        s.strPButtonCaption = strPButtonCaptoin.ToText();
    });
}

HRESULT TKavelX::GET_PRINT_INIFFNAME(const VARIANT& strPrintTaskName, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant();
        *Value = Variant::Str(GetSettingsFileName(false, strPrintTaskName.ToText()));
    });
}

HRESULT TKavelX::SET_SHOW_MODE(const VARIANT& strModeType, const VARIANT& varModeValue,
                               VARIANT* ResultValue) {
    return SafeCall([&] {
        *ResultValue = Variant::Bool(false);
        CheckReady(false);
        *ResultValue = Variant::Bool(SetShowMode(designForm_->Setup(), Context().RunState(),
                                                 strModeType.ToText(), varModeValue));
    });
}

// ---- Output --------------------------------------------------------------------------------

bool TKavelX::OutputPrint(int mode, bool skipAdjustments) {
    bool printed = false;
    try {
        designForm_->PrepareTask(0, skipAdjustments);
        printed = designForm_->NowQuickReport(mode);
    } catch (const std::exception&) {
        printed = false;
    }
    Context().RunState().blOutputDone = true;
    return printed;
}

HRESULT TKavelX::PRINT(VARIANT* Value) {
    *Value = Variant::Bool(false);
    if (!CheckReady(false)) return S_OK;
    *Value = Variant::Bool(OutputPrint(1, false));
    return S_OK;
}

HRESULT TKavelX::PRINTA(VARIANT* Value) {
    *Value = Variant::Bool(false);
    if (!CheckReady(false)) return S_OK;
    *Value = Variant::Bool(OutputPrint(3, false));
    return S_OK;
}

HRESULT TKavelX::PRINTB(VARIANT* Value) {
    *Value = Variant::Bool(false);
    if (!CheckReady(false)) return S_OK;
    *Value = Variant::Bool(OutputPrint(1, true));
    return S_OK;
}

void TKavelX::OutputPreview(bool skipAdjustments) {
    if (!CheckReady(false)) return;
    try {
        designForm_->PrepareTask(0, skipAdjustments);
        ShowPreview();
    } catch (const std::exception&) {
        // The preview reported its own failure.
    }
    Context().RunState().blOutputDone = true;
}

HRESULT TKavelX::PREVIEW() {
    OutputPreview(false);
    return S_OK;
}

HRESULT TKavelX::PREVIEWA() {
    // The same preview as PREVIEW: the variant is handed on and not used.
    OutputPreview(false);
    return S_OK;
}

HRESULT TKavelX::PREVIEWB() {
    OutputPreview(true);
    return S_OK;
}

void TKavelX::ReleaseEmbedded() {
    if (!embeddedForm_) return;
    if (embeddedForm_ == designForm_) {
        // The designer form holds the task: it is taken out of the panel, never freed.
        designForm_->hide();
        designForm_->setParent(this, Qt::Window);
    } else {
        delete embeddedForm_;
    }
    embeddedForm_ = nullptr;
}

void TKavelX::EmbedForm(QWidget* form) {
    ReleaseEmbedded();
    embeddedForm_ = form;
    if (!form) return;
    form->setParent(panel1_);
    form->setWindowFlags(Qt::Widget);
    form->setGeometry(panel1_->rect());
    form->show();
}

void TKavelX::ShowPreview() {
    if (!Context().RunState().blPreviewInBrowse) {
        designForm_->NowQuickReport(0);
        return;
    }
    designForm_->SetBusy(true);
    try {
        ReleaseEmbedded();
        TPrevStringForm* form = designForm_->CreatePreviewForm(this);
        EmbedForm(form);
        form->FormShow();
        form->ComposeForPreview(false);
        form->BootPanel()->hide();
    } catch (const std::exception&) {
        // A failure of the embedded preview is otherwise ignored.
    }
    designForm_->SetBusy(false);
}

void TKavelX::ShowDesigner(bool inBrowse) {
    designForm_->setWindowIcon(windowIcon());
    if (inBrowse) {
        EmbedForm(designForm_);
        return;
    }
    if (embeddedForm_ == designForm_) ReleaseEmbedded();
    if (Context().RunState().blShowModal) {
        Context().Presenter().ShowModal(designForm_);
    } else {
        Context().Presenter().Show(designForm_);
    }
}

HRESULT TKavelX::PRINT_SETUP() {
    return SafeCall([&] {
        if (!CheckReady(false)) return;
        designForm_->PrepareTask(1, false);
        ShowDesigner(Context().RunState().blSetupInBrowse);
    });
}

HRESULT TKavelX::PRINT_DESIGN() {
    return SafeCall([&] {
        if (!CheckReady(false)) return;
        designForm_->PrepareTask(2, false);
        ShowDesigner(Context().RunState().blDesignInBrowse);
    });
}

// ---- Local services -------------------------------------------------------------------------

HRESULT TKavelX::GET_FILE_TEXT(const VARIANT& strFileName, VARIANT* Value) {
    return SafeCall([&] {
        const LocalTextFiles::ReadResult read = PageFiles(Context()).Read(strFileName.ToText());
        if (!read.error.isEmpty())
            Context().Messages().ShowMessage("ReadFile Error：" + read.error);
        *Value = Variant(read.text);
    });
}
HRESULT TKavelX::IS_FILE_EXIST(const VARIANT& strFileName, VARIANT* Value) {
    return *Value = Variant::Bool(LocalTextFiles::Exists(strFileName.ToText())), S_OK;
}
HRESULT TKavelX::GET_FILE_TIME(const VARIANT& strFileName, VARIANT* Value) {
    return *Value = Variant(LocalTextFiles::WriteTime(strFileName.ToText())), S_OK;
}
HRESULT TKavelX::WRITE_FILE_TEXT(I4 intWriteMode, const VARIANT& strFileName,
                                 const VARIANT& strText, VARIANT* Value) {
    return SafeCall([&] {
        *Value = Variant(
            PageFiles(Context()).Write(intWriteMode, strFileName.ToText(), strText.ToText()));
    });
}
HRESULT TKavelX::WRITE_PORT_DATA(const VARIANT& strPortName, const VARIANT& strData,
                                 VARIANT* Value) {
    CheckReady(false);
    const PortResult written =
        LocalPorts(GetSettingsFolder()).Write(strPortName.ToText(), strData.ToText());
    if (!written.message.isEmpty()) Context().Messages().ShowMessage(written.message);
    return *Value = Variant::Bool(written.ok), S_OK;
}
HRESULT TKavelX::READ_PORT_DATA(const VARIANT& strPortName, VARIANT* Value) {
    CheckReady(false);
    const PortResult read = LocalPorts(GetSettingsFolder()).Read(strPortName.ToText());
    if (!read.message.isEmpty()) Context().Messages().ShowMessage(read.message);
    return *Value = Variant(read.text), S_OK;
}
HRESULT TKavelX::SEND_PRINT_RAWDATA(const VARIANT& strRawData, VARIANT* Value) {
    CheckReady(false);
    // The task's printer when the script chose one, else the one current in the system.
    const int no = designForm_ ? designForm_->Setup().intPrinterNo : -1;
    const int printer = no > 0 ? no - 1 : (no == 0 ? Context().Printers().DefaultIndex() : -1);
    const RawSendResult sent = SendPrintRawData(Context().Printers(), printer, strRawData.ToText());
    if (!sent.message.isEmpty()) Context().Messages().ShowMessage(sent.message);
    return *Value = Variant::Bool(sent.sent), S_OK;
}

// ---- Legacy table-file members: Empty, success, nothing else. ---------------------------------

HRESULT TKavelX::GET_CELL_VALUE(I4, I4, VARIANT* Value) {
    return *Value = Variant(), S_OK;
}
HRESULT TKavelX::SET_TABLE_NAME(const BSTR&, I4, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::SET_FIELD_TYPE(I4, const BSTR&, const BSTR&, const BSTR&, const BSTR&,
                                VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::OPEN_FILE(const VARIANT&, const VARIANT&, I4, I4, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::GET_COL_COUNT(VARIANT* Value) {
    return *Value = Variant(), S_OK;
}
HRESULT TKavelX::GET_ROW_COUNT(VARIANT* Value) {
    return *Value = Variant(), S_OK;
}
HRESULT TKavelX::GET_INSERT_SQL(I4, VARIANT* strValue) {
    return *strValue = Variant(), S_OK;
}
HRESULT TKavelX::GET_FIELDSS(I4, VARIANT* strValue) {
    return *strValue = Variant(), S_OK;
}
HRESULT TKavelX::GET_VALUESS(I4, VARIANT* strValue) {
    return *strValue = Variant(), S_OK;
}
HRESULT TKavelX::SET_CELL_VALUE(I4, I4, const BSTR&, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::SET_FIELD_VALUE(I4, const BSTR&, const BSTR&, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::GET_DATA_FILE_NAME(VARIANT* strValue) {
    return *strValue = Variant(), S_OK;
}
HRESULT TKavelX::ADD_FIELD_TYPE(const BSTR&, const BSTR&, const BSTR&, const BSTR&,
                                VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::SET_ROW_COUNT(I4, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::ADD_ROW_COUNT(I4, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::SAVE_AS_FILE(const BSTR&, const BSTR&, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}
HRESULT TKavelX::ADD_SAVE_HTML(I4, I4, const BSTR&, VARIANT* strResult) {
    return *strResult = Variant(), S_OK;
}

}  // namespace kavel
