// The run state that the controls of one page share (see ControlContext).
#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/Color.h"

namespace kavel {

class TKavelX;

// The page that hosts the control.
struct THostPageInfo {
    QString Url;
    QString BaseUrl;
    QString Protocol;  // with its colon, such as "http:"
    QString Host;
    QString Port;
};

struct TRunState {
    QString strInbrowse;
    bool blOutputDone = false;
    bool blPreviewInBrowse = false;
    bool blSetupInBrowse = false;
    bool blDesignInBrowse = false;
    bool blShowModal = false;
    QPointer<TKavelX> LastControl;
    TColor intPanelColor = 0;
    // HTML loading (filled by the HTML subsystem).
    uint8_t HtmFontZoom = 0;
    uint8_t SavedTextZoom = 0;
    int32_t SavedOpticalZoom = 0;
    QString BrowserVersion;
    THostPageInfo HostPageInfo;
};

// Where the hosting page's address comes from: the local service sets the verified
// page address, the script runner the script's file URL, tests their own.
class HostPageProvider {
  public:
    virtual ~HostPageProvider() = default;
    virtual THostPageInfo Describe() = 0;
};
// A host page whose address is known and fixed (the script runner's script file).
class FixedHostPage : public HostPageProvider {
  public:
    explicit FixedHostPage(QString url) : url_(std::move(url)) {}
    THostPageInfo Describe() override;

  private:
    QString url_;
};
// The host page description of an address (protocol, host, port, directory).
THostPageInfo DescribeUrl(const QString& url);

}  // namespace kavel
