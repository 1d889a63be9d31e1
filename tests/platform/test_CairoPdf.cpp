// The PDF writer: a scene painted on it prints as it paints on an image, text extracts
// character for character, a font is embedded once however many pages use it, and a
// device that does not take the bytes makes the document fail.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <functional>

#include "PdfTools.h"
#include "platform/CairoPdf.h"

namespace kavel {
namespace {

using test::PdfPageTexts;
using test::RunTool;

// 3 x 2 inches: whole pixels at 96 dpi.
constexpr int kWidth = 288;
constexpr int kHeight = 192;

CairoPdfSettings Settings96() {
    CairoPdfSettings settings;
    settings.paperMM = QSizeF(76.2, 50.8);
    settings.dpi = 96;
    settings.title = "Scene";
    settings.creator = "Kavel";
    return settings;
}

// Writes pages painted by `paint` (called with the page number) to a PDF file.
bool WritePdf(const QString& fileName, int pages, const std::function<void(QPainter&, int)>& paint,
              CairoPdfSettings settings = Settings96()) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return false;
    CairoPdfDocument document(&file, settings);
    QPainter painter(&document);
    for (int page = 0; page < pages; ++page) {
        if (page > 0) document.NewPage();
        paint(painter, page);
    }
    painter.end();
    return document.Finish();
}

QImage RenderFirstPage(const QString& pdf) {
    const QString stem = pdf + "-page";
    RunTool("pdftoppm", {"-r", "96", "-png", "-singlefile", "-f", "1", "-l", "1", pdf, stem});
    return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
}

bool Ink(QRgb pixel) {
    return qGray(pixel) < 160;
}

// Ink in one image with no ink within `reach` pixels in the other, counted both ways.
int InkMismatches(const QImage& a, const QImage& b, int reach) {
    const auto inkNear = [reach](const QImage& image, int x, int y) {
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const QPoint p(x + dx, y + dy);
                if (image.rect().contains(p) && Ink(image.pixel(p))) return true;
            }
        }
        return false;
    };
    int mismatches = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (Ink(a.pixel(x, y)) && !inkNear(b, x, y)) ++mismatches;
            if (Ink(b.pixel(x, y)) && !inkNear(a, x, y)) ++mismatches;
        }
    }
    return mismatches;
}

