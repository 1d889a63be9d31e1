#include "control/RunState.h"

#include "html/ContentAdjust.h"

#include <QUrl>
#include <memory>

namespace kavel {

TRunState& RunState() {
    static TRunState state;
    return state;
}

namespace {
std::shared_ptr<HostPageProvider>& Provider() {
    static std::shared_ptr<HostPageProvider> provider;
    return provider;
}
}  // namespace

void SetHostPageProvider(std::shared_ptr<HostPageProvider> provider) {
    Provider() = std::move(provider);
}

THostPageInfo DescribeUrl(const QString& address) {
    THostPageInfo info;
    if (address.trimmed().compare("about:blank", Qt::CaseInsensitive) == 0) return info;
    const QUrl url(address);
    info.Url = address;
    if (!url.isValid() || url.scheme().isEmpty()) return info;
    info.Protocol = url.scheme() + ":";
    info.Host = url.host();
    const int defaultPort = url.scheme() == "https" ? 443 : (url.scheme() == "http" ? 80 : -1);
    const int port = url.port(defaultPort);
    info.Port = port < 0 ? QString() : QString::number(port);
    info.BaseUrl = UrlDirectory(address);
    return info;
}

THostPageInfo FixedHostPage::Describe() {
    return DescribeUrl(url_);
}

THostPageInfo GetHostPageInfo() {
    THostPageInfo info;
    if (Provider()) info = Provider()->Describe();
    RunState().HostPageInfo = info;
    return info;
}

}  // namespace kavel
