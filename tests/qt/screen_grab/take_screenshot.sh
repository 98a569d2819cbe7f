#!/usr/bin/env bash
# Makes docs/screenshots/window.png: starts the built program on the bundled example album under
# a virtual X display (Debian xvfb), waits until its window is on the screen, and grabs the
# window's area.
#   tests/qt/screen_grab/take_screenshot.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/../../.."
build=${1:-build}
program_dir=$PWD/$build/albumora
grab=$PWD/$build/tests/screen_grab
out=$PWD/docs/screenshots/window.png
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp -r example/. "$work/"
mkdir -p "$work/vorlagen"
cp "$program_dir"/vorlagen/standard.* "$work/vorlagen/"
mkdir -p "$(dirname "$out")"

# The window sits at 467,204 with a client area of 499 x 451 (no window manager, so no frame).
cat >"$work/shot.sh" <<SHOT
#!/usr/bin/env bash
set -u
cd "$work"
"$program_dir/albumora" &
pid=\$!
for _ in \$(seq 50); do
  sleep 0.2
  "$grab" "$work/probe.png" 467 204 499 451 && [ "\$(stat -c %s "$work/probe.png")" -gt 8000 ] && break
done
sleep 1
"$grab" "$out" 467 204 499 451
status=\$?
kill \$pid
exit \$status
SHOT
chmod +x "$work/shot.sh"
XDG_RUNTIME_DIR=$work xvfb-run -a -s "-screen 0 1280x800x24" "$work/shot.sh"
echo "Written: $out"
