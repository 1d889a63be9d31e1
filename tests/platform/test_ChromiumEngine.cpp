// The browser engine on the real headless Chromium: one browser for the whole program.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>

#include <signal.h>
#include <unistd.h>

#include "EngineSupport.h"
#include "TestHttpServer.h"
#include "platform/AddressPolicy.h"
#include "platform/ChromiumEngine.h"
#include "platform/ChromiumPage.h"

namespace kavel {
namespace {

using namespace std::chrono_literals;
using test::OpenPage;
using test::TestHttpServer;

TestHttpServer::Options NeverAnswering() {
    TestHttpServer::Options options;
    options.neverAnswer = true;
    return options;
}

std::shared_ptr<ChromiumEngine> Engine() {
    return test::SharedEngine();
}

QString WriteFile(const QString& name, const QByteArray& bytes) {
    static QTemporaryDir folder;
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

// A 2 x 1 PNG file (red, blue).
QString PngFile() {
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    const QString path = WriteFile("pic.png", {});
    image.save(path, "PNG");
    return path;
}

std::shared_ptr<const LaidOutDocument> ReadPage(BrowserPage& page, const ReadLimits& limits = {}) {
    auto read = page.Read(limits);
    EXPECT_TRUE(read) << read.error.toStdString();
    return read ? *read.value : nullptr;
}

// The first element with the tag, in document order.
NodeId First(const LaidOutDocument& doc, const QString& tag) {
    const QList<NodeId> found = doc.ElementsByTagName(doc.Root(), tag);
    return found.isEmpty() ? kNoNode : found.first();
}

const char kLayoutDocument[] =
    "<!DOCTYPE html><html><head><meta charset=utf-8><style>"
    "body{margin:8px;font:16px 'Liberation Serif'} .box{border:3px solid "
    "#036;padding:4px;width:200px}"
    "table{border-collapse:collapse} td{border:1px solid #000;padding:2px}"
    "</style></head><body><div class=box>Box text</div>"
    "<table><tr><td>a1</td><td>b1 long</td></tr><tr><td>a2</td><td>中文单元格</td></tr></table>"
    "<p style='width:150px'>Inline text that surely wraps over <b>two lines</b> here</p>"
    "<p style=\"font-family:'Noto Sans CJK "
    "SC'\">中文段落测试，浏览器排版后每一行的位置都要读回来以便分页</p>"
    "<div style='height:900px'></div><p id=far>far down</p></body></html>";

// Chromium's own answers: every element's bounding rectangle in document order, and for
// every non-blank text node its line boxes and, found character by character, where its
// lines after the first begin.
const char kBrowserRectangles[] = R"((() => {
  const box = b => [b.left + scrollX, b.top + scrollY, b.width, b.height];
  const elements = [document.body, ...document.body.querySelectorAll('*')].map(e => box(e.getBoundingClientRect()));
  const texts = [], range = document.createRange();
  const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  while (walk.nextNode()) {
    const n = walk.currentNode;
    if (!n.nodeValue.trim()) continue;
    range.selectNodeContents(n);
    const lines = [...range.getClientRects()];
    const starts = [];
    for (let j = 1; j < lines.length; j++) {
      for (let k = 0; k < n.length; k++) {
        range.setStart(n, k); range.setEnd(n, k + 1);
        const c = range.getClientRects()[0];
        if (c && c.width > 0 && c.top >= lines[j].top - 0.5) { starts.push(k); break; }
      }
    }
    texts.push({lines: lines.map(box), starts});
  }
  return {elements, texts};
})())";

void ExpectNear(const QRectF& mirror, const QJsonArray& browser, const std::string& what) {
    EXPECT_NEAR(mirror.x(), browser[0].toDouble(), 1.0) << what;
    EXPECT_NEAR(mirror.y(), browser[1].toDouble(), 1.0) << what;
    EXPECT_NEAR(mirror.width(), browser[2].toDouble(), 1.0) << what;
    EXPECT_NEAR(mirror.height(), browser[3].toDouble(), 1.0) << what;
}

