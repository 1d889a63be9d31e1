// The browser engine: starting it cold, and loading and reading documents with a warm one
// (the 2,000-row table with head and foot, a mixed document of ten sections, a small HTML
// item), plus a picture of a far-down row. Counters: the layout reply's size and the
// number of elements and text lines read.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QUrl>

#include "control/ModiControls.h"
#include "html/KvlHtmlUnit.h"
#include "platform/ChromiumEngine.h"
#include "platform/ChromiumPage.h"
#include "platform/PageScripts.h"

namespace kavel::bench {

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

QString Save(const QString& name, const QString& text) {
    QFile file(Folder().filePath(name));
    if (file.open(QIODevice::WriteOnly)) file.write(text.toUtf8());
    return QUrl::fromLocalFile(file.fileName()).toString();
}

QString TableDocument(int rows = 2000, int columns = 5) {
    QString html =
        "<!DOCTYPE html><html><head><meta charset='utf-8'><style>"
        "body{font-family:'宋体';font-size:12px;margin:8px}"
        "table{border-collapse:collapse;width:100%;border:2px solid #000}"
        "td,th{border:1px solid #333;padding:2px 4px;text-align:left}"
        "thead th{background:#ddd;font-weight:bold;text-align:center}"
        "tbody tr:nth-child(even){background:#eef}tfoot td{background:#ffd;font-style:italic}"
        "</style></head><body><table id=t><thead><tr>";
    for (int c = 0; c < columns; ++c) html += QStringLiteral("<th>Column %1 列</th>").arg(c + 1);
    html += "</tr></thead><tfoot><tr>";
    for (int c = 0; c < columns; ++c) html += QStringLiteral("<td>Foot %1 合计</td>").arg(c + 1);
    html += "</tr></tfoot><tbody>\n";
    for (int r = 0; r < rows; ++r) {
        html += "<tr>";
        for (int c = 0; c < columns; ++c) {
            html +=
                QStringLiteral("<td>R%1C%2 数据 value %3</td>").arg(r).arg(c).arg(r * columns + c);
        }
        html += "</tr>\n";
    }
    return html + "</tbody></table></body></html>\n";
}

QString MixedDocument() {
    const QString lorem =
        "The quick brown fox jumps over the lazy dog while the printer waits for the next page, "
        "and every line of this paragraph must wrap several times at the item width. ";
    const QString cjk =
        "中文段落测试：浏览器排版后每一行的位置都要读回来，以便在页边界按行拆分。宋体与黑体混排，标"
        "点符号，全角字符。";
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(Folder().filePath("pic.png"));
    QString html =
        "<!DOCTYPE html><html><head><meta charset='utf-8'><style>"
        "body{font-family:Arial;font-size:14px;margin:10px 12px}h1{font-size:24px;color:#036}"
        "h2{font-size:18px;border-bottom:1px solid #999}.cjk{font-family:'宋体';font-size:16px}"
        ".ib{display:inline-block;width:120px;height:40px;border:2px dashed #c00;background:#fee}"
        "</style></head><body><h1>Mixed document 混合文档</h1>";
    const QString sections[] = {
        "<p>Plain <b>bold words</b> <i>italic words</i> and <b><i>both</i></b>. " + lorem + lorem +
            "</p>",
        "<p class=cjk>" + cjk + cjk + cjk +
            "<span style='font-family:黑体'>黑体文字</span> Latin 与中文.</p>",
        "<p>Image: <img src='pic.png' width=200 height=100> after the image.</p>",
        "<p>Boxes: <span class=ib>box 1 盒子</span><span class=ib>box 2 盒子</span> end.</p>",
        "<p style='text-align:center'>   Whitespace    collapsing\n\n  test:  <u>  underlined</u> "
        "end. </p>",
        "<p style='text-align:right'>Right aligned paragraph. " + lorem + "</p>",
        "<p>Longword: Supercalifragilisticexpialidocious" + QString(120, 'A') + " tail.</p>",
        "<p><input type=text value='input value'> <input type=checkbox checked> <s>struck</s></p>",
        "<p>" + lorem + lorem + lorem + lorem + "</p>",
        "<table border=1><tr><td>a</td><td>b</td></tr><tr><td>中</td><td>文</td></tr></table>",
    };
    int n = 0;
    for (const QString& section : sections)
        html += QStringLiteral("<h2>Section %1</h2>").arg(++n) + section;
    return html + "</body></html>";
}

const QString kSmallItem =
    "<h3>Doc</h3><p style='font-family:Arial'>The quick brown fox jumps over the lazy dog, and "
    "the printer waits for the next page.</p><p "
    "style='font-family:宋体'>中文段落测试：每一行的位置都要读回来。</p>"
    "<table border=1><tr><td>a</td><td>b</td></tr></table>";

std::shared_ptr<ChromiumEngine>& Engine() {
    static auto engine = std::make_shared<ChromiumEngine>();
    return engine;
}

ChromiumPage& Page() {
    static std::unique_ptr<BrowserPage> page = [] {
        auto p = Engine()->NewPage(700, 600);
        p->SetResourcePolicy({true, QString()});
        return p;
    }();
    return static_cast<ChromiumPage&>(*page);
}

void Report(benchmark::State& state, ChromiumPage& page, const LaidOutDocument& doc) {
    int elements = 0, lines = 0;
    for (NodeId id = 0; id < doc.NodeCount(); ++id) {
        if (doc.Kind(id) == NodeKind::Element)
            ++elements;
        else
            lines += int(doc.Lines(id).size());
    }
    state.counters["reply_KB"] = double(page.LastReplyBytes()) / 1000.0;
    state.counters["elements"] = elements;
    state.counters["lines"] = lines;
}

// Loads with `load` and reads, each iteration.
template <class Load>
void LoadAndRead(benchmark::State& state, Load load) {
    ChromiumPage& page = Page();
    std::shared_ptr<const LaidOutDocument> doc;
    // Warm: the page exists and has loaded this kind of document once before timing.
    if (load(page).status != LoadStatus::Complete || !page.Read()) {
        state.SkipWithError("the warm-up load failed");
        return;
    }
    for (auto _ : state) {
        const LoadResult loaded = load(page);
        if (loaded.status != LoadStatus::Complete) {
            state.SkipWithError(("load: " + loaded.error).toUtf8().constData());
            return;
        }
        auto read = page.Read();
        if (!read) {
            state.SkipWithError(read.error.toUtf8().constData());
            return;
        }
        doc = *read.value;
    }
    Report(state, page, *doc);
}

void BM_ColdStart(benchmark::State& state) {
    for (auto _ : state) {
        auto engine = std::make_shared<ChromiumEngine>();
        const QString why = engine->Start();
        if (!why.isEmpty()) {
            state.SkipWithError(why.toUtf8().constData());
            return;
        }
        state.PauseTiming();
        engine.reset();  // ending the browser is not part of the start
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ColdStart)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// Start, a page, a small item loaded and read: what the first HTML item of a run costs.
void BM_ColdFirstItem(benchmark::State& state) {
    for (auto _ : state) {
        auto engine = std::make_shared<ChromiumEngine>();
        auto page = engine->NewPage(700, 600);
        page->SetResourcePolicy({true, QString()});
        if (page->WriteDocument(kSmallItem).status != LoadStatus::Complete || !page->Read()) {
            state.SkipWithError("the first item failed");
            return;
        }
        state.PauseTiming();
        page.reset();
        engine.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ColdFirstItem)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_WarmTableNavigateRead(benchmark::State& state) {
    const QString url = Save("table.html", TableDocument());
    LoadAndRead(state, [&](ChromiumPage& page) { return page.Navigate(url); });
}
BENCHMARK(BM_WarmTableNavigateRead)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Each write another document (a comment apart): the same one again is not loaded again.
QString Another(const QString& html) {
    static int written = 0;
    return html + QStringLiteral("<!-- %1 -->").arg(++written);
}

void BM_WarmTableWriteRead(benchmark::State& state) {
    const QString html = TableDocument();
    LoadAndRead(state, [&](ChromiumPage& page) { return page.WriteDocument(Another(html)); });
}
BENCHMARK(BM_WarmTableWriteRead)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same table written again to the page that shows it: neither loaded nor read again.
void BM_WarmTableSameAgain(benchmark::State& state) {
    const QString html = TableDocument();
    LoadAndRead(state, [&](ChromiumPage& page) { return page.WriteDocument(html); });
}
BENCHMARK(BM_WarmTableSameAgain)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The parts of the table's load and read apart: the load alone, the read alone (of the
// same loaded document), and decoding the reply into the mirror.
void BM_WarmTableNavigateOnly(benchmark::State& state) {
    const QString url = Save("table.html", TableDocument());
    Page().Navigate(url);
    for (auto _ : state) {
        if (Page().Navigate(url).status != LoadStatus::Complete) {
            state.SkipWithError("the table did not load");
            return;
        }
    }
}
BENCHMARK(BM_WarmTableNavigateOnly)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_WarmTableReadOnly(benchmark::State& state) {
    if (Page().Navigate(Save("table.html", TableDocument())).status != LoadStatus::Complete) {
        state.SkipWithError("the table did not load");
        return;
    }
    for (auto _ : state) {
        if (!Page().Read()) {
            state.SkipWithError("the read failed");
            return;
        }
    }
}
BENCHMARK(BM_WarmTableReadOnly)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_DecodeTableReply(benchmark::State& state) {
    ChromiumPage& page = Page();
    const auto reply = page.Evaluate(page.Navigate(Save("table.html", TableDocument())).status ==
                                             LoadStatus::Complete
                                         ? LayoutReadScript({})
                                         : QString("''"));
    const QByteArray json = reply ? LayoutReplyJson(*reply.value) : QByteArray();
    if (json.isEmpty()) {
        state.SkipWithError("no reply");
        return;
    }
    for (auto _ : state) {
        if (!LaidOutDocument::FromReply(json)) {
            state.SkipWithError("the reply did not decode");
            return;
        }
    }
}
BENCHMARK(BM_DecodeTableReply)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_WarmMixedNavigateRead(benchmark::State& state) {
    const QString url = Save("mixed.html", MixedDocument());
    LoadAndRead(state, [&](ChromiumPage& page) { return page.Navigate(url); });
}
BENCHMARK(BM_WarmMixedNavigateRead)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

void BM_WarmSmallItemWriteRead(benchmark::State& state) {
    LoadAndRead(state, [](ChromiumPage& page) { return page.WriteDocument(Another(kSmallItem)); });
}
BENCHMARK(BM_WarmSmallItemWriteRead)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

// A picture of row 1500 of the table at 300 dpi: scrolled into view, then captured.
void BM_WarmCaptureFarDownRow(benchmark::State& state) {
    ChromiumPage& page = Page();
    if (page.Navigate(Save("table.html", TableDocument())).status != LoadStatus::Complete) {
        state.SkipWithError("the table did not load");
        return;
    }
    auto read = page.Read();
    if (!read) {
        state.SkipWithError(read.error.toUtf8().constData());
        return;
    }
    const LaidOutDocument& doc = **read.value;
    const QRectF row = doc.Rect(doc.ElementsByTagName(doc.Root(), "tr").at(1500));
    for (auto _ : state) {
        if (!page.Capture(row, 300.0 / 96.0)) {
            state.SkipWithError("the capture failed");
            return;
        }
    }
}
BENCHMARK(BM_WarmCaptureFarDownRow)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// What one HTML picture item costs before an output: a page from the pool, the small item
// written and read, its picture taken at 200 dots per inch, the page given back.
void BM_WarmHtmlPictureItem(benchmark::State& state) {
    TImageBox box(nullptr);
    box.resize(700, 300);
    const ControlContext world;  // no host page: the item may reach this machine
    PrepareHtmlItem(cdtHtml, box, 0, false, kSmallItem, 96, world);
    for (auto _ : state) {
        if (!PrepareHtmlItem(cdtHtml, box, 0, false, kSmallItem, 96, world)->FDocument ||
            box.Picture().isNull()) {
            state.SkipWithError("the item was not prepared");
            return;
        }
    }
}
BENCHMARK(BM_WarmHtmlPictureItem)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

}  // namespace

}  // namespace kavel::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("FONTCONFIG_FILE")) {
        qputenv("FONTCONFIG_FILE", KAVEL_SOURCE_DIR "/data/fonts.conf");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kavel::SetBrowserEngine(kavel::bench::Engine());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kavel::bench::Engine().reset();
    return 0;
}
