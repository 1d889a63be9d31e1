// What pages send the print service, read without a connection: messages, request heads,
// origins and the page addresses made from them.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "HttpRequest.h"
#include "OriginPolicy.h"
#include "ServiceProtocol.h"

namespace kavel::service {
namespace {

TEST(ServiceProtocol, MessagesBecomeCallsOrSayWhatIsWrong) {
    struct Case {
        const char* message;
        const char* error;  // empty: parsed
        InvokeKind kind = InvokeKind::Method;
        std::vector<Variant> args = {};
    } cases[] = {
        {R"({"id":1,"call":"add_print_text","args":[1,2.5,"x",true,null,{"$":"undefined"},[1]]})",
         "",
         InvokeKind::Method,
         {Variant::I4(1), Variant::R8(2.5), Variant::Str("x"), Variant::Bool(true), Variant::Null(),
          Variant(), Variant::Object()}},
        {R"({"id":"a","call":225,"args":[4294967296]})",
         "",
         InvokeKind::Method,
         {Variant::R8(4294967296.0)}},
        {R"({"id":2,"call":"Version"})", "", InvokeKind::PropertyGet},
        {R"({"id":3,"put":"Caption","args":["t"]})",
         "",
         InvokeKind::PropertyPut,
         {Variant::Str("t")}},
        {R"({"id":4,"call":"PRINT_INITT"})", "did you mean PRINT_INIT?"},
        {R"({"call":"PRINT"})", "every message has an id"},
        {R"({"id":{},"call":"PRINT"})", "every message has an id"},
        {R"({"id":5,"call":"PRINT","get":"Version"})", "one member"},
        {R"({"id":6,"call":"PRINT","args":"x"})", "args is an array"},
        {R"({"id":7,"call":1.5})", "whole number"},
        {R"({"id":8,"op":"reboot"})", "unknown op"},
        {R"([1,2])", "a JSON object"},
        {R"({"id":9,"call":"PRINT",)", "no JSON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Parsed parsed = ParseRequest(c.message);
        if (*c.error) {
            EXPECT_FALSE(parsed.request);
            EXPECT_TRUE(parsed.error.contains(c.error)) << parsed.error.toStdString();
            continue;
        }
        ASSERT_TRUE(parsed.request) << parsed.error.toStdString();
        EXPECT_EQ(parsed.request->kind, c.kind);
        ASSERT_EQ(parsed.request->args.size(), c.args.size());
        for (size_t i = 0; i < c.args.size(); ++i) {
            EXPECT_EQ(parsed.request->args[i].Type(), c.args[i].Type()) << i;
            EXPECT_EQ(parsed.request->args[i].Describe(), c.args[i].Describe()) << i;
        }
    }
    const QByteArray many = "{\"id\":1,\"call\":\"PRINT\",\"args\":[" +
                            QByteArray("0,").repeated(kMaxArguments) + "0]}";
    EXPECT_FALSE(ParseRequest(many).request);
}

TEST(ServiceProtocol, AnswersLeaveUndefinedOut) {
    EXPECT_EQ(Answer(1, Variant(), {}), R"({"id":1})");
    EXPECT_EQ(Answer("x", Variant::Null(), {"shown"}),
              R"({"id":"x","messages":["shown"],"result":null})");
    EXPECT_EQ(Failure(2, "no", {}), R"({"error":"no","id":2})");
}

TEST(OriginPolicy, OriginsAreComparedInOneForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://Shop.Example.com", "https://shop.example.com"},
        {"https://shop.example.com:443/", "https://shop.example.com"},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://[::1]:9", "http://[::1]:9"},
        {"null", nullptr},
        {"file:///home/user/page.html", nullptr},
        {"https://shop.example.com/path", nullptr},
        {"https://user@shop.example.com", nullptr},
        {"chrome-extension://abc", nullptr},
    };
    for (const auto& [given, wanted] : cases) {
        const auto origin = NormalizeOrigin(given);
        EXPECT_EQ(origin.has_value(), wanted != nullptr) << given;
        if (origin && wanted) {
            EXPECT_EQ(*origin, wanted);
        }
    }
}

TEST(OriginPolicy, TheReportedPathNeverLeavesTheVerifiedOrigin) {
    const QString origin = "https://shop.example.com";
    const std::pair<const char*, const char*> cases[] = {
        {"/orders/print.html?id=7", "https://shop.example.com/orders/print.html?id=7"},
        {"/a/../b.html", "https://shop.example.com/b.html"},
        {"//evil.example.net/x.html", "https://shop.example.com/"},
        {"https://evil.example.net/", "https://shop.example.com/"},
        {"/\\evil.example.net", "https://shop.example.com/"},
        {"/x\n.html", "https://shop.example.com/"},
        {"", "https://shop.example.com/"},
        {"x.html", "https://shop.example.com/"},
    };
    for (const auto& [path, wanted] : cases) EXPECT_EQ(PageAddress(origin, path), wanted) << path;
    // A host of other letters stays in the origin's encoded form.
    const QString foreign = NormalizeOrigin("https://shopҞxa.example.com:8443").value_or("");
    EXPECT_EQ(PageAddress(foreign, "/a/../b.html?q=1#top"), foreign + "/b.html?q=1");
}

TEST(OriginPolicy, TheListAndTheKeptAnswersDecideAndOnlyAUserIsAsked) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("ServiceOrigins.ini");
    OriginPolicy headless({"https://a.example"}, ini, false);
    EXPECT_EQ(headless.Decide("https://a.example"), OriginPolicy::Decision::Allowed);
    EXPECT_EQ(headless.Decide("https://b.example"), OriginPolicy::Decision::Refused);
    EXPECT_TRUE(headless.RefusalText("https://b.example").contains("--allow https://b.example"));
    ASSERT_TRUE(headless.Remember("https://b.example", true));
    ASSERT_TRUE(headless.Remember("https://c.example", false));
    OriginPolicy desktop({}, ini, true);
    EXPECT_EQ(desktop.Decide("https://b.example"), OriginPolicy::Decision::Allowed);
    EXPECT_EQ(desktop.Decide("https://c.example"), OriginPolicy::Decision::Refused);
    EXPECT_TRUE(desktop.RefusalText("https://c.example").contains("did not allow"));
    EXPECT_EQ(desktop.Decide("https://d.example"), OriginPolicy::Decision::Ask);
}

TEST(HttpRequest, HeadsAreReadWholeOrRefused) {
    HttpRequest r;
    EXPECT_EQ(ParseRequestHead("GET /kavel.js HTTP/1.1\r\nHost: 127.0.0.1:5", &r),
              HeadState::Incomplete);
    ASSERT_EQ(ParseRequestHead("GET /p/1.png?width=90 HTTP/1.1\r\nHost: 127.0.0.1:5\r\n"
                               "Upgrade: WebSocket\r\nConnection: keep-alive, Upgrade\r\n\r\n",
                               &r),
              HeadState::Complete);
    EXPECT_EQ(r.path, "/p/1.png");
    EXPECT_EQ(r.query, "width=90");
    EXPECT_TRUE(r.IsWebSocketUpgrade());
    EXPECT_TRUE(IsLoopbackHost(r.Header("host"), 5));
    for (const char* bad :
         {"GET http://x/ HTTP/1.1\r\n\r\n", "GET / SPDY\r\n\r\n",
          "GET / HTTP/1.1\r\nno colon\r\n\r\n", "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n"}) {
        EXPECT_EQ(ParseRequestHead(bad, &r), HeadState::Bad) << bad;
    }
    EXPECT_EQ(ParseRequestHead(QByteArray(kMaxRequestHead + 1, 'a'), &r), HeadState::Bad);
    for (const char* host : {"127.0.0.1:6", "evil.example:5", "127.0.0.1.evil.example:5", ""}) {
        EXPECT_FALSE(IsLoopbackHost(host, 5)) << host;
    }
}

}  // namespace
}  // namespace kavel::service
