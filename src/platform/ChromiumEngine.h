// The browser engine on headless Chromium, driven over its debugging pipe (CDP). One browser
// process serves every page of the process; it starts on first use, and a new one starts
// when it has died. It is ended, with its helper processes and its profile folder, when the
// application object goes or the engine is destroyed.
#pragma once

#include <QString>
#include <memory>
#include <utility>

#include "platform/BrowserEngine.h"
#include "platform/ChromiumProcess.h"

namespace kavel {

class CdpConnection;

// Create with std::make_shared: pages keep a weak reference to their engine.
class ChromiumEngine : public BrowserEngine, public std::enable_shared_from_this<ChromiumEngine> {
  public:
    explicit ChromiumEngine(ChromiumOptions options = {});
    ~ChromiumEngine() override;

    QString Start() override;
    QString Version() override;
    std::unique_ptr<BrowserPage> NewPage(int widthCss, int heightCss) override;

    // For pages: the running browser's connection, started when needed; null with the
    // reason when the browser cannot start.
    std::shared_ptr<CdpConnection> Connection(QString* error);
    // Counts the browsers started; a page whose target belongs to an earlier one makes a new
    // target.
    int Generation() const { return generation_; }
    // The browser's user agent as a normal (not headless) browser gives it.
    QString DefaultUserAgent() const { return userAgent_; }
    // An empty page of our own (file:), over which documents of local host pages are
    // written so that their file: references load.
    QString BlankPageUrl() const { return blankUrl_; }
    // The blank page the browser opened with, for the first page that needs one; empty
    // once taken. Its renderer starts with the browser, so taking it is faster than opening
    // a page.
    QString TakeFirstTarget() { return std::exchange(firstTarget_, QString()); }
    // The browser process; 0 when none runs.
    pid_t BrowserPid() const;
    // Ends the browser now; pages waiting on it fail, the next use starts a new one. At the
    // program's end the browser is not waited for.
    void Shutdown(bool programEnds = false);

  private:
    ChromiumOptions options_;
    std::unique_ptr<ChromiumProcess> process_;
    std::shared_ptr<CdpConnection> connection_;
    int generation_ = 0;
    QString product_, userAgent_, blankUrl_, firstTarget_;
};

}  // namespace kavel
