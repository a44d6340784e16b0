// The class object of one row of the class table.
#ifndef CKO_CLASS_FACTORY_H
#define CKO_CLASS_FACTORY_H

#include "CKoBaseObject.h"
#include "KoComServer.h"

class CKoClassFactory : public IClassFactory, public CKoBaseObject {
public:
    explicit CKoClassFactory(const KoClassTableEntry* entry);
    virtual ~CKoClassFactory() = default;

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    // The count is plain, not interlocked: one factory is not shared between
    // threads that add and release references at once.
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHOD(LockServer)(BOOL lock) override;

private:
    const KoClassTableEntry* m_entry;
    ULONG m_refCount;
};

#endif // CKO_CLASS_FACTORY_H