int InkCount(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += Ink(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

struct SceneCase {
    const char* name;
    std::function<void(QPainter&)> paint;
};

TEST(CairoPdf, PrintsWhatAnImagePaints) {
    QImage picture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y, (x / 10 + y / 10) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    const SceneCase cases[] = {
        {"text",
         [](QPainter& p) {
             p.setFont(QFont("Liberation Sans", 20));
             p.drawText(QPointF(10, 60), "Invoice 2024");
             p.setFont(QFont("Noto Sans CJK SC", 20));
             p.drawText(QPointF(10, 120), "第1页 共3页");
         }},
        {"text under a box and text over one, in the order drawn",
         [](QPainter& p) {
             p.setFont(QFont("Liberation Sans", 24));
             p.drawText(QPointF(10, 50), "Hidden Shown");
             p.fillRect(QRectF(5, 20, 110, 40), Qt::white);  // hides the start of the line
             p.fillRect(QRectF(10, 70, 200, 70), Qt::black);
             p.setFont(QFont("Liberation Sans", 40, QFont::Black));
             p.setPen(Qt::white);
             p.drawText(QPointF(20, 125), "ON");  // strokes wide enough to show as holes
             p.setPen(Qt::black);
             p.drawText(QPointF(20, 185), "OFF");
             p.setBrush(Qt::white);
             p.setFont(QFont("Liberation Sans", 30, QFont::Black));
             p.drawText(QPointF(222, 110), "GO");
             p.drawRect(QRectF(216, 70, 68, 50));  // over it, the state unchanged
         }},
        {"text over a box that hides earlier text in the same font",
         [](QPainter& p) {
             p.setFont(QFont("Liberation Sans", 30, QFont::Black));
             p.drawText(QPointF(10, 60), "ABC");
             p.fillRect(QRectF(5, 20, 200, 60), Qt::white);
             p.drawText(QPointF(10, 60), "XYZ");
         }},
        {"shapes over shapes in the order drawn, and overlapping fills of both windings",
         [](QPainter& p) {
             p.fillRect(QRectF(10, 10, 200, 80), Qt::black);
             p.setPen(QPen(Qt::white, 10));
             p.drawLine(QPointF(0, 50), QPointF(288, 50));
             p.fillRect(QRectF(60, 30, 100, 40), Qt::black);  // over the white line
             p.setPen(Qt::NoPen);
             p.setBrush(Qt::black);
             QPainterPath clockwise;
             clockwise.addRect(QRectF(20, 110, 80, 60));
             p.drawPath(clockwise);
             QPainterPath counter(QPointF(60, 130));
             counter.lineTo(60, 190);
             counter.lineTo(140, 190);
             counter.lineTo(140, 130);
             counter.closeSubpath();
             p.drawPath(counter);  // their overlap is filled, not cancelled
             p.fillRect(QRectF(160, 100, 110, 80), Qt::black);
             QLinearGradient white(QPointF(0, 0), QPointF(1, 0));
             white.setColorAt(0, Qt::white);
             white.setColorAt(1, Qt::white);
             p.fillRect(QRectF(180, 120, 60, 40), white);  // drawn at once, over what is held
         }},
        {"a slanted face that has no italic",
         [](QPainter& p) {
             QFont font("Noto Sans CJK SC");
             font.setPixelSize(40);
             font.setItalic(true);
             p.setFont(font);
             p.drawText(QPointF(10, 80), "斜体文字");
         }},
        {"rectangles and a transform",
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 3));
             p.setBrush(Qt::darkGray);
             p.drawRect(QRectF(20, 20, 100, 60));
             p.translate(150, 100);
             p.rotate(30);
             p.fillRect(QRectF(0, 0, 80, 40), Qt::black);
         }},
        {"dashed pens",
         [](QPainter& p) {
             p.setPen(QPen(Qt::black, 4, Qt::DashLine, Qt::FlatCap));
             p.drawLine(QPointF(10, 40), QPointF(270, 40));
             QPen dotted(Qt::black, 2, Qt::CustomDashLine, Qt::FlatCap);
             dotted.setDashPattern({3, 5});
             p.setPen(dotted);
             p.drawLine(QPointF(10, 100), QPointF(270, 100));
         }},
        {"a gradient",
         [](QPainter& p) {
             QLinearGradient gradient(QPointF(20, 0), QPointF(260, 0));
             gradient.setColorAt(0, Qt::white);
             gradient.setColorAt(1, Qt::black);
             p.fillRect(QRectF(20, 20, 240, 150), gradient);
         }},
        {"an image, scaled",
         [&picture](QPainter& p) { p.drawImage(QRectF(30, 30, 120, 90), picture); }},
        {"clipping under a transform",
         [](QPainter& p) {
             p.translate(20, 20);
             p.setClipRect(QRectF(0, 0, 100, 50));
             p.translate(50, 0);
             p.fillRect(QRectF(0, 0, 200, 150), Qt::black);  // only 50 x 50 shows
             p.setClipping(false);
             p.fillRect(QRectF(0, 100, 20, 20), Qt::black);
         }},
        {"a clip reaching far beyond the page",
         [](QPainter& p) {
             p.setClipRect(QRect(-(1 << 24), 100, 2 << 24, 2 << 24));
             p.fillRect(QRectF(10, 10, 200, 150), Qt::black);  // only its lower part shows
         }},
    };
    QTemporaryDir dir;
    for (const SceneCase& c : cases) {
        QImage expected(kWidth, kHeight, QImage::Format_RGB32);
        expected.setDotsPerMeterX(3780);
        expected.setDotsPerMeterY(3780);
        expected.fill(Qt::white);
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::Antialiasing);
            c.paint(painter);
        }
        const QString pdf = dir.filePath(QString(c.name).replace(' ', '-') + ".pdf");
        ASSERT_TRUE(WritePdf(pdf, 1, [&c](QPainter& painter, int) { c.paint(painter); })) << c.name;
        const QImage printed = RenderFirstPage(pdf);
        ASSERT_EQ(printed.size(), expected.size()) << c.name;
        EXPECT_GT(InkCount(printed), 100) << c.name;
        EXPECT_LE(InkMismatches(expected, printed, 1), InkCount(expected) / 50 + 4) << c.name;
    }
}

