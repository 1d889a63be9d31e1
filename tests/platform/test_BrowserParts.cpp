// The pure parts of the browser engine: computed values, the address policy, the pipe's
// message framing.
#include <gtest/gtest.h>

#include <vector>

#include "platform/AddressPolicy.h"
#include "platform/CdpMessages.h"
#include "platform/ComputedValues.h"

namespace kavel {
namespace {

TEST(ComputedValues, BrowserValuesMappedForTheConversion) {
    struct Case {
        QString property, value;
        bool rightToLeft;
        QString want;
    } cases[] = {
        {"background-color", "rgba(0, 0, 0, 0)", false, "transparent"},
        {"color", "rgb(1, 2, 3)", false, "rgb(1, 2, 3)"},
        {"border-left-color", "rgba(255, 0, 0, 0.5)", false, "rgb(255, 128, 128)"},
        {"color", "rgb(0 0 255 / 25%)", false, "rgb(191, 191, 255)"},
        {"color", "color(srgb 1 0 0)", false, "color(srgb 1 0 0)"},
        {"border-top-color", "", false, ""},
        {"text-align", "start", false, "left"},
        {"text-align", "start", true, "right"},
        {"text-align", "end", false, "right"},
        {"text-align", "-webkit-center", false, "center"},
        {"text-align", "-webkit-right", false, "right"},
        {"text-align", "justify", false, "justify"},
        {"font-size", "13.3333px", false, "13.3333px"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapComputedValue(c.property, c.value, c.rightToLeft), c.want)
            << c.value.toStdString();
    }
    const std::pair<QString, QString> names[] = {
        {"fontSize", "font-size"},
        {"borderLeftWidth", "border-left-width"},
        {"textDecoration", "text-decoration-line"},
        {"white-space", "white-space"},
    };
    for (const auto& [name, css] : names) EXPECT_EQ(CssPropertyName(name), css);
}

TEST(AddressPolicy, PagesOfTheWebReachNeitherFilesNorThisMachineNorPrivateNetworks) {
    const ResourcePolicy web{false, "http://192.168.1.5/app/index.html"};
    const ResourcePolicy local{true, "file:///home/user/task.js"};
    struct Case {
        QString url;
        const ResourcePolicy& policy;
        AddressCheck want;
    } cases[] = {
        {"file:///etc/passwd", local, AddressCheck::Allowed},
        {"http://127.0.0.1:631/", local, AddressCheck::Allowed},
        {"file:///etc/passwd", web, AddressCheck::Refused},
        {"chrome://settings", web, AddressCheck::Refused},
        {"http://127.0.0.1:631/", web, AddressCheck::Refused},
        {"http://127.9.9.9/", web, AddressCheck::Refused},
        {"http://0.0.0.0:8080/", web, AddressCheck::Refused},
        {"http://2130706433/", web, AddressCheck::Refused},
        {"http://[::1]/", web, AddressCheck::Refused},
        {"http://[::ffff:127.0.0.1]/", web, AddressCheck::Refused},
        {"http://[fe80::1]/", web, AddressCheck::Refused},
        {"http://[fd00::1]/", web, AddressCheck::Refused},
        {"http://10.1.2.3/", web, AddressCheck::Refused},
        {"http://172.16.0.1/", web, AddressCheck::Refused},
        {"http://172.32.0.1/", web, AddressCheck::Allowed},
        {"http://192.168.7.7/", web, AddressCheck::Refused},
        {"http://169.254.169.254/latest", web, AddressCheck::Refused},
        {"http://LOCALHOST./", web, AddressCheck::Refused},
        {"http://printer.localhost/", web, AddressCheck::Refused},
        {"http://192.168.1.5/pic.png", web, AddressCheck::Allowed},  // the host page's server
        {"https://8.8.8.8/", web, AddressCheck::Allowed},
        {"http://[2001:db8::1]/", web, AddressCheck::Allowed},
        {"data:image/png;base64,AAAA", web, AddressCheck::Allowed},
        {"about:blank", web, AddressCheck::Allowed},
        {"https://example.com/a.png", web, AddressCheck::LookUpHost},
    };
    for (const Case& c : cases) {
        QString reason;
        EXPECT_EQ(CheckAddress(QUrl(c.url), c.policy, &reason), c.want) << c.url.toStdString();
        EXPECT_EQ(reason.isEmpty(), c.want != AddressCheck::Refused) << c.url.toStdString();
    }
}

TEST(CdpMessages, MessagesSplitAtNulBytesAndOversizedOnesKeepTheirId) {
    CdpMessageSplitter splitter(40);
    std::vector<CdpMessageSplitter::Message> out;
    const QByteArray big = "{\"id\":7,\"result\":{\"data\":\"" + QByteArray(100, 'x') + "\"}}";
    const QByteArray stream = "{\"id\":1,\"result\":{}}" + QByteArray(1, '\0') + big +
                              QByteArray(1, '\0') + "{\"method\":\"Page.loadEventFired\"}" +
                              QByteArray(1, '\0') + "{\"id\":";
    for (qsizetype at = 0; at < stream.size(); at += 9) {
        splitter.Feed(stream.constData() + at, std::min<qsizetype>(9, stream.size() - at), out);
    }
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].text, "{\"id\":1,\"result\":{}}");
    EXPECT_FALSE(out[0].oversized);
    EXPECT_TRUE(out[1].oversized);
    EXPECT_LE(out[1].text.size(), 64);
    EXPECT_EQ(LeadingReplyId(out[1].text), 7);
    EXPECT_EQ(LeadingReplyId(out[2].text), 0);
    EXPECT_EQ(out[2].text, "{\"method\":\"Page.loadEventFired\"}");
}

}  // namespace
}  // namespace kavel
