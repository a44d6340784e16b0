#!/usr/bin/env bash
# The component registered and created the Windows way, under Wine:
#   run-com-host-test.sh <wine-run.sh> <prefix> <assets-sim> <ComHostTest.exe> <ZuInterplayAccess.dll>
# Starts the Linux simulator on a free loopback port, registers the DLL with
# regsvr32, runs the host test against the simulator, unregisters the DLL
# with regsvr32 /u and runs the host test again, which then expects creation
# to fail.
set -euo pipefail
run="$1" prefix="$2" sim="$3" test="$4" dll="$5"
[ -x "$sim" ] || { echo "no Linux simulator at $sim: build the Linux tree first"; exit 1; }
work=$(mktemp -d)
simpid=""
cleanup() {
  if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

"$sim" --host 127.0.0.1 --port 0 --user editor:editor >"$work/sim.log" 2>&1 &
simpid=$!
for _ in $(seq 1 100); do grep -q '^assets-sim: serving' "$work/sim.log" && break; sleep 0.1; done
line=$(grep -m1 '^assets-sim: serving' "$work/sim.log") || { cat "$work/sim.log"; exit 1; }
url=$(sed -n 's/^assets-sim: serving \(.*\), root folder .*$/\1/p' <<<"$line")
root=$(sed -n 's/^.*, root folder \(.*\)$/\1/p' <<<"$line")

# Wine's drive Z: is the Unix root.
windll="Z:${dll//\//\\}"
echo "regsvr32 $windll"
"$run" "$prefix" regsvr32 /s "$windll" </dev/null
ZU_TEST_SERVICE_URL="$url" ZU_TEST_ROOT_URI="$root" "$run" "$prefix" "$test" --gtest_brief=1 </dev/null
echo "regsvr32 /u $windll"
"$run" "$prefix" regsvr32 /u /s "$windll" </dev/null
ZU_TEST_UNREGISTERED=1 "$run" "$prefix" "$test" --gtest_brief=1 </dev/null
