// Member bodies run like safecall methods: an error that escapes becomes a failing
// result whose text the caller can read (LastErrorText).
#pragma once

#include <exception>

#include "control/Kavel_TLB.h"

namespace kavel {

template <class Body>
HRESULT SafeCall(Body&& body) {
    try {
        body();
        return S_OK;
    } catch (const KavelError& e) {
        SetLastErrorText(e.Text());
    } catch (const std::exception& e) {
        SetLastErrorText(QString::fromUtf8(e.what()));
    }
    return DISP_E_EXCEPTION;
}

}  // namespace kavel
