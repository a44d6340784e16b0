// The items of a result-object list: counted references, in the order they
// were added. The storage stays when the items go, for the list's next use.
#ifndef TZU_ITEM_LIST_H
#define TZU_ITEM_LIST_H

#include <new>
#include <vector>

#include "KoCom.h"
#include "TKoSmartPtr.h"
#include "ZuResultCodes.h"

template <class I>
class TZuItemList {
public:
    // Null: S_FALSE and nothing added. Otherwise appends with one reference.
    HRESULT Add(I* item) {
        if (!item) return S_FALSE;
        try {
            m_items.emplace_back();
        } catch (const std::bad_alloc&) {
            return ZU_E_OUTOFMEMORY;
        }
        m_items.back() = item;
        return S_OK;
    }

    HRESULT GetCount(int* out) const {
        if (!out) return ZU_E_INVALIDARG;
        *out = static_cast<int>(m_items.size());
        return S_OK;
    }

    // The item at index, with a reference for the caller when addReference.
    // Outside 0 .. count-1: ZU_E_INVALIDARG with *out untouched. A stored
    // pointer is null only while the items are being released; *out is then
    // left as it was.
    HRESULT GetItem(int index, I** out, bool addReference) const {
        if (!out || index < 0 || static_cast<size_t>(index) >= m_items.size()) return ZU_E_INVALIDARG;
        if (I* item = m_items[static_cast<size_t>(index)]) {
            if (addReference) item->AddRef();
            *out = item;
        }
        return S_OK;
    }

    // Releases every item, in index order, each pointer set to null first.
    void Clear() {
        for (size_t i = 0; i < m_items.size(); ++i) {
            // The items have mostly left the cache by now: the one after next
            // is fetched while this one goes back to its pool.
            if (i + 2 < m_items.size()) KO_PREFETCH_FOR_WRITE(static_cast<I*>(m_items[i + 2]));
            m_items[i].Clear();
        }
        m_items.clear();
    }

private:
    std::vector<TKoSmartPtr<I>> m_items;
};

#endif // TZU_ITEM_LIST_H
