#include "designer/LayoutCode.h"

#include "control/Units.h"
#include "designer/PSetupFormUnit.h"

namespace kavel {

namespace {

constexpr int kCutText = 30;  // longer texts are shortened to their first characters

// Alignment in script terms: 1 left, 2 centre, 3 right.
int AlignmentCode(TAlignment a) {
    return a == taCenter ? 2 : a == taRightJustify ? 3 : 1;
}

QString Quoted(const QString& text) {
    return '"' + ScriptStringText(text) + '"';
}

QString Number(int64_t v) {
    return QString::number(v);
}

QString Color(TColor c) {
    return Number(static_cast<int32_t>(c));
}

QString Flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

class Writer {
  public:
    Writer(const TPSetupForm& form, QPoint scroll)
        : form_(form),
          defaults_(form.DefaultStyle()),
          ppi_(form.PixelsPerInch()),
          scroll_(scroll) {}

    QStringList Lines() {
        lines_ << QString();
        Opening();
        DefaultStyles();
        Items();
        return lines_;
    }

  private:
    int Script(int v) const { return ScaleToScript(v, ppi_); }

    void Call(const QString& member, const QStringList& args) {
        lines_ << QStringLiteral("KAVEL.%1(%2);").arg(member, args.join(','));
    }

    void Opening() {
        const TprnSetup& s = form_.Setup();
        const QString task =
            s.strTaskName == QLatin1String("NoPrintTaskName") ? QString() : s.strTaskName;
        const TModiControl* paper = form_.PageObject();
        const int top = Script(paper->Top() + scroll_.y());
        const int left = Script(paper->Left() + scroll_.x());
        const int width = Script(paper->Width()), height = Script(paper->Height());
        if (top == 0 && left == 0 && width == 800 && height == 600) {
            Call("PRINT_INIT", {Quoted(task)});
        } else {
            Call("SET_PRINT_PAPER",
                 {Number(top), Number(left), Number(width), Number(height), Quoted(task)});
        }
        if (s.blPageSizeSet) {
            Call("SET_PRINT_PAGESIZE", {Number(s.intOrient), Number(s.intPageWidth),
                                        Number(s.intPageHeight), Quoted(s.strPageName)});
        }
    }

    void Style(const QString& key, const QString& value) {
        Call("SET_PRINT_STYLE", {Quoted(key), value});
    }

    void DefaultStyles() {
        const TDefaultStyle initial;
        const TDefaultStyle& d = defaults_;
        if (d.pageType != initial.pageType) Style("ItemType", Number(d.pageType));
        if (d.fontName != initial.fontName) Style("FontName", Quoted(d.fontName));
        if (d.fontSize != initial.fontSize) Style("FontSize", Number(d.fontSize));
        if (d.fontColor != initial.fontColor) Style("FontColor", Color(d.fontColor));
        if (d.alignment != initial.alignment)
            Style("Alignment", Number(AlignmentCode(d.alignment)));
        if (d.fontStyle & fsBold) Style("Bold", "1");
        if (d.fontStyle & fsItalic) Style("Italic", "1");
        if (d.fontStyle & fsUnderline) Style("Underline", "1");
        if (d.angle != initial.angle) Style("Angle", Number(d.angle));
        if (d.horzOrient != initial.horzOrient) Style("Horient", Number(d.horzOrient));
        if (d.vertOrient != initial.vertOrient) Style("Vorient", Number(d.vertOrient));
        if (d.imgMode != initial.imgMode) Style("Stretch", Number(d.imgMode));
        if (d.penWidth != initial.penWidth) Style("PenWidth", Number(d.penWidth));
        if (d.penStyle != initial.penStyle) Style("PenStyle", Number(d.penStyle));
        if (d.previewOnly) Style("PreviewOnly", "1");
    }

    void Items() {
        int page = 0, emitted = 0;
        const QList<TModiControl*>& items = form_.Items();
        for (int i = 0; i < items.size(); ++i) {
            const TModiControl& item = *items[i];
            for (; page < item.intPageNo; ++page) Call("NewPage", {});
            if (!item.Visible()) continue;
            const int n = emitted + 1;
            const bool named = item.strItemName != QStringLiteral("ITEM%1").arg(i);
            const QString ref = named ? Quoted(item.strItemName) : Number(n);
            QStringList pos;
            if (named) pos << Quoted(item.strItemName);
            pos << Number(Script(item.Top())) << Number(Script(item.Left()))
                << Number(Script(item.Width())) << Number(Script(item.Height()));
            Adding(item, n, named, pos);
            if (item.ObjectType() == cdtText) TextStyles(item, ref);
            PlacementStyles(item, ref);
            ++emitted;
        }
    }

    void Adding(const TModiControl& item, int n, bool named, QStringList pos) {
        const auto add = [&](const QString& member, const QString& content) {
            Call(member, pos << Quoted(content));
        };
        const QString content = item.strContent;
        switch (item.ObjectType()) {
            case cdtHtml:
                add(named ? "ADD_PRINT_HTMLA" : "ADD_PRINT_HTML",
                    QStringLiteral("(超文本%1内容可用Document的innerHTML获得)").arg(n));
                return;
            case cdtHtmText:
                add("ADD_PRINT_HTM",
                    QStringLiteral("(超文本%1内容,可用Document的innerHTML获得)").arg(n));
                return;
            case cdtUrl:
                add("ADD_PRINT_URL",
                    content.isEmpty() ? QStringLiteral("页面URL地址%1").arg(n) : content);
                return;
            case cdtTBUrl:
                add("ADD_PRINT_TBURL",
                    content.isEmpty() ? QStringLiteral("表格页面URL地址%1").arg(n) : content);
                return;
            case cdtTable:
                add("ADD_PRINT_TABLE",
                    QStringLiteral("(超文本%1表格内容可用Document的innerHTML获得)").arg(n));
                return;
            case cdtImage:
                add("ADD_PRINT_IMAGE", QStringLiteral("(图像%1的超文本路径)").arg(n));
                return;
            case cdtText: {
                QString text = item.RichEdit() ? item.RichEdit()->Text() : QString();
                text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
                if (text.size() >= kCutText)
                    text = text.left(kCutText) + QStringLiteral("...(省略)");
                add(named ? "ADD_PRINT_TEXTA" : "ADD_PRINT_TEXT", text);
                return;
            }
            case cdtShape:
                Shape(item, pos);
                return;
            case cdtPanel:
                return;
        }
    }

