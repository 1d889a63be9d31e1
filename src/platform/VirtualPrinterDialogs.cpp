#include "platform/VirtualPrinterDialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>

#include "platform/PaperSizes.h"

namespace kavel {

namespace {

QComboBox* PrinterBox(QWidget* parent, const QStringList& printers, int current) {
    auto* box = new QComboBox(parent);
    box->setObjectName("PrinterBox");
    box->addItems(printers);
    box->setCurrentIndex(current);
    return box;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QRadioButton* Radio(QWidget* parent, const QString& text, const char* name, bool checked) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    button->setChecked(checked);
    return button;
}

}  // namespace

bool ShowVirtualPrintDialog(const QStringList& printers, PrintDialogValues& values) {
    QDialog dialog;
    dialog.setObjectName("VirtualPrintDialog");
    dialog.setWindowTitle("Print");
    auto* form = new QFormLayout(&dialog);

    QComboBox* printerBox = PrinterBox(&dialog, printers, values.printer);
    form->addRow("Printer:", printerBox);

    auto* copiesBox = new QSpinBox(&dialog);
    copiesBox->setObjectName("CopiesBox");
    copiesBox->setRange(1, 9999);
    copiesBox->setValue(std::max(1, values.copies));
    form->addRow("Copies:", copiesBox);

    auto* allPages =
        Radio(&dialog, "All pages", "AllPagesButton", values.range == PrintDialogValues::AllPages);
    auto* pageRange =
        Radio(&dialog, "Pages", "PageRangeButton", values.range == PrintDialogValues::PageRange);
    auto* selection = Radio(&dialog, "Selection", "SelectionButton",
                            values.range == PrintDialogValues::Selection);
    selection->setEnabled(values.range == PrintDialogValues::Selection);
    const int minPage = std::max(1, values.minPage);
    const int maxPage = std::max(minPage, values.maxPage);
    auto* fromBox = new QSpinBox(&dialog);
    fromBox->setObjectName("FromBox");
    fromBox->setRange(minPage, maxPage);
    fromBox->setValue(std::clamp(values.fromPage, minPage, maxPage));
    auto* toBox = new QSpinBox(&dialog);
    toBox->setObjectName("ToBox");
    toBox->setRange(minPage, maxPage);
    toBox->setValue(std::clamp(values.toPage, minPage, maxPage));
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(allPages);
    rangeRow->addWidget(pageRange);
    rangeRow->addWidget(fromBox);
    rangeRow->addWidget(toBox);
    rangeRow->addWidget(selection);
    form->addRow("Range:", rangeRow);
    form->addRow(OkCancel(&dialog));

    if (dialog.exec() != QDialog::Accepted || printerBox->currentIndex() < 0) return false;
    values.printer = printerBox->currentIndex();
    values.copies = copiesBox->value();
    if (pageRange->isChecked()) {
        values.range = PrintDialogValues::PageRange;
        values.fromPage = std::min(fromBox->value(), toBox->value());
        values.toPage = std::max(fromBox->value(), toBox->value());
    } else if (selection->isChecked()) {
        values.range = PrintDialogValues::Selection;
    } else {
        values.range = PrintDialogValues::AllPages;
    }
    return true;
}

bool ShowVirtualPageSetupDialog(const QStringList& printers, int& printer, DeviceMode& mode,
                                const std::function<DeviceMode(int)>& modeOf) {
    QDialog dialog;
    dialog.setObjectName("VirtualPageSetupDialog");
    dialog.setWindowTitle("Page Setup");
    auto* form = new QFormLayout(&dialog);

    QComboBox* printerBox = PrinterBox(&dialog, printers, printer);
    form->addRow("Printer:", printerBox);

    auto* paperBox = new QComboBox(&dialog);
    paperBox->setObjectName("PaperBox");
    for (int code = 1; code < kPaperNameCount; ++code) {
        if (!PaperSizeMM(code).isEmpty()) paperBox->addItem(PaperName(code), code);
    }
    auto* portrait = Radio(&dialog, "Portrait", "PortraitButton", false);
    auto* landscape = Radio(&dialog, "Landscape", "LandscapeButton", false);
    auto* orientationRow = new QHBoxLayout;
    orientationRow->addWidget(portrait);
    orientationRow->addWidget(landscape);
    form->addRow("Paper:", paperBox);
    form->addRow("Orientation:", orientationRow);
    form->addRow(OkCancel(&dialog));

    DeviceMode shown = mode;
    const auto show = [&](const DeviceMode& m) {
        shown = m;
        // A user size has no line of its own: the box then shows no paper.
        paperBox->setCurrentIndex(paperBox->findData(m.paperSize));
        (m.orientation == 1 ? landscape : portrait)->setChecked(true);
    };
    show(mode);
    QObject::connect(printerBox, &QComboBox::currentIndexChanged, &dialog, [&](int index) {
        if (index >= 0) show(modeOf(index));
    });

    if (dialog.exec() != QDialog::Accepted || printerBox->currentIndex() < 0) return false;
    printer = printerBox->currentIndex();
    mode = shown;
    if (paperBox->currentIndex() >= 0) {
        const int code = paperBox->currentData().toInt();
        if (code != mode.paperSize) {
            mode.paperSize = code;
            mode.paperWidth = 0;
            mode.paperLength = 0;
        }
    }
    mode.orientation = landscape->isChecked() ? 1 : 0;
    return true;
}

}  // namespace kavel
