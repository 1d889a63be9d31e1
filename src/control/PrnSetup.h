// The task's print setup and its default style.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "control/ItemTypes.h"
#include "platform/Color.h"
#include "platform/SettingsStore.h"

namespace kavel {

inline const QString kDefaultSetupEnables = QStringLiteral("11111111000001");

struct TprnSetup {
    bool blPrinterSelected = false;  // printer and copies chosen with SELECT_PRINTER
    int32_t intPrinterNo = -1;       // printer number + 1; 0 the default; -1 none chosen
    int32_t intCopies = 0;           // 0 or less: not set
    int32_t intBkImgMode = 0;        // 0 none, 1 every preview page, 2 first preview page
    uint8_t intDispMode = 1;         // preview display mode 0..2
    uint8_t intToolMode = 0;         // preview tool mode 0..3
    bool blDirectPrint = false;
    bool blDoubleSided = false;
    QString strPButtonCaption;
    QString strTaskName;
    QString strIniFileName;
    bool blPaperSet = false;
    bool blPageSizeSet = false;
    uint8_t intRunMode = 0;  // 0 output, 1 setup, 2 design
    QString strPageName;
    QString strSetupEnables = kDefaultSetupEnables;
    int32_t intOrient = 0;  // 1 portrait, 2 landscape, 0 the printer's own
    int32_t intPageWidth = 0;
    int32_t intPageHeight = 0;
    int32_t intPreviewWidth = 0;
    int32_t intPreviewHeight = 0;
    int32_t intCurPageNo = 0;
    std::shared_ptr<SettingsStore> IniFile;  // the task's open settings store
    int32_t intSkinType = 0;
    TColor intSkinColor = 0;
    TColor intCustomSkinColor = 0;
};

// The task's default style, copied into every item added afterwards.
struct TDefaultStyle {
    TPRNPageType pageType = cptPageData;
    TPRNHorzOrient horzOrient = chnLeft;
    TPRNVertOrient vertOrient = cvnTop;
    TPRNImgMode imgMode = cstCrop;
    int32_t angle = 0;
    int32_t fontSize = 9;
    QString fontName = QStringLiteral("宋体");
    TColor fontColor = clBlack;
    TFontStyles fontStyle = 0;
    TAlignment alignment = taLeftJustify;
    int32_t penWidth = 1;
    TPenStyle penStyle = psSolid;
    bool previewOnly = false;
};

// The effective printer and paper of a print (GetPrintPaper).
struct TPrintPaper {
    int32_t printer = -1;
    int32_t copies = -1;
    int32_t orientation = -1;  // 0 portrait, 1 landscape, -1 the printer's own
    int32_t paperSize = 0;
    int32_t pageWidth = 0;
    int32_t pageHeight = 0;
    QString pageName;
};

// The printer and paper choice handed to a page target.
struct TPrintOption {
    int32_t PrinterIndex = -1;
    int32_t Copies = 0;
    int32_t Orientation = -1;
    int32_t PaperSize = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    QString PaperName;
};

}  // namespace kavel
