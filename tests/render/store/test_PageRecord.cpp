// Page records: what is played is what was drawn, within the player's clip, and a damaged
// record draws nothing. The glyphs they gather let a PDF embed fonts cut down to them, with
// the same pages.
#include <gtest/gtest.h>

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

#include "platform/CairoPdf.h"
#include "platform/PdfTools.h"

#include "platform/Variant.h"
#include "render/PageRecord.h"

namespace kavel {
namespace {

constexpr QSize kPage(240, 160);

// Every kind of drawing that composition does, and state changes between them.
void DrawScene(QPainter& p) {
    p.fillRect(QRect(0, 0, 240, 160), Qt::white);
    p.setPen(QPen(Qt::darkBlue, 3, Qt::DashLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawRect(QRectF(8.5, 8.5, 100, 40));
    QLinearGradient gradient(120, 0, 220, 0);
    gradient.setColorAt(0, Qt::red);
    gradient.setColorAt(1, Qt::yellow);
    p.setBrush(gradient);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(120, 8, 100, 40));
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    QFont font("Noto Sans CJK SC");
    font.setPixelSize(14);
    font.setUnderline(true);
    p.setFont(font);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(QColor(220, 240, 255));
    p.drawText(QPointF(10, 70), QStringLiteral("第1页 共3页 Invoice"));
    p.setBackgroundMode(Qt::TransparentMode);
    p.save();
    p.translate(200, 150);
    p.rotate(-30);
    p.drawText(QPointF(0, 0), QStringLiteral("旋转 turned"));
    p.restore();
    p.save();
    p.setClipRect(QRect(10, 80, 60, 30));
    p.fillRect(QRect(0, 75, 240, 40), QColor(0, 128, 0));  // only the clip shows
    p.restore();
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 255, 128));
    p.drawImage(QRectF(90, 85, 32, 32), picture);
    p.setOpacity(0.5);
    p.drawTiledPixmap(QRect(130, 85, 40, 20), QPixmap::fromImage(picture));
    p.setOpacity(1);
    const QPointF line[] = {{10, 150}, {60, 120}, {110, 150}};
    p.setPen(QPen(Qt::red, 0));  // a hairline
    p.drawPolyline(line, 3);
    p.drawPoint(QPointF(120, 150));
}

QByteArray Recorded(const std::shared_ptr<PageFonts>& fonts) {
    PageRecorder recorder(kPage, fonts);
    QPainter painter(&recorder);
    DrawScene(painter);
    painter.end();
    return recorder.Record();
}

QImage Blank() {
    QImage image(kPage, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

TEST(PageRecord, PlaysExactlyAsDrawn) {
    QImage drawn = Blank();
    {
        QPainter painter(&drawn);
        DrawScene(painter);
    }
    const auto fonts = std::make_shared<PageFonts>();
    const QByteArray record = Recorded(fonts);
    QImage played = Blank();
    {
        QPainter painter(&played);
        PlayPageRecord(painter, record, *fonts);
    }
    EXPECT_EQ(played, drawn);
    // The painter is left as it was given.
    QImage twice = Blank();
    QPainter painter(&twice);
    PlayPageRecord(painter, record, *fonts);
    EXPECT_EQ(painter.pen(), QPen());
    EXPECT_FALSE(painter.hasClipping());
}

TEST(PageRecord, StaysWithinThePlayersClip) {
    const auto fonts = std::make_shared<PageFonts>();
    PageRecorder recorder(kPage, fonts);
    {
        QPainter painter(&recorder);
        painter.setClipRect(QRect(-1000, -1000, 3000, 3000));  // replaces any clip
        painter.fillRect(QRect(0, 0, 240, 160), Qt::red);
        painter.setClipping(false);
        painter.fillRect(QRect(0, 0, 240, 160), Qt::blue);
    }
    QImage image = Blank();
    QPainter painter(&image);
    painter.setClipRect(QRect(20, 20, 50, 50));
    PlayPageRecord(painter, recorder.Record(), *fonts);
    painter.end();
    EXPECT_EQ(image.pixelColor(40, 40), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::gray));
    EXPECT_EQ(image.pixelColor(100, 100), QColor(Qt::gray));
}

TEST(PageRecord, DamagedRecordsDrawNothing) {
    const auto fonts = std::make_shared<PageFonts>();
    const QByteArray record = Recorded(fonts);
    auto refused = [&](const QByteArray& bytes) {
        QImage image = Blank();
        QPainter painter(&image);
        try {
            PlayPageRecord(painter, bytes, *fonts);
        } catch (const KavelError& e) {
            painter.end();
            return image == Blank() && e.Text().contains("damaged");
        }
        return false;
    };
    for (qsizetype at = 0; at < record.size(); at += 7) {
        QByteArray changed = record;
        changed[at] = char(changed[at] ^ 0x21);
        ASSERT_TRUE(refused(changed)) << "byte " << at;
    }
    EXPECT_TRUE(refused(record.left(record.size() - 1)));
    EXPECT_TRUE(refused(QByteArray()));
    // A sound record of a font table it does not belong to names a font the table lacks.
    PageFonts other;
    QImage image = Blank();
    QPainter painter(&image);
    EXPECT_THROW(PlayPageRecord(painter, record, other), KavelError);
}

// Writes the record as a one-page PDF; `glyphs` are given to the writer when set.
QString WritePdf(const QString& file, const QByteArray& record, const PageFonts& fonts,
                 const GlyphUse* glyphs) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) return {};
    CairoPdfSettings settings;
    settings.paperMM = QSizeF(63.5, 42.3);  // the page at 96 dpi
    settings.dpi = 96;
    CairoPdfDocument document(&out, settings);
    if (glyphs) document.UseGlyphs(*glyphs);
    QPainter painter(&document);
    PlayPageRecord(painter, record, fonts);
    painter.end();
    return document.Finish() ? file : QString();
}

