// Owns one pool per kind of result object and hands objects out by kind.
#ifndef CZU_INTERPLAY_OBJECT_MANAGER_H
#define CZU_INTERPLAY_OBJECT_MANAGER_H

#include "CKoUnknown.h"
#include "CZuInterplayObject.h"
#include "IKoPool.h"
#include "IZuInterplayObject.h"
#include "TKoSmartPtr.h"

// Six kinds; each pool starts with 20 objects and has no practical limit.
constexpr unsigned ZU_OBJECT_KIND_COUNT = 6;
constexpr unsigned ZU_POOL_INITIAL_COUNT = 20;
constexpr unsigned ZU_POOL_LIMIT = 0xFFFFFFFFu;

class CZuInterplayObjectManager : public IZuInterplayObjectManager, public CKoUnknown {
public:
    CZuInterplayObjectManager();
    // Releases every pool; a pool with objects out lives on until the last of
    // them comes back.
    ~CZuInterplayObjectManager() override;

    KO_DECLARE_DELEGATING_UNKNOWN

    // Answers IZuInterplayObjectManager; everything else goes to CKoUnknown.
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override;

    // An object of the kind with one reference for the caller. No pool for the
    // kind: ZU_E_FAILED; a pool that cannot hand out: its code. *out is
    // written only on success.
    STDMETHOD(GetInterplayObject)(unsigned kind, IZuInterplayObject** out) override;
    // Registers the six kinds in order and stops at the first failure, which
    // it returns; the kinds before it stay registered.
    STDMETHOD(Initialize)() override;

    // Creates the kind's pool (20 objects, no practical limit) with the
    // allocator and files it under kind, replacing a pool filed there before.
    HRESULT AddAllocatorToPoolManagers(IKoPoolAllocator* allocator, const wchar_t* poolName, unsigned kind);

#ifdef ZU_TEST_SEAMS
    // Test seam, in the test build of this layer only: makes chosen
    // allocations behave as if memory had run out.
    struct TestFaults {
        bool failCreate = false;    // CreateObjectManager gives null
        int failAllocatorKind = -1; // Initialize cannot make this kind's allocator
        int failPoolKind = -1;      // AddAllocatorToPoolManagers cannot make this kind's pool
    };
    static TestFaults s_testFaults;
#endif

private:
    // Only Initialize fills the table, before the manager is used; it is read
    // without a lock afterwards.
    TKoSmartPtr<CZuInterplayObjectPool> m_pools[ZU_OBJECT_KIND_COUNT];
};

// Makes a manager with no references and no pools; null when memory ran out.
// *result is S_OK. The outer unknown is not used.
CZuInterplayObjectManager* CreateObjectManager(IUnknown* outer, HRESULT* result);

#endif // CZU_INTERPLAY_OBJECT_MANAGER_H
