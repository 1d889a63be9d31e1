// Converted trees of small real documents laid out by the browser.
#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "control/ModiControls.h"
#include "html/KvlHtmlUnit.h"
#include "html/TrodeTree.h"

using namespace kavel;

namespace {

std::unique_ptr<TkvlWebForm> Prepare(TPRNDataType kind, const QString& html, int width = 300) {
    TImageBox box(nullptr);
    box.resize(width, 60);
    return PrepareHtmlItem(kind, box, 0, false, html, 96, test::Context());
}

QString Dump(const std::unique_ptr<TPRNTrode>& tree) {
    return tree ? DumpTrodeTree(*tree) : QStringLiteral("(none)");
}

}  // namespace

TEST(Trodes, DocumentsConvertToBoxesAndRunsWhereTheBrowserPutThem) {
    struct Case {
        const char* name;
        const char* html;
        const char* dump;
    } cases[] = {
        {"runs per node and line, each in its own font",
         "<p style='margin:0;font:16px Arial'>one <b>two</b> <i>three</i> and a longer tail "
         "that wraps</p>",
         "body 0,0 284x44 font Times New Roman 120 #000000 style 0\n"
         "  p 0,0 284x36 font Arial 120 #000000 style 0\n"
         "      \"one\" 0,0 31x17\n"
         "    b 31,0 28x17 font Arial 120 #000000 style 1\n"
         "        \"two\" 31,0 28x17\n"
         "    i 63,0 37x17 font Arial 120 #000000 style 2\n"
         "        \"three\" 63,0 37x17\n"
         "      \" and a longer tail that\" 100,0 149x17\n"
         "      \"wraps\" 0,18 43x17\n"},
        {"borders (sides of their own too), backgrounds, hidden content left out, pictures, input "
         "values",
         "<div style='border:2px solid #336;background:#eef;font:12px Arial;padding:2px'>x"
         "<span style='display:none'>gone</span><span style='visibility:hidden'>gone</span>"
         "<noscript>gone</noscript><input type=hidden value=gone></div>"
         "<hr style='margin:0'><input value='v1' style='width:50px'>"
         "<p style='margin:0;border-top:2px dotted green'>t</p>"
         "<p style='margin:0;border-left:3px dashed red;border-right:1px solid blue'>lr</p>",
         "body 0,0 284x83 font Times New Roman 120 #000000 style 0\n"
         "  div 0,0 284x22 font Arial 90 #000000 style 0 back #eeeeff border 2,2,2,2 #333366\n"
         "      \"x\" 4,4 6x14\n"
         "  hr 0,22 284x2 font Times New Roman 120 #808080 style 0 border 1,1,1,1 #404040 "
         "picture\n"
         "  input 0,24 50x21 font Arial 100 #000000 style 0 border 2,2,2,2 #3b3b3b picture\n"
         "    \"v1\" 4,24 46x21\n"
         "  p 0,45 284x20 font Times New Roman 120 #000000 style 0 border 0,2,0,0 #008000\n"
         "      \"t\" 0,47 4x17\n"
         "  p 0,65 284x18 font Times New Roman 120 #000000 style 0 border 3,0,1,0 #6a6864\n"
         "      \"lr\" 3,65 10x17\n"},
    };
    for (const Case& c : cases) {
        const auto form = Prepare(cdtHtmText, c.html);
        EXPECT_EQ(Dump(form->FBodyTree).toStdString(), c.dump) << c.name;
    }
}

TEST(Trodes, TablesSplitIntoHeadBodyAndFoot) {
    const auto form = Prepare(
        cdtTable,
        "<table border=1 cellspacing=0 style='font:12px Arial'><thead><tr><th>H</th></tr></thead>"
        "<tbody><tr><td>r1</td></tr><tr><td>r2</td></tr></tbody>"
        "<tfoot><tr><td>F</td></tr></tfoot></table>");
    ASSERT_TRUE(form->FTheadTree && form->FBodyTree && form->FTfootTree);
    // The body's first row starts where the head ends; the head is not in the body.
    const QString body = Dump(form->FBodyTree);
    EXPECT_FALSE(body.contains("\"H\"")) << body.toStdString();
    EXPECT_TRUE(body.contains("\"r1\" ")) << body.toStdString();
    EXPECT_GT(form->FTheadTree->ContentBottom, 0);
    EXPECT_TRUE(Dump(form->FTfootTree).contains("\"F\""));

    // Without a head the head tree is empty and prints nothing.
    const auto plain = Prepare(cdtTable, "<table><tr><td>only</td></tr></table>");
    ASSERT_TRUE(plain->FTheadTree);
    EXPECT_EQ(plain->FTheadTree->ContentBottom, 0);
    EXPECT_TRUE(plain->FTheadTree->Children.empty());
}

TEST(Trodes, DeepNestingIsCutAtTheStatedLimitWithoutCrashing) {
    // The parser stops nesting at a few hundred levels; script does not.
    const auto nested = [](int levels) {
        return QStringLiteral(
                   "<div id=d></div><script>let e = document.getElementById('d');"
                   "for (let i = 0; i < %1; i++) e = e.appendChild("
                   "document.createElement('span')); e.textContent = 'deep';</script>")
            .arg(levels);
    };
    auto form = Prepare(cdtHtmText, nested(1500));
    ASSERT_TRUE(form->FBodyTree) << form->Problem().toStdString();
    EXPECT_TRUE(form->Problem().contains("nested deeper than 1000 levels"))
        << form->Problem().toStdString();
    // So deep that the browser's own page gives up: the item says why and prints nothing.
    form = Prepare(cdtHtmText, nested(10000));
    EXPECT_FALSE(form->FBodyTree);
    EXPECT_FALSE(form->Problem().isEmpty());
}