TEST(ChromiumEngine, MirrorMatchesTheBrowsersRectanglesByAddressAndByContent) {
    const QString file = WriteFile("layout.html", kLayoutDocument);
    const std::function<LoadResult(BrowserPage&)> loads[] = {
        [&](BrowserPage& page) { return page.Navigate(QUrl::fromLocalFile(file).toString()); },
        [&](BrowserPage& page) { return page.WriteDocument(QString::fromUtf8(kLayoutDocument)); },
    };
    for (const auto& load : loads) {
        auto page = OpenPage(300, 400);
        const LoadResult loaded = load(*page);
        ASSERT_EQ(loaded.status, LoadStatus::Complete) << loaded.error.toStdString();
        EXPECT_EQ(page->State(), ReadyState::Complete);
        const auto doc = ReadPage(*page);
        ASSERT_TRUE(doc);
        const auto truth = page->Evaluate(kBrowserRectangles);
        ASSERT_TRUE(truth) << truth.error.toStdString();
        const QJsonArray elements = truth.value->toObject().value("elements").toArray();
        const QJsonArray texts = truth.value->toObject().value("texts").toArray();
        int element = 0, text = 0, multiLine = 0;
        for (NodeId id = 0; id < doc->NodeCount(); ++id) {
            if (doc->Kind(id) == NodeKind::Element) {
                ASSERT_LT(element, elements.size());
                ExpectNear(doc->Rect(id), elements[element++].toArray(),
                           doc->Tag(id).toStdString());
                continue;
            }
            if (doc->Value(id).trimmed().isEmpty()) continue;
            ASSERT_LT(text, texts.size());
            const QJsonObject expected = texts[text++].toObject();
            const QList<TextLine> lines = doc->Lines(id);
            ASSERT_EQ(lines.size(), expected.value("lines").toArray().size())
                << doc->Value(id).toStdString();
            for (int j = 0; j < lines.size(); ++j) {
                ExpectNear(lines[j].rect, expected.value("lines").toArray()[j].toArray(),
                           doc->Value(id).toStdString());
                if (j > 0) {
                    EXPECT_EQ(lines[j].start, expected.value("starts").toArray()[j - 1].toInt());
                }
            }
            multiLine += lines.size() > 1;
        }
        EXPECT_EQ(element, elements.size());
        EXPECT_EQ(text, texts.size());
        EXPECT_GE(multiLine, 2);  // the Latin and the CJK paragraph wrap
        EXPECT_GT(doc->Rect(doc->ElementsByTagName(doc->Root(), "p").last()).top(), 900);
    }
}

