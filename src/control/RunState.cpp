#include "control/RunState.h"

#include "html/ContentAdjust.h"

#include <QUrl>

namespace kavel {

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

}  // namespace kavel
