#include "CKoPoolElement.h"

CKoPoolElement::CKoPoolElement(const wchar_t* name, IUnknown* outer) : CKoCOMPoolElement(name, outer) {
    NonDelegatingAddRef();
}

CKoPoolElement::~CKoPoolElement() = default;
