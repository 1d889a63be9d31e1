// HTML items prepared with the real browser: the pictures of HTML and image items, the
// time limit of a load, and what a task's host page lets its items reach.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUrl>

#include "common/TestSupport.h"
#include "control/ModiControls.h"
#include "control/RunState.h"
#include "html/KvlHtmlUnit.h"
#include "platform/TestHttpServer.h"

using namespace kavel;
using namespace std::chrono_literals;
using kavel::test::TestHttpServer;

namespace {

// The test world's host page is the address.
void UseHostPage(const QString& url) {
    test::Context().hostPage = std::make_shared<FixedHostPage>(url);
}

QSize ControlSize(const QImage& picture) {
    return (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
}

// The picture's colour at a point given in the control's pixels.
QColor At(const QImage& picture, double x, double y) {
    const double r = picture.devicePixelRatio();
    return picture.pixelColor(int(x * r), int(y * r));
}

}  // namespace

TEST(HtmlItems, HtmlPictureIsTheContentAtPrintResolutionLaidOutAtTheItemsWidth) {
    for (const int ppi : {96, 144}) {
        SCOPED_TRACE(ppi);
        const auto px = [ppi](double css) { return css * ppi / 96; };
        TImageBox box(nullptr);
        box.resize(int(px(300)), 100);
        const auto form = PrepareHtmlItem(
            cdtHtml, box, 0, false,
            "<body style='margin:5px 7px'><div style='height:60px;background:#f00'></div>"
            "<div style='width:50px;height:30px;background:#00f'></div></body>",
            ppi, test::Context());
        ASSERT_TRUE(form->FDocument) << form->Problem().toStdString();
        EXPECT_TRUE(form->Problem().isEmpty());
        EXPECT_EQ(form->FBodyMargins, QMargins(7, 5, 7, 5));
        const QImage& picture = box.Picture();
        EXPECT_GE(picture.devicePixelRatio() * ppi, 199.9);  // dots per inch on paper
        // As wide as the item, as high as the content with the body's margins.
        EXPECT_EQ(ControlSize(picture), QSize(int(px(300)), int(px(100))));
        EXPECT_EQ(At(picture, px(150), px(35)), QColor(Qt::red));
        EXPECT_EQ(At(picture, px(30), px(80)), QColor(Qt::blue));
        EXPECT_EQ(At(picture, px(200), px(80)).alpha(), 0);  // no background: clear
        EXPECT_EQ(At(picture, px(3), px(35)).alpha(), 0);    // the body's margin
    }
}

TEST(HtmlItems, ImagePictureComesFromTheSourceBytesNotFromTheScreen) {
    QTemporaryDir dir;
    QImage source(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) source.setPixel(x, y, qRgb(x * 36, y * 50, (x + y) % 2 * 255));
    }
    const QString file = dir.filePath("p.png");
    ASSERT_TRUE(source.save(file));
    const QString img = QStringLiteral("<img src='%1' width=70 height=50>")
                            .arg(QUrl::fromLocalFile(file).toString());

    TImageBox box(nullptr);
    box.resize(200, 100);
    auto form = PrepareHtmlItem(cdtImage, box, 0, false, img, 96, test::Context());
    ASSERT_TRUE(form->FDocument) << form->Problem().toStdString();
    EXPECT_EQ(box.Picture().convertToFormat(QImage::Format_RGB32), source);
    EXPECT_EQ(ControlSize(box.Picture()), QSize(70, 50));

    // Anything more than one picture is taken from the page, at print resolution.
    form = PrepareHtmlItem(cdtImage, box, 0, false, "<b style='font-size:30px'>A</b>" + img, 96,
                           test::Context());
    ASSERT_TRUE(form->FDocument);
    EXPECT_GE(box.Picture().devicePixelRatio(), 200 / 96.0);
    EXPECT_GE(ControlSize(box.Picture()).width(), 70);
}

TEST(HtmlItems, AddressThatNeverCompletesEndsAtTheLimitAndKeepsWhatArrived) {
    TestHttpServer::Options stalled;
    stalled.neverAnswer = true;
    TestHttpServer server(stalled);
    SetWebLoadDeadline(1s);
    TImageBox box(nullptr);
    box.resize(200, 100);
    const auto form = PrepareHtmlItem(cdtHtmText, box, 0, false,
                                      "<p>Order 12</p><img src='" + server.Url("/never.png") + "'>",
                                      96, test::Context());
    SetWebLoadDeadline(kDefaultLoadDeadline);
    ASSERT_TRUE(form->FDocument);
    EXPECT_TRUE(form->Problem().contains("did not finish loading within 1 s"))
        << form->Problem().toStdString();
    EXPECT_TRUE(form->FDocument->InnerText(form->FDocument->Root()).contains("Order 12"));
}

TEST(HtmlItems, OnlyLocalHostPagesReachThisMachine) {
    const std::pair<QString, bool> hosts[] = {
        {"file:///home/user/task.js", true},    {"http://127.0.0.1:8000/print.html", true},
        {"http://localhost/a/b.html", true},    {"https://shop.example.com/order.html", false},
        {"http://192.168.1.5/erp.html", false}, {"http://[::1]:9/x.html", true},
    };
    for (const auto& [url, local] : hosts) {
        EXPECT_EQ(HostPagePolicy(DescribeUrl(url)).hostIsLocal, local) << url.toStdString();
    }

    // A web page's task cannot read the user's files through an address or a picture.
    QTemporaryDir dir;
    QImage red(20, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString file = dir.filePath("secret.png");
    ASSERT_TRUE(red.save(file));
    UseHostPage("https://shop.example.com/order.html");
    TImageBox box(nullptr);
    box.resize(200, 100);
    auto form = PrepareHtmlItem(cdtUrl, box, 0, false, QUrl::fromLocalFile(file).toString(), 96,
                                test::Context());
    EXPECT_FALSE(form->FDocument);
    EXPECT_FALSE(form->Problem().isEmpty());
    form = PrepareHtmlItem(cdtImage, box, 0, false,
                           "<img src='" + QUrl::fromLocalFile(file).toString() + "'>", 96,
                           test::Context());
    EXPECT_NE(box.Picture().pixelColor(5, 5), QColor(Qt::red));
}
