// Text measured by the browser and drawn by Qt must take the same room: the generic families
// (and a text without a family) resolve to the same faces on both sides.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QJsonArray>
#include <vector>

#include "EngineSupport.h"
#include "platform/FontFamilies.h"

namespace kavel {
namespace {

// Width in CSS px of a text as Qt lays it out on a 600 dpi device.
double QtWidth(const QString& family, double sizeCss, const QString& text) {
    constexpr double kDpi = 600;
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(int(kDpi / 0.0254 + 0.5));
    device.setDotsPerMeterY(int(kDpi / 0.0254 + 0.5));
    QFont font(family);
    font.setPixelSize(int(sizeCss * kDpi / 96 + 0.5));
    return QFontMetricsF(font, &device).horizontalAdvance(text) * 96 / kDpi;
}

TEST(BrowserFonts, GenericFamiliesMeasureTheSameInQtAndTheBrowser) {
    InstallGenericFamilySubstitutions();
    struct Case {
        QString family, text;  // family as the page names it; empty: none
        double size;           // CSS px
    };
    std::vector<Case> cases;
    for (const char* family : {"serif", "sans-serif", "monospace", ""}) {
        for (const double size : {12.0, 13.3333, 16.0, 21.0}) {
            for (const char* text : {"The quick brown fox jumps, 1234!", "中文打印测试，全角字符。",
                                     "Mixed 中文 and Latin"}) {
                cases.push_back({family, text, size});
            }
        }
    }
    QString html = "<body>";
    for (const Case& c : cases) {
        html +=
            QStringLiteral("<div><span style=\"white-space:pre;font-size:%1px;%2\">%3</span></div>")
                .arg(c.size)
                .arg(c.family.isEmpty() ? QString() : "font-family:" + c.family)
                .arg(c.text);
    }
    auto page = test::OpenPage(2000, 400);
    ASSERT_EQ(page->WriteDocument(html).status, LoadStatus::Complete);
    const auto spans = page->Evaluate(
        "[...document.querySelectorAll('span')].map(s => [s.getBoundingClientRect().width,"
        " getComputedStyle(s).fontFamily.split(',')[0].replace(/[\"']/g, '')])");
    ASSERT_TRUE(spans) << spans.error.toStdString();
    ASSERT_EQ(spans.value->toArray().size(), qsizetype(cases.size()));
    for (size_t i = 0; i < cases.size(); ++i) {
        const QJsonArray span = spans.value->toArray()[qsizetype(i)].toArray();
        // Qt gets the first family the browser computed, as the conversion hands it over.
        const QString computed = span[1].toString();
        const double browser = span[0].toDouble();
        const double qt = QtWidth(computed, cases[i].size, cases[i].text);
        EXPECT_NEAR(qt / browser, 1.0, 0.005)
            << "'" << cases[i].family.toStdString() << "' as " << computed.toStdString() << " "
            << cases[i].size << "px: " << cases[i].text.toStdString() << ": browser " << browser
            << ", Qt " << qt;
    }
}

}  // namespace
}  // namespace kavel
