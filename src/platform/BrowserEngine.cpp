#include "platform/BrowserEngine.h"

#include <utility>

#include "platform/ChromiumEngine.h"

namespace kavel {

namespace {

std::shared_ptr<BrowserEngine>& CurrentEngine() {
    static std::shared_ptr<BrowserEngine> engine;
    return engine;
}

}  // namespace

BrowserEngine& Browser() {
    std::shared_ptr<BrowserEngine>& engine = CurrentEngine();
    if (!engine) engine = std::make_shared<ChromiumEngine>();
    return *engine;
}

std::shared_ptr<BrowserEngine> SetBrowserEngine(std::shared_ptr<BrowserEngine> engine) {
    return std::exchange(CurrentEngine(), std::move(engine));
}

}  // namespace kavel
