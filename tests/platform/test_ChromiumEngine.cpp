// The browser engine on the real headless Chromium: one browser for the whole program.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>

#include <signal.h>
#include <unistd.h>

#include "EngineSupport.h"
#include "TestHttpServer.h"
#include "common/TestSupport.h"
#include "platform/AddressPolicy.h"
#include "platform/ChromiumEngine.h"
#include "platform/ChromiumPage.h"
#include "platform/ComputedValues.h"

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

// A file of the program's temporary folder; its name.
QString TempFile(const QString& name, const QByteArray& bytes) {
    static QTemporaryDir folder;
    EXPECT_TRUE(test::WriteFile(folder.filePath(name), bytes));
    return folder.filePath(name);
}

// A 2 x 1 PNG file (red, blue).
QString PngFile() {
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 0, 255));
    const QString path = TempFile("pic.png", {});
    image.save(path, "PNG");
    return path;
}

std::shared_ptr<const LaidOutDocument> ReadPage(BrowserPage& page, const ReadLimits& limits = {}) {
    auto read = page.Read(limits);
    EXPECT_TRUE(read) << read.error.toStdString();
    return read ? *read.value : nullptr;
}

const char kLayoutDocument[] =
    "<!DOCTYPE html><html><head><meta charset=utf-8><style>"
    "body{margin:8px;font:16px 'Liberation Serif'} .box{border:3px solid "
    "#036;padding:4px;width:200px}"
    "table{border-collapse:collapse} td{border:1px solid #000;padding:2px}"
    "</style></head><body><div class=box>Box text</div>"
    "<table><tr><td>a1</td><td>b1 long</td></tr><tr><td>a2</td><td>中文单元格</td></tr></table>"
    "<p style='width:150px'>Inline text that surely wraps over <b>two lines</b> here</p>"
    "<p style='width:70px'>one two   three \t  four five   six   seven eight</p>"
    "<p style='width:60px;white-space:pre-line'>ab cd \n ef gh ij \n kl</p>"
    "<p style=\"font-family:'Noto Sans CJK "
    "SC'\">中文段落测试，浏览器排版后每一行的位置都要读回来以便分页</p>"
    "<div style='height:900px'></div><p id=far>far down</p></body></html>";

