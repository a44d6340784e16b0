#!/usr/bin/env bash
# A program that embeds the simulator carries the SOAP runtime privately: it
# neither loads the shared runtime nor exports any of the runtime's symbols or
# hooks, so a component loaded into the same process never binds to them.
set -euo pipefail
program="$1"
if readelf -d "$program" | grep -q 'NEEDED.*libgsoap'; then
  echo "$program loads the shared SOAP runtime"; exit 1
fi
exported=$(nm -D --defined-only --demangle "$program" | grep -i -E 'soap|namespaces' || true)
if [ -n "$exported" ]; then
  echo "$program exports SOAP symbols:"; echo "$exported"; exit 1
fi
echo "runtime hidden in $program"