TEST(PageRecord, FontsCutToTheGatheredGlyphsPrintTheSamePage) {
    const QTemporaryDir dir;
    const auto fonts = std::make_shared<PageFonts>();
    const QByteArray record = Recorded(fonts);
    // Glyphs of a smaller page first: the writer keeps the last cut of a font for the next
    // document, and the glyphs outside it must still print.
    const auto few = std::make_shared<PageFonts>();
    {
        PageRecorder recorder(kPage, few);
        QPainter painter(&recorder);
        QFont font("Noto Sans CJK SC");
        font.setPixelSize(14);
        painter.setFont(font);
        painter.drawText(QPointF(10, 70), QStringLiteral("第1页"));
    }
    const GlyphUse someGlyphs = few->Glyphs();
    const GlyphUse allGlyphs = fonts->Glyphs();
    ASSERT_FALSE(allGlyphs.empty());
    const QString whole = WritePdf(dir.filePath("whole.pdf"), record, *fonts, nullptr);
    const QString part = WritePdf(dir.filePath("part.pdf"), record, *fonts, &someGlyphs);
    const QString cut = WritePdf(dir.filePath("cut.pdf"), record, *fonts, &allGlyphs);
    ASSERT_FALSE(whole.isEmpty() || part.isEmpty() || cut.isEmpty());

    const auto render = [](const QString& pdf) {
        test::RunTool("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, pdf});
        return QImage(pdf + ".png").convertToFormat(QImage::Format_RGB32);
    };
    const QImage expected = render(whole);
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(render(part), expected);
    EXPECT_EQ(render(cut), expected);
    const QStringList text = test::PdfPageTexts(whole);
    ASSERT_TRUE(text.value(0).contains(QStringLiteral("第1页 共3页 Invoice")));
    EXPECT_EQ(test::PdfPageTexts(part), text);
    EXPECT_EQ(test::PdfPageTexts(cut), text);
    // Every glyph drawn was gathered: no font is embedded twice, whole and cut.
    const auto fontLines = [](const QString& pdf) {
        return test::RunTool("pdffonts", {pdf}).count('\n');
    };
    EXPECT_EQ(fontLines(cut), fontLines(whole));
}

}  // namespace
}  // namespace kavel
