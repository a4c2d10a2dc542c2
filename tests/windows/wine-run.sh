#!/bin/sh
# Runs a cross-built Windows program under Wine in the build's own prefix:
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# Quiet, and without Wine's offers to install Mono and Gecko, which no program here needs.
prefix=$1; shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
# Headless, Qt reads fonts from one folder only: the build machine's Japanese Gothic stands in for the
# faces of a Japanese Windows.
if [ -z "${QT_QPA_FONTDIR:-}" ] && [ -d /usr/share/fonts/opentype/ipafont-gothic ]; then
  export QT_QPA_FONTDIR=Z:/usr/share/fonts/opentype/ipafont-gothic
fi
# Wine keeps the QT_ variables of the Linux side from Windows programs and passes WINEQT_... on as
# QT_... instead.
for name in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  eval "export WINE$name=\"\$$name\""
done
exec wine "$@"
