#!/usr/bin/env bash
# The component's DLL exports the four entry points and the members of the
# framework classes other modules derive from, and nothing else: no
# diagnostics, platform or SOAP runtime symbol.
set -euo pipefail
dll="$1"
names=$(x86_64-w64-mingw32-objdump -p "$dll" |
  awk '/^\[Ordinal\/Name Pointer\] Table/ { table = 1; next } table && /^\t\[/ { print $NF } table && /^$/ { table = 0 }')
unexpected=$(echo "$names" | c++filt |
  grep -v -E '^(DllGetClassObject|DllCanUnloadNow|DllRegisterServer|DllUnregisterServer)$' |
  grep -v -E '^(CKoLightUnknown::|CKoBaseObject::|vtable for CKoLightUnknown$|typeinfo for CKoLightUnknown$|typeinfo name for CKoLightUnknown$|vtable for CKoBaseObject$|typeinfo for CKoBaseObject$|typeinfo name for CKoBaseObject$)' |
  grep -v -E '^$' || true)
if [ -n "$unexpected" ]; then
  echo "unexpected exports:"; echo "$unexpected"; exit 1
fi
for name in DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer; do
  echo "$names" | grep -q -x "$name" || { echo "missing export $name"; exit 1; }
done
echo "exports ok"
