// The error vocabulary of the interface methods: return-on-failure helpers and
// the one boundary that keeps exceptions from crossing the interface.
//
//   HRESULT CZuThing::Method(IZuList** out) {
//       KO_RETURN_HR_IF(ZU_E_INVALIDARG, !out);
//       return KoBoundary([&]() -> HRESULT {
//           TKoSmartPtr<IZuList> list;
//           KO_RETURN_IF_FAILED(CreateList(list.put()));
//           KO_RETURN_HR_IF_NULL(ZU_E_FAILED, list);
//           ...
//       });
//   }
#ifndef KO_RESULT_H
#define KO_RESULT_H

#include <new>

#include "KoCom.h"
#include "ZuResultCodes.h"

// Evaluates the expression once and returns its result when that is a failure.
#define KO_RETURN_IF_FAILED(expression)            \
    do {                                           \
        const HRESULT ko_result_ = (expression);   \
        if (FAILED(ko_result_)) return ko_result_; \
    } while (0)

// Returns result when the condition holds.
#define KO_RETURN_HR_IF(result, condition) \
    do {                                   \
        if (condition) return (result);    \
    } while (0)

// Returns result when the pointer (raw or smart) holds nothing.
#define KO_RETURN_HR_IF_NULL(result, pointer) \
    do {                                      \
        if (!(pointer)) return (result);      \
    } while (0)

// Queries from for the interface iid, stored into *out with its reference.
template <class From, class Q>
HRESULT KoQueryInterface(From* from, REFIID iid, Q** out) {
    return from->QueryInterface(iid, reinterpret_cast<void**>(out));
}

// Runs an interface method's work so that nothing thrown in it leaves the
// method: memory that runs out becomes ZU_E_OUTOFMEMORY, anything else
// ZU_E_FAILED; otherwise the work's own result. Every operation that is not
// under the fault guard (CZuFaultGuard) runs its work through this.
template <class Work>
HRESULT KoBoundary(Work&& work) noexcept {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return ZU_E_OUTOFMEMORY;
    } catch (...) {
        return ZU_E_FAILED;
    }
}

#endif // KO_RESULT_H
