// Styling items and the task's default style by key, by font and by placement.
#include <limits>
#include <stdexcept>

#include "control/Units.h"

#include "designer/PSetupFormUnit.h"
#include "html/CssValues.h"
#include "platform/Messages.h"

namespace kavel {

namespace {

// The code of a key whose value picks one of several codes by the "matches k" rule;
// a value that cannot be compared gives the first code.
int MatchCode(const Variant& value, std::initializer_list<std::pair<int, int>> table) {
    try {
        for (const auto& [k, code] : table) {
            if (value.Matches(k)) return code;
        }
    } catch (const KavelError&) {
    }
    return 0;
}

// An integer in [0, max]; anything else (or a failed conversion) gives 0.
int RangeCode(const Variant& value, int max) {
    try {
        const int v = value.ToInt32();
        return v >= 0 && v <= max ? v : 0;
    } catch (const KavelError&) {
        return 0;
    }
}

// A value out of its key's range is refused whole, with the style member's own message
// (the key parser's syntax message is for values that are no number).
class StyleRangeError : public std::runtime_error {
  public:
    explicit StyleRangeError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

int Ranged(const QString& key, int value, int min, int max) {
    if (value < min || value > max) {
        throw StyleRangeError(
            QString("%1 %2 is out of range (%3 to %4)").arg(key).arg(value).arg(min).arg(max));
    }
    return value;
}

// On, off or unchanged, for "bold", "italic" and "underline".
TFontStyles SwitchStyle(TFontStyles style, TFontStyles bit, const Variant& value) {
    if (value.Matches(1)) return style | bit;
    if (value.Matches(0)) return style & ~bit;
    return style;
}

}  // namespace

void TPSetupForm::SetItemStyle(int number, const QString& key, const Variant& value) {
    if (number >= 1 && number > items_.size()) return;
    TModiControl* item = number >= 1 ? items_[number - 1] : nullptr;
    TDefaultStyle& d = defaultStyle_;
    const QString k = key.toLower();
    try {
        if (k == "fontname") {
            const QString name = value.ToText();
            item ? item->setStrDefFontName(name) : void(d.fontName = name);
        } else if (k == "fontcolor") {
            const QString text = value.ToText();
            const TColor current = item ? item->fcDefFontColor() : d.fontColor;
            const TColor color = ColorValue(text, current);
            item ? item->setFcDefFontColor(color) : void(d.fontColor = color);
        } else if (k == "fontsize") {
            const int size = Ranged(key, value.ToInt32(), -kMaxFontSize, kMaxFontSize);
            item ? item->setIntDefSize(size) : void(d.fontSize = size);
        } else if (k == "angle") {
            const int angle = value.ToInt32();
            item ? item->setIntDefAngle(angle) : void(d.angle = angle);
        } else if (k == "bold" || k == "italic" || k == "underline") {
            const TFontStyles bit = k == "bold" ? fsBold : (k == "italic" ? fsItalic : fsUnderline);
            if (item) {
                item->setFsDefFontStyle(SwitchStyle(item->fsDefFontStyle(), bit, value));
            } else {
                d.fontStyle = SwitchStyle(d.fontStyle, bit, value);
            }
        } else if (k == "alignment") {
            const auto a =
                static_cast<TAlignment>(MatchCode(value, {{2, taCenter}, {3, taRightJustify}}));
            item ? item->setAlDefAlignment(a) : void(d.alignment = a);
        } else if (k == "penwidth") {
            const int width = Ranged(key, value.ToInt32(), 0, kMaxPenWidth);
            item ? item->setIntDefPenWidth(width) : void(d.penWidth = width);
        } else if (k == "penstyle") {
            if (!item) d.penStyle = static_cast<TPenStyle>(RangeCode(value, 4));
        } else if (k == "itemtype") {
            const auto t = static_cast<TPRNPageType>(MatchCode(
                value, {{1, cptHeadFoot}, {2, cptPageNo}, {3, cptPageCount}, {4, cptMulPage}}));
            if (!item) {
                d.pageType = t;
            } else if ((t != cptPageNo && t != cptPageCount) || item->ObjectType() == cdtText) {
                item->setPtDefPageType(t);
            }
        } else if (k == "horient") {
            const auto h = static_cast<TPRNHorzOrient>(
                MatchCode(value, {{1, chnRight}, {2, chnCenter}, {3, chnClient}}));
            item ? item->setHnDefHorzOrnt(h) : void(d.horzOrient = h);
        } else if (k == "vorient") {
            const auto v = static_cast<TPRNVertOrient>(
                MatchCode(value, {{1, cvnBottom}, {2, cvnCenter}, {3, cvnClient}}));
            item ? item->setHnDefVertOrnt(v) : void(d.vertOrient = v);
        } else if (k == "stretch") {
            const auto m = static_cast<TPRNImgMode>(RangeCode(value, 2));
            item ? item->setHnDefImgMode(m) : void(d.imgMode = m);
        } else if (k == "pageindex") {
            if (!item) return;
            const QString text = value.ToText().trimmed();
            const QString lower = text.toLower();
            if (lower == "first" || lower == "last" || lower == "odd" || lower == "even") {
                item->strPageIndex = lower;
            } else {
                item->strPageIndex = QString::number(Variant::Str(text).ToInt32());
            }
        } else if (k == "previewonly") {
            const QString text = value.ToText().toLower();
            const bool on = text == "true" || text == "1";
            item ? void(item->blPreviewOnly = on) : void(d.previewOnly = on);
        }
    } catch (const KavelError&) {
        Context().Messages().ShowMessage(
            QString("Set \"%1\"(number %2) Error,Please check syntax!").arg(key).arg(number));
    }
}

void TPSetupForm::SetItemFont(int number, const QString& fontName, const Variant& color,
                              int alignment, int underline, int italic, int bold, int size) {
    TModiControl* item = ItemAt(number);
    if (!item) return;
    Ranged(QStringLiteral("the font size"), size, -kMaxFontSize, kMaxFontSize);
    try {
        item->setStrDefFontName(fontName);
        item->setFcDefFontColor(ColorValue(color.ToText(), defaultStyle_.fontColor));
        item->setIntDefSize(size);
        TFontStyles style = 0;
        if (bold == 1) style |= fsBold;
        if (italic == 1) style |= fsItalic;
        if (underline == 1) style |= fsUnderline;
        item->setFsDefFontStyle(style);
        item->setAlDefAlignment(alignment == 2 ? taCenter
                                               : (alignment == 3 ? taRightJustify : taLeftJustify));
    } catch (const KavelError&) {
        // The steps done so far remain.
    }
}

QList<int> TPSetupForm::ItemsNamed(const QString& name) const {
    QList<int> numbers;
    const QString wanted = name.trimmed().toUpper();
    for (int i = 0; i < items_.size(); ++i) {
        if (items_[i]->strItemName.trimmed().toUpper() == wanted) numbers.append(i + 1);
    }
    return numbers;
}

QList<int> TPSetupForm::ResolveItemReference(const Variant& reference) const {
    switch (reference.Type()) {
        case VarType::Empty:
        case VarType::Null:
            return {0};
        case VarType::BStr:
        case VarType::LPStr: {
            const QString text = reference.ToText().trimmed();
            return text.isEmpty() ? QList<int>{0} : ItemsNamed(text);
        }
        case VarType::I1:
        case VarType::I2:
        case VarType::I4:
        case VarType::UI2:
            return {reference.ToInt32()};
        case VarType::UI4: {
            // Numbers beyond the list change nothing; keep them beyond it.
            const double v = reference.ToDouble();
            return {v > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                        : static_cast<int>(v)};
        }
        default:
            return {};
    }
}

}  // namespace kavel
