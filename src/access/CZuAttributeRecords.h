// The types:Attribute records of a request, read from the caller's attribute
// objects: the one reading of an attribute list that the check-in, the writing
// of attributes and the search share.
#ifndef CZU_ATTRIBUTE_RECORDS_H
#define CZU_ATTRIBUTE_RECORDS_H

#include <vector>

#include "AssetsPortBinding.h"
#include "IZuInterplayMobAttribute.h"

class CZuAttributeRecords {
public:
    // How the texts are narrowed: through their buffers (16 bytes for the
    // group, 128 for the name, 260 for the value) or whole.
    enum class Limits { Buffers, None };

    // Reads every attribute of list in order, leaving out those whose narrowed
    // group is "SYSTEM" when skipSystem says so; List() then holds them.
    // Returns the result of GetCount, replaced by that of each attribute's
    // GetValue in turn.
    HRESULT ReadList(IZuInterplayMobAttributeList* list, Limits limits, bool skipSystem);

    // Reads one attribute (not null) into a record of its own, kept unless
    // skipSystem leaves it out; valueResult (optional) gets GetValue's result.
    // Whether the record was kept. Records keep their places while their
    // number stays within what Reserve made room for.
    bool Read(IZuInterplayMobAttribute* attribute, Limits limits, bool skipSystem,
              HRESULT* valueResult = nullptr);
    void Reserve(size_t count) { m_records.reserve(count); }
    ZuAssets::types__AttributeType& Last() { return m_records.back(); }

    // The list of the records read by ReadList, for the request.
    ZuAssets::types__AttributeListType* List() { return &m_list; }

private:
    std::vector<ZuAssets::types__AttributeType> m_records;
    ZuAssets::types__AttributeListType m_list;
};

#endif // CZU_ATTRIBUTE_RECORDS_H
