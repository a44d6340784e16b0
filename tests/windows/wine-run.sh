#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh <prefix> <program> [args...].
# The prefix is made on first use (scripts/test-windows makes it beforehand).
set -euo pipefail
export WINEPREFIX="$1"
shift
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
