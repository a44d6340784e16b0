// Every COM object of the module (class factories included) is a base object:
// while it exists it counts as a live object, and the module may not be
// unloaded.
#ifndef CKO_BASE_OBJECT_H
#define CKO_BASE_OBJECT_H

#include "KoCom.h"

class KO_EXPORT CKoBaseObject {
public:
    // The name is for diagnostics only and is not kept.
    explicit CKoBaseObject(const wchar_t* name);
    ~CKoBaseObject();

    // Number of base objects alive in the process.
    static LONG GetObjectCount();

    CKoBaseObject(const CKoBaseObject&) = delete;
    CKoBaseObject& operator=(const CKoBaseObject&) = delete;
};

#endif // CKO_BASE_OBJECT_H