// Chromium's own answers: every element's bounding rectangle in document order, and for
// every non-blank text node its line boxes and, found character by character, where its
// lines after the first begin: at the first character with a box of its own on that line.
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
    for (let j = 1, k = 0; j < lines.length; j++) {
      const [cur, next] = [lines[j - 1], lines[j]];
      for (; k < n.length; k++) {
        range.setStart(n, k); range.setEnd(n, k + 1);
        const c = range.getClientRects()[0];
        if (c && (c.width > 0 || c.height > 0) && c.top >= next.top - 0.5 &&
            (c.top > cur.top + 0.5 || c.left >= next.left - 0.5)) { starts.push(k); break; }
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
    const QString file = TempFile("layout.html", kLayoutDocument);
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

// Elements alike but for their place, attributes, emptiness or the direction of their text
// are read with their own styles (the reader reads a style once for elements the sheets
// cannot tell apart), also where a sheet uses a later-sibling rule or :has() and nothing may
// be shared.
TEST(ChromiumEngine, EveryElementHasTheBrowsersComputedStyle) {
    QString body = "<div></div><div><b>1</b><b>2</b><b></b><b>4</b><b>5</b></div><div><i></i>";
    for (int i = 1; i <= 8; ++i) body += QStringLiteral("<b>%1</b>").arg(i);
    body += "<i></i></div><div></div><table>";
    for (int i = 0; i < 6; ++i) {
        body += QStringLiteral("<tr%1><td>%2</td><td%3>b</td></tr>")
                    .arg(i % 2 ? " class=a" : "")
                    .arg(i)
                    .arg(i % 3 ? "" : " style='color:red'");
    }
    body +=
        "</table><ul><li>a<li class=k>b<li>c<li>d<li>e</ul><p><i>x</i></p>"
        "<p><i>x</i><i class=z>y</i></p><p><i>x</i><i>y</i></p><p><i>x</i></p>"
        "<ol><li id=n1>1<li id=n2>2<li data-z=1>3<li>4<li id=n5>5<li>6</ol>"
        "<div><p>x</p><p dir=auto>שלום</p><p dir=auto>hello</p><p>y</p></div>";
    // Each sheet tells apart elements that only one part of the identity separates.
    const QString sheets[] = {
        "b:first-child{color:red} b:last-child{color:blue} b:first-of-type{font-style:italic}"
        "b:last-of-type{text-decoration:underline} b:empty{border-top-style:dotted}"
        "tr.a td{background:#eee}",
        "b:nth-child(4){color:red} b:nth-last-child(5){color:blue} b:nth-of-type(4){color:green}"
        "b:nth-last-of-type(7){color:olive}",
        ".k + li{color:green}",
        "p:has(.z) i{font-weight:bold}",
        "#n2{color:red} li[data-z]{font-style:italic}",
    };
    const QString properties[] = {"color",      "background-color",     "font-weight",
                                  "font-style", "text-decoration-line", "border-top-style",
                                  "direction"};
    const char* const kBrowserStyles =
        R"((() => [document.body, ...document.body.querySelectorAll('*')]
        .map(e => { const s = getComputedStyle(e);
                    return ['color', 'background-color', 'font-weight', 'font-style', 'text-decoration-line',
                            'border-top-style', 'direction'].map(q => s.getPropertyValue(q)); }))())";
    auto page = OpenPage(400, 300);
    for (const QString& sheet : sheets) {
        ASSERT_EQ(page->WriteDocument("<style>" + sheet + "</style>" + body).status,
                  LoadStatus::Complete);
        const auto doc = ReadPage(*page);
        ASSERT_TRUE(doc);
        const auto truth = page->Evaluate(kBrowserStyles);
        ASSERT_TRUE(truth) << truth.error.toStdString();
        const QJsonArray expected = truth.value->toArray();
        int element = 0;
        for (NodeId id = 0; id < doc->NodeCount(); ++id) {
            if (doc->Kind(id) != NodeKind::Element) continue;
            ASSERT_LT(element, expected.size());
            const QJsonArray values = expected[element++].toArray();
            for (int k = 0; k < values.size(); ++k) {
                EXPECT_EQ(
                    doc->Style(id, properties[k]).toStdString(),
                    MapComputedValue(properties[k], values[k].toString(), false).toStdString())
                    << properties[k].toStdString() << " of " << doc->Tag(id).toStdString() << " #"
                    << element << " with " << sheet.toStdString();
            }
        }
        EXPECT_EQ(element, expected.size());
    }
}

// The attributes that the conversion reads are in the mirror; a lazy picture far below the
// viewport is loaded before the read, and its bytes are there to draw from (also after a
// document that named nothing to load, which stays on a blank page of no address).
TEST(ChromiumEngine, TableAttributesAndALazyPictureFarBelowAreRead) {
    auto page = OpenPage();
    const QString png = PngFile();
    // Items carry a base address; it alone loads nothing, so no page is opened for it.
    const QString base =
        "<base href='" + QUrl::fromLocalFile(QDir::tempPath() + "/").toString() + "'>";
    ASSERT_EQ(page->WriteDocument(base + "<p>nothing to load</p>").status, LoadStatus::Complete);
    const auto address = page->Evaluate("location.href");
    ASSERT_TRUE(address);
    EXPECT_EQ(address.value->toString(), "about:blank");
    ASSERT_EQ(page->WriteDocument(base +
                                  "<table border=2 cellspacing=3 bordercolor=red><tr><td>x</td>"
                                  "</tr></table><div style='height:5000px'></div>"
                                  "<img loading=lazy src='" +
                                  QUrl::fromLocalFile(png).toString() + "'>")
                  .status,
              LoadStatus::Complete);
    const auto doc = ReadPage(*page);
    ASSERT_TRUE(doc);
    const NodeId table = doc->ElementsByTagName(doc->Root(), "table").first();
    EXPECT_EQ(QStringList({doc->Attribute(table, "border"), doc->Attribute(table, "cellSpacing"),
                           doc->Attribute(table, "bordercolor")}),
              QStringList({"2", "3", "red"}));
    const NodeId img = doc->ElementsByTagName(doc->Root(), "img").first();
    EXPECT_EQ(doc->Property(img, "naturalWidth").toInt(), 2);
    const auto bytes = page->ResourceContent(doc->Property(img, "currentSrc").toString());
    ASSERT_TRUE(bytes) << bytes.error.toStdString();
    EXPECT_EQ(*bytes.value, test::ReadFile(png));
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
    const pid_t first = test::SharedEngine()->BrowserPid();
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
    EXPECT_NE(test::SharedEngine()->BrowserPid(), first);
    const auto doc = ReadPage(*page);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->InnerText(doc->Root()), "after");
}

