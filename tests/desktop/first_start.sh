#!/usr/bin/env bash
# A new user's first start: scripts/run under a virtual X display opens the real window on the
# example album; the test clicks "Fotowebseite erstellen", checks the gallery, clicks
# "Programm beenden" and checks the settings that kept. Every wait polls a condition with a
# bounded time-out. Needs xvfb and xdotool; called from scripts/test.
#   tests/desktop/first_start.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb  # scripts/test runs the widget tests offscreen

fail() {
  echo "first start: $*" >&2
  [ -f "$scratch/run.log" ] && tail -n 20 "$scratch/run.log" >&2
  exit 1
}

# Polls `command...` every tenth of a second until it succeeds or `seconds` have passed.
poll() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# A runtime folder of its own: the single-instance lock of another running copy is not ours.
scratch=$(mktemp -d)
chmod 700 "$scratch"
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$scratch XDG_CACHE_HOME=$scratch/cache

album=$PWD/build/example
gallery=$album/site/fotos/urlaub
settings=$album/Einstellung.alb
scripts/run >"$scratch/run.log" 2>&1 &
pid=$!

window=$(timeout 600 xdotool search --sync --onlyvisible --name '^Albumora$' | head -n 1) ||
  fail "no window appeared"
[ -f "$settings" ] || fail "scripts/run prepared no example album"

# Buttons by their place in the client area, at their centres; the client area starts below the
# menu bar, 22 pixels high in the program's look (no window manager, so no frame).
client_top=22
click() { xdotool mousemove --window "$window" "$1" $((client_top + $2)) click 1; }

# The run writes the settings as its last step: without the file, its return marks the end.
rm "$settings"
click 67 392  # "Fotowebseite erstellen"
poll 300 test -f "$settings" || fail "the run did not finish"
for page in fotos_1.htm fotos_2.htm bild_1.htm bild_8.htm download.php kl/k_berge.jpg \
  gr/g_wald.jpg; do
  [ -s "$gallery/$page" ] || fail "$gallery/$page is missing"
done
grep -q 'bild_1.htm' "$gallery/fotos_1.htm" || fail "fotos_1.htm does not link the first photo"

rm "$settings"
click 422 392  # "Programm beenden"
poll 60 eval '! kill -0 "$pid" 2>/dev/null' || fail "the program did not end"
wait "$pid" || fail "the program ended with status $?"
pid=
cmp -s example/Einstellung.alb "$settings" || fail "the kept settings differ from the album's"
echo "first start: passed"
