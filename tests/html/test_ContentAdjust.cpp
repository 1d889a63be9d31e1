#include <gtest/gtest.h>

#include "html/ContentAdjust.h"

namespace kavel {
namespace {

const QString kBase = "http://shop.example/dir/";

TEST(ContentAdjust, HtmlIsCleanedAsTheTaskKeepsIt) {
    struct Case {
        const char* what;
        QString html;
        QString kept;
    };
    const Case cases[] = {
        {"a base tag in front of a fragment without one", "<b>x</b>",
         "<base href=\"http://shop.example/dir/\"/><b>x</b>"},
        {"the control's own object tag removed, over lines too",
         "<p>a</p><OBJECT "
         "id=k\r\nclassid=\"clsid:b1d7f3e8-e39d-4df8-ba3e-48b6d88eecea\">\r\n</object><p>b</p>"
         "<base href=x>",
         "<p>a</p><p>b</p><base href=x>"},
        {"a percent-encoded base tag kept decoded",
         "<base href=\"http://h/%E6%96%87+a%%\"><i>x</i>",
         "<base href=\"http://h/文 a%\"><i>x</i>"},
        {"blank lines of CR-LF text collapsed", "<base href=x>a\r\n  \r\n\r\nb",
         "<base href=x>a\r\nb"},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanHtmlContent(c.html, kBase), c.kept) << c.what;
}

TEST(ContentAdjust, AddressesResolveAgainstTheHostPagesFolder) {
    struct Case {
        QString address, base, kept;
    };
    const Case cases[] = {
        {"img/a.png", kBase, "http://shop.example/dir/img/a.png"},
        {"/img/a.png", kBase, "http://shop.example/dir/img/a.png"},  // the folder, not the root
        {"x/../y.htm", kBase, "http://shop.example/dir/y.htm"},
        {"a/./b/c/../../d.htm", kBase, "http://shop.example/dir/a/d.htm"},
        {"HTTP://other/x/../y.htm", kBase, "HTTP://other/x/../y.htm"},  // a scheme: unchanged
        {"file:///tmp/a.html", kBase, "file:///tmp/a.html"},
        {"y.htm", "", "y.htm"},  // no host page: unchanged
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormalizeItemUrl(c.address, c.base), c.kept) << c.address.toStdString();
    }
}

TEST(ContentAdjust, FoldersAndSchemesOfAddresses) {
    const std::pair<QString, QString> folders[] = {
        {"", "/"},
        {"http://h/a/b.html", "http://h/a/"},
        {"http://h/a/", "http://h/a/"},
        {"http://h", "http://h/"},
        {"file:///home/u/x.js", "file:///home/u/"},
        {"C:\\pages\\x.htm", "C:\\pages\\x.htm/"},
    };
    for (const auto& [address, folder] : folders) {
        EXPECT_EQ(UrlDirectory(address), folder) << address.toStdString();
    }
    EXPECT_EQ(StripUrlSchemes("https://h:8080/file://x"), "h:8080/x");
    EXPECT_EQ(RegexFirstMatch("x MSIE 8.0; y", "msie *[\\d]+.[\\d]+"), "MSIE 8.0");
    EXPECT_EQ(RegexReplaceAll("a(b", "(", "x"), "a(b");  // a broken pattern changes nothing
}

}  // namespace
}  // namespace kavel
