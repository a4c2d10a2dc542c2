#!/bin/sh
# Runs a cross-built Windows program under Wine in the build's own prefix:
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# Quiet, and without Wine's offers to install Mono and Gecko, which no program here needs.
prefix=$1; shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
exec wine "$@"