TEST(ChromiumEngine, ChildrenInDocumentOrderAndValuesMapped) {
    auto page = OpenPage();
    const LoadResult loaded = page->WriteDocument(
        "<body style='margin:0'><p id=mix>one <b>two</b> three<i>four</i></p>"
        "<div "
        "style='background-color:rgba(0,0,0,0);color:rgba(255,0,0,0.5);font-size:10pt;text-align:"
        "start'>x</div>"
        "<center>c</center><table border=2 cellspacing=3 bordercolor=red><tr><td "
        "align=right>r</td></tr></table>"
        "<input type=text value='typed'><input type=checkbox checked>"
        "<div style='text-transform:uppercase;white-space:normal'>  Some   words<br>next "
        "<span>line</span></div><div style='height:5000px'></div>"
        "<img loading=lazy src='" +
        QUrl::fromLocalFile(PngFile()).toString() + "'></body>");
    ASSERT_EQ(loaded.status, LoadStatus::Complete) << loaded.error.toStdString();
    const auto doc = ReadPage(*page);
    ASSERT_TRUE(doc);

    const NodeId p = First(*doc, "p");
    QStringList order;
    for (const NodeId child : doc->Children(p)) {
        order << (doc->Kind(child) == NodeKind::Text ? doc->Value(child) : doc->NodeName(child));
    }
    EXPECT_EQ(order, (QStringList{"one ", "B", " three", "I"}));

    const NodeId div = First(*doc, "div"), td = First(*doc, "td"), table = First(*doc, "table");
    const QList<NodeId> inputs = doc->ElementsByTagName(doc->Root(), "input");
    ASSERT_EQ(inputs.size(), 2);
    struct Case {
        QString got, want;
    } cases[] = {
        {doc->Style(div, "backgroundColor"), "transparent"},
        {doc->Style(div, "color"), "rgb(255, 128, 128)"},
        {doc->Style(div, "font-size"), "13.3333px"},
        {doc->Style(div, "textAlign"), "left"},
        {doc->Style(First(*doc, "center"), "text-align"), "center"},
        {doc->Style(td, "text-align"), "right"},
        {doc->Style(First(*doc, "b"), "fontWeight"), "700"},
        {doc->Attribute(table, "border"), "2"},
        {doc->Attribute(table, "cellSpacing"), "3"},
        {doc->Attribute(table, "bordercolor"), "red"},
        {doc->Property(inputs[0], "value").toString(), "typed"},
        {doc->Property(inputs[1], "checked").toString(), "true"},
        {doc->InnerText(p), "one two threefour"},
        {doc->InnerText(doc->ElementsByTagName(doc->Root(), "div")[1]), "SOME WORDS\nNEXT LINE"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
    ASSERT_TRUE(doc->Metrics(doc->Root()));
    EXPECT_EQ(doc->Metrics(doc->Root())->scrollWidth, 600);
    // A lazy picture far below the viewport was loaded before the read, and its bytes are
    // there to draw from.
    const NodeId img = First(*doc, "img");
    EXPECT_EQ(doc->Property(img, "naturalWidth").toInt(), 2);
    const auto bytes = page->ResourceContent(doc->Property(img, "currentSrc").toString());
    ASSERT_TRUE(bytes) << bytes.error.toStdString();
    QFile png(PngFile());
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_EQ(*bytes.value, png.readAll());
}

TEST(ChromiumEngine, InnerTextAsTheBrowserGivesIt) {
    const QString cases[] = {
        "<p>one</p><p>two</p>",
        "a<br>b<br><p>c</p>",
        "<div>  lots   of\n spaces </div><div>x</div>",
        "<table><tr><td>a</td><td> b </td></tr><tr><td>c</td><td>d</td></tr></table>",
        "<div style='text-transform:uppercase'>up <span style='display:none'>gone</span>"
        "<span style='visibility:hidden'>hid</span> end</div>",
        "<pre>  keep\n   this </pre>",
        "<ul><li>one</li><li>two</li></ul>",
        "<span>in</span> <b>line</b><div>block</div>after",
    };
    auto page = OpenPage();
    for (const QString& html : cases) {
        ASSERT_EQ(page->WriteDocument("<body>" + html + "</body>").status, LoadStatus::Complete);
        const auto doc = ReadPage(*page);
        ASSERT_TRUE(doc);
        const auto browser = page->Evaluate("document.body.innerText");
        ASSERT_TRUE(browser);
        EXPECT_EQ(doc->InnerText(doc->Root()), browser.value->toString()) << html.toStdString();
    }
}

TEST(ChromiumEngine, LoadThatNeverCompletesEndsAtTheDeadline) {
    TestHttpServer stalled(NeverAnswering());
    const std::function<LoadResult(BrowserPage&)> loads[] = {
        [&](BrowserPage& page) { return page.Navigate(stalled.Url()); },
        [&](BrowserPage& page) {
            return page.WriteDocument("<p>text</p><img src='" + stalled.Url("/pic.png") + "'>");
        },
    };
    for (const auto& load : loads) {
        auto page = OpenPage();
        page->SetDeadline(1s);
        // Stop() from a hook ends the wait at once, with what was laid out kept.
        auto stopped = OpenPage();
        LoadHooks stopAtOnce;
        stopAtOnce.keepWaiting = [&] {
            stopped->Stop();
            return true;
        };
        stopped->SetHooks(stopAtOnce);
        EXPECT_EQ(load(*stopped).status, LoadStatus::Stopped);
        EXPECT_TRUE(stopped->Read());
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(load(*page).status, LoadStatus::TimedOut);
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_NE(page->State(), ReadyState::Complete);
        EXPECT_TRUE(page->Read());  // what was laid out can be read
    }
}

TEST(ChromiumEngine, SlowPageFinishesCompleteAndReportsOnce) {
    TestHttpServer::Options delayed;
    delayed.delay = 1200ms;
    TestHttpServer slow(delayed);
    auto page = OpenPage();
    int completes = 0, finished = 0;
    QString navigated;
    LoadHooks hooks;
    hooks.navigated = [&](const QString& url) { navigated = url; };
    hooks.documentComplete = [&] { ++completes; };
    hooks.progress = [&](int n) { finished += n == -1; };
    page->SetHooks(hooks);
    page->SetDeadline(20s);
    const LoadResult loaded = page->Navigate(slow.Url("/slow"));
    ASSERT_EQ(loaded.status, LoadStatus::Complete) << loaded.error.toStdString();
    EXPECT_EQ(navigated, slow.Url("/slow"));
    EXPECT_EQ(completes, 1);
    EXPECT_EQ(finished, 1);
    const auto doc = ReadPage(*page);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->InnerText(doc->Root()), "served page");
}

TEST(ChromiumEngine, BrowserKilledMidLoadFailsThatLoadAndTheNextStartsAgain) {
    TestHttpServer stalled(NeverAnswering());
    auto page = OpenPage();
    ASSERT_EQ(page->WriteDocument("<p>before</p>").status, LoadStatus::Complete);
    const pid_t first = Engine()->BrowserPid();
    ASSERT_GT(first, 0);
    LoadHooks hooks;
    hooks.keepWaiting = [&] {
        ::kill(first, SIGKILL);
        return true;
    };
    page->SetHooks(hooks);
    const LoadResult killed = page->Navigate(stalled.Url());
    EXPECT_EQ(killed.status, LoadStatus::Failed);
    EXPECT_TRUE(killed.error.contains("stopped")) << killed.error.toStdString();
    page->SetHooks({});
    EXPECT_EQ(page->WriteDocument("<p>after</p>").status, LoadStatus::Complete);
    EXPECT_NE(Engine()->BrowserPid(), first);
    const auto doc = ReadPage(*page);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->InnerText(doc->Root()), "after");
}

