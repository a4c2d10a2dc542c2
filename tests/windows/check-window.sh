#!/usr/bin/env bash
# Starts the program in a real X server (Xvfb) and checks by screenshot what a pupil sees first: the
# title drawn over the sky, then the five menu buttons, then the quit question, which Return answers.
#   check-window.sh PROGRAM [SHOT_PREFIX]
# A PROGRAM ending in .exe runs under Wine (tests/windows/wine-run.sh, prefix in WINEPREFIX or beside
# it); the Linux build can be checked the same way, for comparison. Prints the start-up time (from
# the start to the window on screen). Needs xvfb, xdotool, imagemagick and x11-utils.
set -euo pipefail
program=$1
shots=${2:-${TMPDIR:-/tmp}/perumora-window}
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool import convert xdpyinfo; do
  command -v $tool >/dev/null || { echo "check-window: $tool is missing" >&2; exit 2; }
done
fail() { echo "check-window: FAILED: $*" >&2; exit 1; }

# An X server on a free display; its number comes back through a pipe.
displayfile=$(mktemp); exec 9>"$displayfile"
Xvfb -displayfd 9 -screen 0 1280x800x24 -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 & xvfb=$!
app=
prefix=${WINEPREFIX:-$(dirname "$program")/wineprefix}
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  case $program in *.exe) WINEPREFIX=$prefix wineserver -k 2>/dev/null ;; esac  # before its display goes
  kill "$xvfb" 2>/dev/null
  rm -f "$displayfile"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
export DISPLAY=:$(head -1 "$displayfile")
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
unset QT_QPA_PLATFORM

start=$(date +%s.%N)
case $program in
  *.exe) "$here/wine-run.sh" "$prefix" "$program" & app=$! ;;
  *)     "$program" & app=$! ;;
esac
window=
for _ in $(seq 3000); do  # up to a minute: Wine's first start in a fresh prefix is slow
  window=$(xdotool search --onlyvisible --name 'ペルモラ' 2>/dev/null | head -1) && [ -n "$window" ] && break
  kill -0 "$app" 2>/dev/null || fail "the program ended before showing its window"
  sleep 0.02
done
[ -n "$window" ] || fail "no window appeared within a minute"
shown=$(date +%s.%N)
printf 'check-window: %s: window on screen %.2f s after the start\n' "$(basename "$program")" "$(echo "$shown - $start" | bc)"

at() { local d; d=$(echo "$shown + $1 - $(date +%s.%N)" | bc); [ "${d:0:1}" = "-" ] || sleep "$d"; }
shot() { import -window "$window" "$shots-$1.png"; }
# Mean red, green, blue (0..1) and the share of near-white pixels of a part of a screenshot.
measure() {
  convert "$shots-$1.png" -crop "$2" +repage \
    -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]\n' info:
}
whiteShare() {
  convert "$shots-$1.png" -crop "$2" +repage -colorspace gray -threshold 90% -format '%[fx:mean]' info:
}
check() { awk "BEGIN { exit !($1) }" || fail "$2"; }

# Window geometry and button places as the window lays them out (client area 643 x 404).
buttons=("225x41+16+224" "225x41+256+224" "225x41+16+280" "225x41+256+280" "129x41+496+280")

# The title, 1.5 s in: blue sky at the top, the big white name drawn on it, no buttons yet.
at 1.5; shot title
read -r r g b < <(measure title 600x8+20+2)
check "$b > 0.6 && $r < 0.3" "the sky at the top of the title is not blue ($r $g $b)"
check "$(whiteShare title 290x70+35+10) > 0.15" "the title's name is not drawn in white"
read -r r g b < <(measure title "${buttons[4]}")
check "$r < 0.7" "a menu button shows before the title has ended"

# The menu, 6.5 s in (it appears at 5.5 s): every button a light face with a dark caption.
at 6.5; shot menu
for place in "${buttons[@]}"; do
  read -r r g b < <(measure menu "$place")
  check "$r > 0.75 && $g > 0.75 && $b > 0.75" "no button face at $place ($r $g $b)"
  # the caption: dark pixels in the middle third of the button
  w=${place%%x*}; rest=${place#*x}; h=${rest%%+*}; xy=${rest#*+}; x=${xy%%+*}; y=${xy#*+}
  dark=$(convert "$shots-menu.png" -crop "$((w * 2 / 3))x$((h / 2))+$((x + w / 6))+$((y + h / 4))" +repage \
           -colorspace gray -negate -threshold 50% -format '%[fx:mean]' info:)
  check "$dark > 0.03" "no caption on the button at $place"
done

# The quit question: a second window, answered Yes with Return, and the program ends by itself.
xdotool mousemove --window "$window" 560 300 click 1
dialog=
for _ in $(seq 250); do
  dialog=$(xdotool search --onlyvisible --name 'ペルモラ' 2>/dev/null | grep -vx "$window" | head -1) && [ -n "$dialog" ] && break
  sleep 0.02
done
[ -n "$dialog" ] || fail "the quit question did not appear"
sleep 0.5; import -window "$dialog" "$shots-quit.png"
xdotool windowfocus "$dialog" 2>/dev/null; sleep 0.2; xdotool key Return
for _ in $(seq 250); do kill -0 "$app" 2>/dev/null || break; sleep 0.02; done
kill -0 "$app" 2>/dev/null && fail "the program did not end after Yes to the quit question"
wait "$app" || fail "the program ended with an error"
app=
echo "check-window: title, menu and quit question ok (screenshots $shots-{title,menu,quit}.png)"
