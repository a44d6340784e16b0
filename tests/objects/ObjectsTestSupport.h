// Helpers for the result object tests: a manager made the way the access
// object makes it, typed hand-outs and reference counts read through the
// public interfaces.
#ifndef OBJECTS_TEST_SUPPORT_H
#define OBJECTS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include "CZuInterplayObjectManager.h"
#include "IZuInterplayAssetDescription.h"
#include "IZuInterplayMobAttribute.h"
#include "IZuInterplayMobLocator.h"
#include "TKoSmartPtr.h"
#include "ZuResultCodes.h"

namespace zutest {

// The count as the object's own AddRef and Release report it. Safe on any
// object that is out of its pool (count 2 or more) and on idle ones.
inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// A manager with one reference, initialised; null when creation failed.
inline IZuInterplayObjectManager* MakeManager(HRESULT* initialized = nullptr) {
    HRESULT hr = S_OK;
    CZuInterplayObjectManager* object = CreateObjectManager(nullptr, &hr);
    if (!object) return nullptr;
    IZuInterplayObjectManager* manager = nullptr;
    object->NonDelegatingQueryInterface(IID_IZuInterplayObjectManager, reinterpret_cast<void**>(&manager));
    hr = manager->Initialize();
    if (initialized) *initialized = hr;
    return manager;
}

// Interface and kind of each result object interface.
template <class I>
struct KindOf;
template <>
struct KindOf<IZuInterplayAssetDescription> {
    static constexpr unsigned kind = ZU_KIND_ASSET_DESCRIPTION;
    static constexpr const IID& iid = IID_IZuInterplayAssetDescription;
};
template <>
struct KindOf<IZuInterplayAssetsDescriptionsList> {
    static constexpr unsigned kind = ZU_KIND_ASSETS_DESCRIPTIONS_LIST;
    static constexpr const IID& iid = IID_IZuInterplayAssetsDescriptionsList;
};
template <>
struct KindOf<IZuInterplayMobAttribute> {
    static constexpr unsigned kind = ZU_KIND_MOB_ATTRIBUTE;
    static constexpr const IID& iid = IID_IZuInterplayMobAttribute;
};
template <>
struct KindOf<IZuInterplayMobAttributeList> {
    static constexpr unsigned kind = ZU_KIND_MOB_ATTRIBUTE_LIST;
    static constexpr const IID& iid = IID_IZuInterplayMobAttributeList;
};
template <>
struct KindOf<IZuInterplayMobLocator> {
    static constexpr unsigned kind = ZU_KIND_MOB_LOCATOR;
    static constexpr const IID& iid = IID_IZuInterplayMobLocator;
};
template <>
struct KindOf<IZuInterplayMobLocatorList> {
    static constexpr unsigned kind = ZU_KIND_MOB_LOCATOR_LIST;
    static constexpr const IID& iid = IID_IZuInterplayMobLocatorList;
};

// An object of I's kind with one reference for the caller, or null.
template <class I>
I* Take(IZuInterplayObjectManager* manager) {
    IZuInterplayObject* object = nullptr;
    if (FAILED(manager->GetInterplayObject(KindOf<I>::kind, &object))) return nullptr;
    I* typed = nullptr;
    object->QueryInterface(KindOf<I>::iid, reinterpret_cast<void**>(&typed));
    object->Release();
    return typed;
}

inline std::wstring Repeat(wchar_t c, size_t n) { return std::wstring(n, c); }

// Resets the manager's test faults when a test ends.
struct FaultsGuard {
    FaultsGuard() { CZuInterplayObjectManager::s_testFaults = CZuInterplayObjectManager::TestFaults(); }
    ~FaultsGuard() { CZuInterplayObjectManager::s_testFaults = CZuInterplayObjectManager::TestFaults(); }
};

} // namespace zutest

#endif // OBJECTS_TEST_SUPPORT_H