TEST(ChromiumEngine, BrowserThatCannotStartGivesTheClearErrorFast) {
    const std::pair<QString, QString> cases[] = {
        {"/nonexistent/chromium", "/nonexistent/chromium: No such file or directory"},
        {"/bin/false", "it exited with status 1"},
    };
    for (const auto& [executable, reason] : cases) {
        const auto engine = std::make_shared<ChromiumEngine>(ChromiumOptions{executable, {}, 30s});
        QElapsedTimer clock;
        clock.start();
        const QString why = engine->Start();
        EXPECT_EQ(why, "the browser engine could not be started: " + reason);
        const LoadResult load = engine->NewPage(100, 100)->WriteDocument("<p>x</p>");
        EXPECT_EQ(load.status, LoadStatus::Failed);
        EXPECT_EQ(load.error, why);
        EXPECT_TRUE(engine->Version().isEmpty());
        EXPECT_LT(clock.elapsed(), 1000);
    }
}

TEST(ChromiumEngine, ZoomAndUserAgentApplyAndRestore) {
    auto page = OpenPage();
    ASSERT_EQ(page->WriteDocument(
                      "<p style='font-size:medium'>relative</p><p style='font-size:20px'>fixed</p>")
                  .status,
              LoadStatus::Complete);
    const auto sizes = [&] {
        const auto doc = ReadPage(*page);
        const QList<NodeId> p = doc->ElementsByTagName(doc->Root(), "p");
        return std::make_pair(doc->Style(p[0], "font-size"), doc->Style(p[1], "font-size"));
    };
    EXPECT_EQ(page->TextZoom(), 2);
    EXPECT_EQ(sizes(), std::make_pair(QString("16px"), QString("20px")));
    EXPECT_TRUE(page->SetTextZoom(4));
    EXPECT_EQ(sizes(), std::make_pair(QString("23px"), QString("20px")));
    EXPECT_TRUE(page->SetTextZoom(2));
    EXPECT_EQ(sizes(), std::make_pair(QString("16px"), QString("20px")));
    EXPECT_FALSE(page->SetTextZoom(5));
    EXPECT_EQ(page->TextZoom(), 2);

    EXPECT_TRUE(page->SetOpticalZoom(150));
    EXPECT_EQ(page->OpticalZoom(), 150);
    EXPECT_EQ(sizes().first, "16px");  // the layout stays
    EXPECT_TRUE(page->SetOpticalZoom(100));
    EXPECT_FALSE(page->SetOpticalZoom(5));

    EXPECT_TRUE(Engine()->Version().contains("Chrome/")) << Engine()->Version().toStdString();
    EXPECT_FALSE(page->UserAgent().contains("Headless"));
    EXPECT_EQ(page->Evaluate("navigator.userAgent").value->toString(), page->UserAgent());
    page->SetUserAgent("KavelTest/1.0");
    EXPECT_EQ(page->Evaluate("navigator.userAgent").value->toString(), "KavelTest/1.0");
}

