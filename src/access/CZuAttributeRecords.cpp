#include "CZuAttributeRecords.h"

#include "CZuInterplayAccess.h"
#include "KoText.h"
#include "TKoSmartPtr.h"

namespace {

// The group whose attributes are never sent back.
const char kSystemGroup[] = "SYSTEM";

std::string NarrowText(const wchar_t* text, size_t bufferBytes, CZuAttributeRecords::Limits limits) {
    return limits == CZuAttributeRecords::Limits::Buffers ? CZuInterplayAccess::Narrow(text, bufferBytes)
                                                          : KoNarrow(text);
}

} // namespace

bool CZuAttributeRecords::Read(IZuInterplayMobAttribute* attribute, Limits limits, bool skipSystem,
                               HRESULT* valueResult) {
    const wchar_t* group = nullptr;
    const wchar_t* name = nullptr;
    const wchar_t* value = nullptr;
    attribute->GetGroup(&group);
    attribute->GetName(&name);
    HRESULT hr = attribute->GetValue(&value);
    if (valueResult) *valueResult = hr;
    std::string narrowGroup = NarrowText(group, ZU_NARROW_GROUP, limits);
    if (skipSystem && narrowGroup == kSystemGroup) return false;
    m_records.emplace_back();
    ZuAssets::types__AttributeType& record = m_records.back();
    record.Group = std::move(narrowGroup);
    record.Name = NarrowText(name, ZU_NARROW_NAME, limits);
    record.__item = NarrowText(value, ZU_NARROW_URI, limits);
    return true;
}

HRESULT CZuAttributeRecords::ReadList(IZuInterplayMobAttributeList* list, Limits limits, bool skipSystem) {
    int count = 0;
    HRESULT result = list->GetCount(&count);
    if (FAILED(result)) count = 0;
    m_records.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        TKoSmartPtr<IZuInterplayMobAttribute> attribute;
        if (FAILED(list->GetItem(i, attribute.Put())) || !attribute) continue;
        Read(attribute, limits, skipSystem, &result);
    }
    // Pointers are taken once the records no longer move.
    m_list.Attribute.reserve(m_records.size());
    for (ZuAssets::types__AttributeType& record : m_records) m_list.Attribute.push_back(&record);
    return result;
}
