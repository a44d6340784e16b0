#!/usr/bin/env bash
# The component's library exports the four entry points, the framework members
# other modules derive from and the SOAP runtime's hooks, and nothing else of
# ours.
set -euo pipefail
lib="$1"
unexpected=$(nm -D --defined-only --demangle "$lib" | awk '{ $1=""; $2=""; sub(/^  /, ""); print }' |
  grep -v -E '^(DllGetClassObject|DllCanUnloadNow|DllRegisterServer|DllUnregisterServer)$' |
  grep -v -E '^(CKoLightUnknown::|CKoBaseObject::|vtable for CKoLightUnknown$|typeinfo for CKoLightUnknown$|typeinfo name for CKoLightUnknown$)' |
  grep -v -E '^(namespaces|soap_(getelement|putelement|markelement|dupelement|delelement))$' |
  grep -v -E '^soap_(faultcode|faultsubcode|faultstring|faultdetail|fault_subcode|fault_string|fault_detail|serializefault|serializeheader|getheader|putheader|getfault|putfault)\(soap\*\)$' |
  grep -v -E '^(_init|_fini|__bss_start|_edata|_end)$' || true)
if [ -n "$unexpected" ]; then
  echo "unexpected exports:"; echo "$unexpected"; exit 1
fi
for name in DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer; do
  nm -D --defined-only "$lib" | grep -q " $name\$" || { echo "missing export $name"; exit 1; }
done
echo "exports ok"
