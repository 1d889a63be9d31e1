#include "control/ShowMode.h"

#include "control/RunState.h"
#include "html/CssValues.h"

namespace kavel {

bool SetShowMode(TprnSetup& setup, TRunState& run, const QString& key, const Variant& value) {
    try {
        const QString k = key.toUpper();
        const QString v = value.ToText().toLower();
        const bool on = v == "1" || v == "true";
        if (k == "PREVIEW_IN_BROWSE") {
            run.blPreviewInBrowse = on;
        } else if (k == "SETUP_IN_BROWSE") {
            run.blSetupInBrowse = on;
        } else if (k == "DESIGN_IN_BROWSE") {
            run.blDesignInBrowse = on;
        } else if (k == "SHOW_MODAL") {
            run.blShowModal = on;
        } else if (k == "BKIMG_IN_PREVIEW") {
            setup.intBkImgMode = on ? 1 : 0;
        } else if (k == "BKIMG_IN_FIRSTPAGE") {
            if (on) setup.intBkImgMode = 2;
        } else if (k == "SETUP_ENABLESS") {
            for (int i = 0; i < v.size() && i < setup.strSetupEnables.size(); ++i) {
                if (v[i] == '0' || v[i] == '1') setup.strSetupEnables[i] = v[i];
            }
        } else if (k == "SKIN_CUSTOM_COLOR") {
            setup.intCustomSkinColor = ColorValue(value.ToText(), setup.intSkinColor);
        } else if (k == "SKIN_TYPE") {
            setup.intSkinType = Variant::Str(v).ToInt32();
        } else if (k == "HTM_FONT_ZOOM") {
            run.HtmFontZoom =
                static_cast<uint8_t>(static_cast<uint32_t>(Variant::Str(v).ToInt32()) + 1u);
        } else {
            return false;
        }
        return true;
    } catch (const KavelError&) {
        return false;
    }
}

TColor GetSkinColor(const TprnSetup& setup) {
    if (setup.intCustomSkinColor != setup.intSkinColor) return setup.intCustomSkinColor;
    static const char* const kSkins[] = {"#E6E6FA", "#B0C4DE", "#D2B48C", "#D8BFD8", "#F5DEB3",
                                         "#EE82EE", "#87CEEB", "#C0C0C0", "#F4A460", "#FA8072",
                                         "#B0E0E6", "#FFDEAD", "#90EE90", "#ADD8E6", "#F0E68C",
                                         "#DAA520", "#8FBC8B", "#BDB76B", "#FFE4C4"};
    if (setup.intSkinType == 1) return RGBColor(196, 218, 249);
    if (setup.intSkinType >= 2 && setup.intSkinType <= 20) {
        return ColorValue(QString::fromLatin1(kSkins[setup.intSkinType - 2]), setup.intSkinColor);
    }
    return setup.intSkinColor;
}

}  // namespace kavel
