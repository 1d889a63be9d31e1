// A layout designed through the designer's commands, turned into page-script code and
// printed again from that code, against the designer's own preview and print.
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTextEdit>

#include "DesignerFixture.h"
#include "platform/PageImages.h"
#include "platform/PdfTools.h"
#include "render/PrevStringFormUnit.h"

namespace kavel::test {
namespace {

constexpr double kPoint = 72.0 / 96;  // one pixel at 96 per inch, in points

struct Word {
    QString text;
    QPointF at;  // top-left corner in points
};

QList<Word> Words(const QString& pdf) {
    static const QRegularExpression word(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>");
    QList<Word> words;
    auto it = word.globalMatch(RunTool("pdftotext", {"-bbox", pdf, "-"}));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        words.append({m.captured(3), QPointF(m.captured(1).toDouble(), m.captured(2).toDouble())});
    }
    return words;
}

// Paints the rectangles white: what is compared is what lies outside them.
QImage Masked(QImage image, const QList<QRect>& rects) {
    for (const QRect& r : rects) {
        for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y) {
            for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
                image.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    return image;
}

class DesignerCommands : public DesignerTest {
  protected:
    // Presses the paper where the next item goes and inserts it by its menu entry.
    TModiControl& Insert(const char* entry, QPoint at) {
        QTest::mouseClick(Form().Paper(), Qt::LeftButton, {}, at);
        Action(entry)->trigger();
        return Item(static_cast<int>(Form().Items().size()));
    }
    // Replaces a text item's text by typing it in place.
    void Type(TModiControl& item, const QString& text) {
        Click(item);
        item.EditBox()->selectAll();
        QTest::keyClicks(item.EditBox(), text);
    }
    // The font box's choice, by a family installed here: the program that runs the code
    // finds the same face without the Windows family names' mapping of its own.
    void ChooseFont(const QString& family) {
        auto* box = Find<QComboBox>("ComboBoxFont");
        const int at = box->findText(family);
        ASSERT_GE(at, 0) << family.toStdString();
        box->setCurrentIndex(at);
        emit box->textActivated(box->itemText(at));
    }
    void Enter(const char* box, int value) {
        auto* edit = Find<QLineEdit>(box);
        edit->setText(QString::number(value));
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

TEST_F(DesignerCommands, ALayoutDesignedWithTheCommandsPrintsTheSameFromItsCode) {
    const QDir dir(settings.Path());
    const QString previewDir = dir.filePath("preview");
    UsePrinters(MakePdfPrinterSystem(dir.filePath("designer.pdf"), QString()));
    auto presenter = std::make_shared<HeadlessPresenter>();
    presenter->onOpen = [&](QWidget* window) {
        if (auto* preview = qobject_cast<TPrevStringForm*>(window))
            preview->SavePagesAsPng(previewDir);
    };
    UsePresenter(presenter);

    Call("PRINT_INIT", {"Commands"});
    Open("PRINT_DESIGN");
    // Text: typed in place, in another font, sized, bold, 14 pt, moved right by 1 and down
    // by 10.
    TModiControl& title = Insert("NInsertTxt", QPoint(40, 40));
    Type(title, "Delivery note");
    ChooseFont("Liberation Serif");
    Enter("EditWidth", 240);
    Enter("EditHeight", 30);
    Enter("EditFontSize", 14);
    QTest::mouseClick(Button("ToolBold"), Qt::LeftButton);
    QTest::mouseClick(Button("BTRight"), Qt::LeftButton);
    Key(title.EditBox(), Qt::Key_Down, Qt::ControlModifier | Qt::AltModifier);
    // A text bound as the page number.
    TModiControl& pageNo = Insert("NInsertTxt", QPoint(40, 520));
    Type(pageNo, "Page #");
    ChooseFont("Liberation Sans");
    Action("NPageNo")->trigger();
    // Every shape; the rectangle dashed, the ellipse's pen wider, the down line moved.
    const std::pair<const char*, QPoint> shapes[] = {
        {"NInsertUpLine", {40, 100}},  {"NInsertDownLine", {160, 100}},
        {"NInsertRect", {40, 200}},    {"NInsertSolidRect", {160, 200}},
        {"NInsertEllipse", {40, 300}}, {"NInsertSolidEllipse", {160, 300}}};
    for (const auto& [entry, at] : shapes) Insert(entry, at);
    Click(Item(5));
    QTest::mouseClick(Button("ToolDshDash"), Qt::LeftButton);
    Click(Item(7));
    QTest::mouseClick(Button("UpFontSizeButton"), Qt::LeftButton);
    Click(Item(4));
    QTest::keyClick(Find("EditFocus"), Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
    // Every kind of the HTML family, empty as inserted.
    const std::pair<const char*, QPoint> pictures[] = {{"NInsertHtml", {300, 40}},
                                                       {"NInsertUrl", {540, 40}},
                                                       {"NInsertTable", {300, 220}},
                                                       {"NInsertTBUrl", {540, 220}},
                                                       {"NInsertImage", {300, 400}}};
    QList<QRect> htmlAreas;  // in pixels of the paper, which is the page here
    for (const auto& [entry, at] : pictures) {
        TModiControl& item = Insert(entry, at);
        htmlAreas << Bounds(item);
    }
    ASSERT_EQ(Form().Items().size(), 13);
    EXPECT_EQ(title.RichEdit()->Text(), "Delivery note");
    EXPECT_EQ(Bounds(title), QRect(41, 50, 240, 30));
    EXPECT_EQ(Item(4).Left(), 170);
    const QList<QRect> textAreas = htmlAreas + QList<QRect>{Bounds(title), Bounds(pageNo)};

    Action("NCreateCode")->trigger();
    const QString code = Find<QTextEdit>("RichEditProChars")->toPlainText();
    ASSERT_TRUE(WriteFile(dir.filePath("code.js"), code.toUtf8()));
    // The designer's own preview (pictures of its pages) and print (a PDF).
    QTest::mouseClick(Button("Button2"), Qt::LeftButton);
    QTest::mouseClick(Button("Button1"), Qt::LeftButton);
    // The code panel prints what it shows, as a document of its own.
    Action("NCodesPrintClick")->trigger();
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join('\n').toStdString();
    EXPECT_TRUE(RunTool("pdftotext", {dir.filePath("designer-2.pdf"), "-"})
                    .contains("KAVEL.PRINT_INIT(\"Commands\");"));
    EXPECT_EQ(PdfInfo(dir.filePath("designer-2.pdf"), "Title"),
              QStringLiteral("Kavel生成的JS代码"));

    QProcess kavel;
    kavel.start(QCoreApplication::applicationDirPath() + "/../kavel",
                {"run", dir.filePath("code.js"), "--settings", dir.path(), "--pdf",
                 dir.filePath("code.pdf"), "--png", dir.filePath("code-png")});
    ASSERT_TRUE(kavel.waitForFinished(120000)) << kavel.errorString().toStdString();
    ASSERT_EQ(kavel.exitCode(), 0)
        << code.toStdString() << kavel.readAllStandardError().toStdString();

    // The same words at the same places; the code's placeholders of the HTML family's
    // contents are the only words more.
    const QList<Word> designed = Words(dir.filePath("designer.pdf"));
    QList<Word> printed;
    for (const Word& w : Words(dir.filePath("code.pdf"))) {
        const QPoint pixel = (w.at / kPoint).toPoint() + QPoint(1, 1);
        if (std::none_of(htmlAreas.begin(), htmlAreas.end(),
                         [&](const QRect& r) { return r.contains(pixel); })) {
            printed << w;
        }
    }
    ASSERT_EQ(designed.size(), printed.size()) << code.toStdString();
    ASSERT_EQ(designed.size(), 4);  // Delivery, note, Page, 1
    for (int i = 0; i < designed.size(); ++i) {
        EXPECT_EQ(designed[i].text, printed[i].text);
        EXPECT_NEAR(designed[i].at.x(), printed[i].at.x(), kPoint)
            << designed[i].text.toStdString();
        EXPECT_NEAR(designed[i].at.y(), printed[i].at.y(), kPoint)
            << designed[i].text.toStdString();
    }
    // The same shapes: the preview's page and the printed page agree outside the texts.
    const QImage preview(PageImageFileName(previewDir, 1, 1));
    const QImage again(PageImageFileName(dir.filePath("code-png"), 1, 1));
    ASSERT_FALSE(preview.isNull());
    ASSERT_EQ(preview.size(), again.size());
    const QImage a = Masked(preview.convertToFormat(QImage::Format_RGB32), textAreas);
    const QImage b = Masked(again.convertToFormat(QImage::Format_RGB32), textAreas);
    int differing = 0, ink = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            differing += a.pixel(x, y) != b.pixel(x, y);
            ink += qGray(a.pixel(x, y)) < 128;
        }
    }
    EXPECT_GT(ink, 1000);  // six shapes drawn
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace kavel::test
