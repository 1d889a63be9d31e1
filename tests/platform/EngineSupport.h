// The browser engine for the test program: one real Chromium shared by every test.
#pragma once

#include <memory>

#include "platform/ChromiumEngine.h"
#include "platform/ChromiumPage.h"

namespace kavel::test {

inline std::shared_ptr<ChromiumEngine> SharedEngine() {
    static const auto engine = std::make_shared<ChromiumEngine>();
    return engine;
}

// A page of the shared browser; `local` is the resource policy's host page kind.
inline std::unique_ptr<ChromiumPage> OpenPage(int width = 600, int height = 400,
                                              bool local = true) {
    std::unique_ptr<ChromiumPage> page(
        static_cast<ChromiumPage*>(SharedEngine()->NewPage(width, height).release()));
    page->SetResourcePolicy({local, QString()});
    return page;
}

}  // namespace kavel::test
