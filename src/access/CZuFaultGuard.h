// The fault guard of the operations whose work must never let a fault escape
// (GetLatest, Search): it runs the work and turns any exception thrown in it,
// and any fault the work raises on purpose, into the framework's message box
// with the operation's text and the result ZU_E_FAILED.
//
//   return CZuFaultGuard::Run(ZU_TEXT_FILE_DAMAGED, [&] {
//       ...
//       if (!response.File) CZuFaultGuard::Raise();   // ends the work as a fault
//       ...
//   });
//
// Without a fault Run returns S_OK, whatever the work's own result was. Only
// C++ exceptions are caught; the work must not rely on catching hardware
// faults (an access through a null pointer is a fault to prevent, not to
// catch).
#ifndef CZU_FAULT_GUARD_H
#define CZU_FAULT_GUARD_H

#include "KoCom.h"
#include "ZuResultCodes.h"

class CZuFaultGuard {
public:
    // Runs work() under the guard; messageBoxText is in GBK.
    template <class Work>
    static HRESULT Run(const char* messageBoxText, Work&& work) noexcept {
        try {
            work();
            return S_OK;
        } catch (...) {
            return Fail(messageBoxText);
        }
    }

    // Ends the guarded work as a fault.
    [[noreturn]] static void Raise();

private:
    struct Fault {};
    // Shows the message box; ZU_E_FAILED.
    static HRESULT Fail(const char* messageBoxText) noexcept;
};

#endif // CZU_FAULT_GUARD_H
