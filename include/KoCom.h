// COM basics for hosts and the component.
//
// On Windows the SDK provides everything here. Elsewhere this header defines the
// small part of COM the component and its hosts use: result codes, GUIDs,
// IUnknown and IClassFactory, with the same layout rules as on Windows
// (interfaces are structs of pure virtual functions, no data, no virtual
// destructor).
#ifndef KO_COM_H
#define KO_COM_H

#ifdef _WIN32

#include <objbase.h>
#define KO_EXPORT __declspec(dllexport)
// The Ko extensions are linked into each module that calls them.
#define KO_PLATFORM_EXPORT
#define KO_PRINTF_FORMAT(formatIndex, firstArg)
#define KO_PREFETCH_FOR_WRITE(address) ((void)(address))

// The four entry points of an in-process server.
typedef HRESULT(STDAPICALLTYPE* PFN_DllGetClassObject)(REFCLSID clsid, REFIID riid, void** ppv);
typedef HRESULT(STDAPICALLTYPE* PFN_DllCanUnloadNow)();
typedef HRESULT(STDAPICALLTYPE* PFN_DllRegisterServer)();
typedef HRESULT(STDAPICALLTYPE* PFN_DllUnregisterServer)();

#else

#include <stdint.h>
#include <string.h>
#include <wchar.h>

#define KO_EXPORT __attribute__((visibility("default")))
// The Ko extensions come from the platform library that host and component share.
#define KO_PLATFORM_EXPORT KO_EXPORT
#define KO_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
// Asks the processor to fetch memory about to be written (a hint only).
#define KO_PREFETCH_FOR_WRITE(address) __builtin_prefetch((address), 1)
#define STDMETHODCALLTYPE
#define STDAPICALLTYPE
#define WINAPI
#define STDMETHOD(name) virtual HRESULT STDMETHODCALLTYPE name
#define STDMETHOD_(type, name) virtual type STDMETHODCALLTYPE name
#define STDAPI extern "C" KO_EXPORT HRESULT STDAPICALLTYPE
#define PURE = 0

typedef int32_t HRESULT;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef uint32_t DWORD;
typedef int BOOL;
typedef wchar_t OLECHAR;
typedef OLECHAR* LPOLESTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#define E_FAIL ((HRESULT)0x80004005)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9)

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define FACILITY_WIN32 7
#define HRESULT_FROM_WIN32(x) \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x)&0x0000FFFF) | (FACILITY_WIN32 << 16) | 0x80000000)))

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

struct IUnknown {
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) PURE;
    STDMETHOD_(ULONG, AddRef)() PURE;
    STDMETHOD_(ULONG, Release)() PURE;
};

struct IClassFactory : public IUnknown {
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** ppv) PURE;
    STDMETHOD(LockServer)(BOOL lock) PURE;
};

inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The four entry points of an in-process server.
typedef HRESULT (*PFN_DllGetClassObject)(REFCLSID clsid, REFIID riid, void** ppv);
typedef HRESULT (*PFN_DllCanUnloadNow)();
typedef HRESULT (*PFN_DllRegisterServer)();
typedef HRESULT (*PFN_DllUnregisterServer)();

#endif // _WIN32

#endif // KO_COM_H