// A page of the web reaches neither the user's files nor this machine nor private networks;
// a local host page reaches both.
TEST(ChromiumEngine, ResourcePolicyRefusesLocalAddressesToPagesOfTheWeb) {
    TestHttpServer::Options gif;
    gif.body = "GIF89a";
    TestHttpServer local(gif);
    const QString png = QUrl::fromLocalFile(PngFile()).toString();
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    const QString machine = QString::fromLocal8Bit(name);
    struct Case {
        bool hostIsLocal;
        QString navigate;  // or, when empty, write the pictures below
        bool loads;
    } cases[] = {
        {false, png, false},
        {false, local.Url("/page"), false},
        {false, "http://localhost:" + QString::number(local.Port()) + "/", false},
        {false, {}, false},
        {true, local.Url("/page"), true},
        {true, {}, true},
    };
    const QString pictures = "<base href='http://example.com/app/'><img src='" + png +
                             "'><img src='" + local.Url("/pic.gif") + "'>";
    for (const Case& c : cases) {
        const int before = local.Requests();
        auto page = OpenPage();
        page->SetResourcePolicy({c.hostIsLocal, "http://example.com/app/index.html"});
        if (!c.navigate.isEmpty()) {
            const LoadResult loaded = page->Navigate(c.navigate);
            EXPECT_EQ(loaded.status == LoadStatus::Complete, c.loads) << c.navigate.toStdString();
            EXPECT_EQ(local.Requests() > before, c.loads && c.navigate.startsWith("http"));
            continue;
        }
        ASSERT_EQ(page->WriteDocument(pictures).status, LoadStatus::Complete);
        const auto doc = ReadPage(*page);
        ASSERT_TRUE(doc);
        const QList<NodeId> images = doc->ElementsByTagName(doc->Root(), "img");
        ASSERT_EQ(images.size(), 2);
        EXPECT_EQ(doc->Property(images[0], "naturalWidth").toInt() == 2, c.loads);
        EXPECT_EQ(local.Requests() > before, c.loads);
        EXPECT_EQ(page->RefusedAddresses().contains(local.Url("/pic.gif")), !c.loads);
    }
    // A name of this machine is refused by what it resolves to.
    if (!machine.isEmpty() && !ResolveHost(machine).isEmpty() &&
        IsPrivateAddress(ResolveHost(machine).first())) {
        auto page = OpenPage(600, 400, false);
        const int before = local.Requests();
        EXPECT_EQ(
            page->Navigate(QStringLiteral("http://%1:%2/").arg(machine).arg(local.Port())).status,
            LoadStatus::Failed);
        EXPECT_EQ(local.Requests(), before);
    }
}

TEST(ChromiumEngine, ReadStopsAtItsLimitsAndSaysSo) {
    QString html = "<body>";
    for (int i = 0; i < 50; ++i) html += QStringLiteral("<div>row %1 with some text</div>").arg(i);
    auto page = OpenPage();
    ASSERT_EQ(page->WriteDocument(html).status, LoadStatus::Complete);
    struct Case {
        ReadLimits limits;
        QString reason;
    } cases[] = {
        {{10, 8'000'000, 20 << 20}, "elements"},
        {{200'000, 100, 20 << 20}, "characters"},
        {{200'000, 8'000'000, 1000}, "bytes"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        const auto doc = ReadPage(*page, c.limits);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->TruncationReason(), c.reason);
        const int elements = int(doc->ElementsByTagName(doc->Root(), "div").size()) + 1;
        EXPECT_LE(elements, std::min(c.limits.elements, 51));
        EXPECT_EQ(elements == 51, c.reason.isEmpty());
    }
}

TEST(ChromiumEngine, CapturesFarDownElementsAtPrintResolution) {
    auto page = OpenPage(400, 300);
    ASSERT_EQ(
        page->WriteDocument("<body style='margin:0'><div style='height:3000px'></div>"
                            "<div style='display:flex;width:100px;height:50px'>"
                            "<div style='flex:1;background:#f00'></div><div "
                            "style='flex:1;background:#00f'></div></div>"
                            "<div style='width:40px;height:700px;background:linear-gradient(#0c0 "
                            "50%,#ff0 50%)'></div>")
            .status,
        LoadStatus::Complete);
    struct Case {
        QRectF rect;
        QPointF first, second;  // fractions of the picture
        QRgb firstColor, secondColor;
    } cases[] = {
        {{0, 3000, 100, 50}, {0.25, 0.5}, {0.75, 0.5}, qRgb(255, 0, 0), qRgb(0, 0, 255)},
        {{0, 3050, 40, 700}, {0.5, 0.2}, {0.5, 0.8}, qRgb(0, 204, 0), qRgb(255, 255, 0)},
    };
    const double scale = 200.0 / 96.0;
    for (const Case& c : cases) {
        const auto shot = page->Capture(c.rect, scale);
        ASSERT_TRUE(shot) << shot.error.toStdString();
        const QImage& image = *shot.value;
        EXPECT_EQ(image.size(), QSize(int(std::ceil(c.rect.width() * scale)),
                                      int(std::ceil(c.rect.height() * scale))));
        EXPECT_EQ(image.pixel(int(c.first.x() * image.width()), int(c.first.y() * image.height())),
                  c.firstColor);
        EXPECT_EQ(
            image.pixel(int(c.second.x() * image.width()), int(c.second.y() * image.height())),
            c.secondColor);
    }
    EXPECT_FALSE(page->Capture({0, 0, 10000, 10000}, scale));  // never a whole long document
}

}  // namespace
}  // namespace kavel
