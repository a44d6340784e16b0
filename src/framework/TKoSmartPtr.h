// A smart pointer that owns exactly one reference to a COM interface or object.
#ifndef TKO_SMART_PTR_H
#define TKO_SMART_PTR_H

#include <memory>
#include <utility>

#include "CKoBaseException.h"
#include "KoCom.h"

template <class T>
class TKoSmartPtr {
public:
    TKoSmartPtr() : m_p(nullptr) {}
    // Takes its own reference.
    TKoSmartPtr(const TKoSmartPtr& other) : m_p(other.m_p) {
        if (m_p) m_p->AddRef();
    }
    TKoSmartPtr(TKoSmartPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    virtual ~TKoSmartPtr() { Clear(); }

    // The held pointer, null allowed.
    virtual operator T*() const { return m_p; }

    virtual T& operator*() const {
        if (!m_p) throw CKoSmartPointerException("TKoSmartPtr::operator* -> Internal pointer is NULL!");
        return *m_p;
    }

    // Where a callee may store a new pointer (with its reference) for this
    // smart pointer to own; only while it holds nothing.
    virtual T** operator&() {
        if (m_p)
            throw CKoSmartPointerException("TKoSmartPtr::operator* -> Internal pointer will be overriden!");
        return &m_p;
    }

    virtual T* operator->() const {
        if (!m_p) throw CKoSmartPointerException("TKoSmartPtr::operator* -> Internal pointer is NULL!");
        return m_p;
    }

    // Takes a reference on the new pointer before it drops the old one, so
    // assigning the held pointer again is safe.
    virtual T* operator=(T* p) {
        if (p) p->AddRef();
        T* old = m_p;
        m_p = p;
        if (old) old->Release();
        return m_p;
    }

    virtual bool operator!() const { return m_p == nullptr; }
    virtual bool operator==(T* p) const { return m_p == p; }

    // Safe on itself: the raw assignment takes the new reference first.
    TKoSmartPtr& operator=(const TKoSmartPtr& other) { // NOLINT(bugprone-unhandled-self-assignment)
        *this = other.m_p;
        return *this;
    }
    TKoSmartPtr& operator=(TKoSmartPtr&& other) noexcept {
        if (this != std::addressof(other)) {
            Clear();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    // Hands the reference over to the caller and holds nothing.
    T* Detach() { return std::exchange(m_p, nullptr); }
    // Takes over a reference the caller owns, dropping the one held before.
    void Attach(T* p) {
        Clear();
        m_p = p;
    }
    void Clear() {
        if (T* old = std::exchange(m_p, nullptr)) old->Release();
    }

    // Where a callee stores a new pointer (with its reference) for this smart
    // pointer to own; what it held before is dropped first.
    T** Put() {
        Clear();
        return &m_p;
    }
    // The same, for the callees that take untyped storage (QueryInterface).
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // Queries the held pointer for the interface iid, stored into out.
    template <class Q>
    HRESULT Query(REFIID iid, TKoSmartPtr<Q>& out) const {
        return operator->()->QueryInterface(iid, out.PutVoid());
    }

private:
    T* m_p;
};

#endif // TKO_SMART_PTR_H
