#include "CZuFaultGuard.h"

#include "KoMessageBox.h"
#include "ZuResultCodes.h"

void CZuFaultGuard::Raise() { throw Fault(); }

HRESULT CZuFaultGuard::Fail(const char* messageBoxText) noexcept {
    try {
        AfxMessageBox(messageBoxText, MB_OK, 0);
    } catch (...) {
        // A message box that fails must not turn the fault into a crash.
    }
    return ZU_E_FAILED;
}
