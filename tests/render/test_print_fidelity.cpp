// What reaches paper is what the screen shows: line widths in the PDF, and the same words
// on the same lines at every pixel density.
#include <QFontMetricsF>
#include <QTemporaryDir>

#include "control/ControlFixture.h"
#include "control/ItemFont.h"
#include "platform/PdfTools.h"

namespace kavel::test {
namespace {

// The ink across a horizontal line of a PDF page rendered at 4 pixels per script pixel:
// the sum of darkness down one column around script row y at script column x.
double InkAcross(const QString& pdf, int page, int x, int y) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("column");
    const QString p = QString::number(page);
    RunTool("pdftoppm", {"-r", "384", "-gray", "-png", "-singlefile", "-f", p, "-l", p, "-x",
                         QString::number(4 * x), "-y", QString::number(4 * y - 12), "-W", "1", "-H",
                         "25", pdf, prefix});
    const QImage column(prefix + ".png");
    if (column.height() != 25) return -1;
    double ink = 0;
    for (int row = 0; row < column.height(); ++row) ink += 1 - qGray(column.pixel(0, row)) / 255.0;
    return ink;
}

class PrintFidelity : public ControlTest {};

TEST_F(PrintFidelity, OnePixelLinesPrintOnePixelWideOnEveryPage) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("lines.pdf");
    UsePrinters(MakePdfPrinterSystem(pdf, QString()));
    Call("PRINT_INIT", {"lines"});
    // The first pen of the job, on the first page, then the same on the second page.
    Call("ADD_PRINT_LINE", {100, 50, 100, 400, 0, 1});
    Call("ADD_PRINT_RECT", {150, 50, 300, 100, 0, 1});
    Call("NewPage");
    Call("ADD_PRINT_LINE", {100, 50, 100, 400, 0, 1});
    ASSERT_EQ(Call("PRINT"), Variant::Bool(true));
    for (const auto& [page, y] : {std::pair{1, 100}, {1, 150}, {1, 249}, {2, 100}}) {
        // One script pixel is four rows of ink at this resolution.
        EXPECT_NEAR(InkAcross(pdf, page, 200, y), 4.0, 1.0) << "page " << page << " row " << y;
    }
}

TEST_F(PrintFidelity, TextBreaksIntoTheSameLinesAtEveryDensity) {
    const QString text = QStringLiteral(
        "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron pi");
    QStringList atScreen;
    for (const int ppi : {96, 72, 120, 144}) {
        control = std::make_unique<TKavelX>(test::SharedContext());
        control->SetPixelsPerInch(ppi);
        Call("PRINT_INIT", {"density"});
        Call("SET_PRINT_STYLE", {"FontName", "Arial"});
        Call("SET_PRINT_STYLE", {"FontSize", 12});
        Call("ADD_PRINT_TEXT", {20, 20, 160, 200, text});
        Form().PrepareTask(0, false);
        TTextContent* edit = Item(1).RichEdit();
        const QStringList lines = edit->Lines();
        if (atScreen.isEmpty()) atScreen = lines;
        EXPECT_EQ(lines, atScreen) << ppi << " pixels per inch";
        // Every line fits the box with the font the page draws it with.
        const QFontMetricsF drawn(ItemFont("Arial", 12, 0, ppi));
        for (const QString& line : lines) {
            EXPECT_LE(drawn.horizontalAdvance(line), Item(1).Width()) << line.toStdString();
        }
    }
    EXPECT_GE(atScreen.size(), 3);
}

}  // namespace
}  // namespace kavel::test