// A document written again as it stands is not laid out again; anything that may have
// changed it (a script run on the page, another width) makes the next write load it.
TEST(ChromiumEngine, TheSameDocumentWrittenAgainIsLaidOutOnce) {
    auto page = OpenPage(300, 400);
    const QString html = "<p>one two three four five six seven eight nine ten</p>";
    const auto writeAndRead = [&](const QString& document) {
        EXPECT_EQ(page->WriteDocument(document).status, LoadStatus::Complete);
        return ReadPage(*page);
    };
    const auto first = writeAndRead(html);
    ASSERT_TRUE(first);
    EXPECT_EQ(writeAndRead(html), first);

    ASSERT_TRUE(page->Evaluate("document.body.innerHTML = '<p>changed</p>'"));
    const auto again = writeAndRead(html);
    ASSERT_TRUE(again);
    EXPECT_NE(again, first);
    EXPECT_EQ(again->InnerText(again->Root()).trimmed(), first->InnerText(first->Root()).trimmed());

    page->Resize(150, 400);
    const auto narrow = writeAndRead(html);
    ASSERT_TRUE(narrow);
    EXPECT_LT(narrow->Rect(narrow->Root()).width(), first->Rect(first->Root()).width());

    // A document with a script is written again: the script may give it other content.
    const QString scripted = "<p><script>document.write(Math.random())</script></p>";
    const auto text = [&] {
        const auto doc = writeAndRead(scripted);
        return doc ? doc->InnerText(doc->Root()) : QString();
    };
    EXPECT_NE(text(), text());
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

    EXPECT_TRUE(test::SharedEngine()->Version().contains("Chrome/"))
        << test::SharedEngine()->Version().toStdString();
    EXPECT_FALSE(page->UserAgent().contains("Headless"));
    EXPECT_EQ(page->Evaluate("navigator.userAgent").value->toString(), page->UserAgent());
    page->SetUserAgent("KavelTest/1.0");
    EXPECT_EQ(page->Evaluate("navigator.userAgent").value->toString(), "KavelTest/1.0");
}

// A page of the web reaches neither the user's files nor this machine, by address or by
// picture, nor a name of this machine by what it resolves to; a local host page reaches both.
TEST(ChromiumEngine, ResourcePolicyRefusesLocalAddressesToPagesOfTheWeb) {
    TestHttpServer::Options gif;
    gif.body = "GIF89a";
    TestHttpServer local(gif);
    const QString pictures = "<base href='http://example.com/app/'><img src='" +
                             QUrl::fromLocalFile(PngFile()).toString() + "'><img src='" +
                             local.Url("/pic.gif") + "'>";
    for (const bool hostIsLocal : {false, true}) {
        SCOPED_TRACE(hostIsLocal);
        auto page = OpenPage();
        page->SetResourcePolicy({hostIsLocal, "http://example.com/app/index.html"});
        const int before = local.Requests();
        EXPECT_EQ(page->Navigate(local.Url("/page")).status == LoadStatus::Complete, hostIsLocal);
        EXPECT_EQ(local.Requests() > before, hostIsLocal);
        ASSERT_EQ(page->WriteDocument(pictures).status, LoadStatus::Complete);
        const auto doc = ReadPage(*page);
        ASSERT_TRUE(doc);
        const QList<NodeId> images = doc->ElementsByTagName(doc->Root(), "img");
        ASSERT_EQ(images.size(), 2);
        EXPECT_EQ(doc->Property(images[0], "naturalWidth").toInt() == 2, hostIsLocal);
        EXPECT_EQ(page->RefusedAddresses().contains(local.Url("/pic.gif")), !hostIsLocal);
    }
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    const QString machine = QString::fromLocal8Bit(name);
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
    EXPECT_FALSE(page->Capture({0, 0, 10000, 10000}, 2));  // never a whole long document
}

}  // namespace
}  // namespace kavel
