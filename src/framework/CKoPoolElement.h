// A pool element that starts with one reference: the one its pool will own.
#ifndef CKO_POOL_ELEMENT_H
#define CKO_POOL_ELEMENT_H

#include "CKoCOMPoolElement.h"

class CKoPoolElement : public CKoCOMPoolElement {
public:
    CKoPoolElement(const wchar_t* name, IUnknown* outer);
    ~CKoPoolElement() override;
};

#endif // CKO_POOL_ELEMENT_H