TEST(CairoPdf, CosmeticLinesAreOneDevicePixelWhateverTheTransform) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("lines.pdf");
    ASSERT_TRUE(WritePdf(pdf, 1, [](QPainter& p, int) {
        p.setPen(QPen(Qt::black, 0));
        p.drawLine(QPointF(10, 50), QPointF(270, 50));
        p.scale(8, 8);
        p.drawLine(QPointF(2, 15), QPointF(30, 15));  // 120 device pixels down
    }));
    const QImage printed = RenderFirstPage(pdf);
    for (int x : {20, 140, 230}) {
        int rows = 0;
        for (int y = 0; y < printed.height(); ++y) rows += Ink(printed.pixel(x, y)) ? 1 : 0;
        EXPECT_EQ(rows, 2) << "column " << x;
    }
}

TEST(CairoPdf, TextExtractsCharacterForCharacter) {
    const char* const texts[] = {
        "第1页 共3页 Invoice 文",
        "Ünïcödé – “quotes” € 1½ 行一",
    };
    QTemporaryDir dir;
    for (const char* utf8 : texts) {
        const QString text = QString::fromUtf8(utf8);
        const QString pdf = dir.filePath("text.pdf");
        ASSERT_TRUE(WritePdf(pdf, 1, [&text](QPainter& p, int) {
            QFont font;
            font.setFamilies({"Liberation Sans", "Noto Sans CJK SC"});
            font.setPixelSize(14);
            p.setFont(font);
            p.drawText(QPointF(10, 40), text);
        }));
        const QStringList pages = PdfPageTexts(pdf);
        ASSERT_EQ(pages.size(), 1) << utf8;
        EXPECT_EQ(pages[0].trimmed(), text) << utf8;
    }
    // A word that changes font and back is written in the order drawn, so it stays one word.
    const QString pdf = dir.filePath("fonts.pdf");
    ASSERT_TRUE(WritePdf(pdf, 1, [](QPainter& p, int) {
        QFont regular("Liberation Sans");
        regular.setPixelSize(14);
        QFont bold = regular;
        bold.setBold(true);
        p.setFont(regular);
        p.drawText(QPointF(10, 40), "sent back for");
        p.setFont(bold);
        p.drawText(QPointF(10, 60), "packaging");
        p.setFont(regular);
        p.drawText(QPointF(10.4 + QFontMetricsF(bold).horizontalAdvance("packaging"), 60), ".");
    }));
    EXPECT_EQ(PdfPageTexts(pdf).value(0).trimmed().toStdString(), "sent back for\npackaging.");
}

TEST(CairoPdf, TextStaysOnItsPageAndAFontUsedOnEveryPageIsEmbeddedOnce) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("pages.pdf");
    ASSERT_TRUE(WritePdf(pdf, 50, [](QPainter& p, int page) {
        p.setFont(QFont("Liberation Sans", 10 + page % 3));
        p.drawText(QPointF(10, 40), QString("Page %1 of 50").arg(page + 1));
    }));
    const QStringList texts = PdfPageTexts(pdf);
    ASSERT_EQ(texts.size(), 50);
    EXPECT_EQ(texts[0].trimmed(), "Page 1 of 50");
    EXPECT_EQ(texts[49].trimmed(), "Page 50 of 50");
    // pdffonts: two lines of heading, then one line per embedded font.
    const QStringList lines = RunTool("pdffonts", {pdf}).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[2].contains("LiberationSans")) << lines[2].toStdString();
}

// A device that takes nothing.
class RefusingDevice : public QIODevice {
  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override {
        setErrorString("the device is full");
        return -1;
    }
};

TEST(CairoPdf, ADeviceThatDoesNotTakeTheBytesFailsTheDocument) {
    RefusingDevice refusing;
    refusing.open(QIODevice::WriteOnly);
    QFile full("/dev/full");
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    for (QIODevice* device : std::initializer_list<QIODevice*>{&refusing, &full}) {
        CairoPdfDocument document(device, Settings96());
        QPainter painter(&document);
        painter.drawText(QPointF(10, 40), "lost");
        painter.end();
        EXPECT_FALSE(document.Finish());
        EXPECT_FALSE(document.Error().isEmpty());
    }
}

}  // namespace
}  // namespace kavel
