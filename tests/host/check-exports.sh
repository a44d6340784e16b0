#!/usr/bin/env bash
# The component's library exports the four entry points and the framework
# members other modules derive from, and nothing else: no symbol of the SOAP
# runtime or its hooks, and it does not load the shared runtime.
set -euo pipefail
lib="$1"
unexpected=$(nm -D --defined-only --demangle "$lib" | awk '{ $1=""; $2=""; sub(/^  /, ""); print }' |
  grep -v -E '^(DllGetClassObject|DllCanUnloadNow|DllRegisterServer|DllUnregisterServer)$' |
  grep -v -E '^(CKoLightUnknown::|CKoBaseObject::|vtable for CKoLightUnknown$|typeinfo for CKoLightUnknown$|typeinfo name for CKoLightUnknown$)' |
  grep -v -E '^(_init|_fini|__bss_start|_edata|_end)$' || true)
if [ -n "$unexpected" ]; then
  echo "unexpected exports:"; echo "$unexpected"; exit 1
fi
for name in DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer; do
  nm -D --defined-only "$lib" | grep -q " $name\$" || { echo "missing export $name"; exit 1; }
done
if readelf -d "$lib" | grep -q 'NEEDED.*libgsoap'; then
  echo "$lib loads the shared SOAP runtime"; exit 1
fi
echo "exports ok"