    void Shape(const TModiControl& item, QStringList pos) {
        const TPRNShape* shape = item.Shape();
        if (!shape) return;
        const TShapePen& pen = shape->Pen();
        const TPRNShapeType type = shape->ShapeType();
        const QString style = Number(pen.style), width = Number(pen.width);
        if (type == cstSolidRect || type == cstSolidEllipse || pen.color != clBlack) {
            Call("ADD_PRINT_SHAPE",
                 QStringList{Number(type)} << pos << style << width << Color(pen.color));
        } else if (type == cstRect) {
            Call("ADD_PRINT_RECT", pos << style << width);
        } else if (type == cstEllipse) {
            Call("ADD_PRINT_ELLIPSE", pos << style << width);
        } else {
            // Sums in the control's pixels, then converted.
            const int top = Script(item.Top()), left = Script(item.Left());
            const int bottom = Script(item.Top() + item.Height());
            const int right = Script(item.Left() + item.Width());
            const bool down = type == cstDownLine;
            Call("ADD_PRINT_LINE", {Number(down ? top : bottom), Number(left),
                                    Number(down ? bottom : top), Number(right), style, width});
        }
    }

    void StyleA(const QString& ref, const QString& key, const QString& value) {
        Call("SET_PRINT_STYLEA", {ref, Quoted(key), value});
    }

    void TextStyles(const TModiControl& item, const QString& ref) {
        const TTextContent* text = item.RichEdit();
        if (!text) return;
        const TDefaultStyle& d = defaults_;
        const TFontStyles style = text->FontStyle();
        const auto differs = [&](TFontStyles bit) { return (style & bit) != (d.fontStyle & bit); };
        const bool name = text->FontName() != d.fontName, size = text->FontSize() != d.fontSize;
        const bool color = text->FontColor() != d.fontColor;
        const bool align = text->TextAlignment() != d.alignment;
        const bool bold = differs(fsBold), italic = differs(fsItalic), under = differs(fsUnderline);
        if (name + size + color + align + bold + italic + under > 3) {
            Call("SET_PRINT_TEXT_STYLEA",
                 {ref, Quoted(text->FontName()), Number(text->FontSize()), Flag(style & fsBold),
                  Flag(style & fsItalic), Flag(style & fsUnderline),
                  Number(AlignmentCode(text->TextAlignment())), Color(text->FontColor())});
            return;
        }
        if (name) StyleA(ref, "FontName", Quoted(text->FontName()));
        if (size) StyleA(ref, "FontSize", Number(text->FontSize()));
        if (color) StyleA(ref, "FontColor", Color(text->FontColor()));
        if (align) StyleA(ref, "Alignment", Number(AlignmentCode(text->TextAlignment())));
        if (bold) StyleA(ref, "Bold", Flag(style & fsBold));
        if (italic) StyleA(ref, "Italic", Flag(style & fsItalic));
        if (under) StyleA(ref, "Underline", Flag(style & fsUnderline));
    }

    void PlacementStyles(const TModiControl& item, const QString& ref) {
        const TDefaultStyle& d = defaults_;
        if (item.ptPageType != d.pageType) StyleA(ref, "ItemType", Number(item.ptPageType));
        if (item.hnHorzOrnt != d.horzOrient) StyleA(ref, "Horient", Number(item.hnHorzOrnt));
        if (item.hnVertOrnt != d.vertOrient) StyleA(ref, "Vorient", Number(item.hnVertOrnt));
        if (item.hnImgMode() != d.imgMode) StyleA(ref, "Stretch", Number(item.hnImgMode()));
        if (item.intAngle() != d.angle) StyleA(ref, "Angle", Number(item.intAngle()));
        if (!item.strPageIndex.isEmpty()) StyleA(ref, "PageIndex", Quoted(item.strPageIndex));
        if (item.blPreviewOnly != d.previewOnly)
            StyleA(ref, "PreviewOnly", Flag(item.blPreviewOnly));
    }

    const TPSetupForm& form_;
    const TDefaultStyle& defaults_;
    int ppi_;
    QPoint scroll_;
    QStringList lines_;
};

}  // namespace

QString ScriptStringText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '\\':
                out += QLatin1String("\\\\");
                break;
            case '"':
                out += QLatin1String("\\\"");
                break;
            case '\n':
                out += QLatin1String("\\n");
                break;
            case '\r':
                out += QLatin1String("\\r");
                break;
            case 0x2028:
                out += QLatin1String("\\u2028");
                break;
            case 0x2029:
                out += QLatin1String("\\u2029");
                break;
            default:
                out += c;
        }
    }
    return out;
}

QStringList CreateLayoutCode(const TPSetupForm& form, QPoint scroll) {
    return Writer(form, scroll).Lines();
}

}  // namespace kavel
