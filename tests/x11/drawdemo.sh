#!/usr/bin/env bash
# The demo used as a person would: real key presses and clicks under a private Xvfb, the
# effect read back from the demo's own screen dumps. Exit 77 (skipped) without Xvfb/xdotool.
set -u
demo=$1
for p in Xvfb xdotool; do
    command -v "$p" >/dev/null || { echo "$p not found: skipping the window test"; exit 77; }
done
work=$(mktemp -d)
cd "$work" || exit 1
dpid=""
xpid=""
cleanup() {
    [ -n "$dpid" ] && kill "$dpid" 2>/dev/null
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- demo stderr"; cat demo.err 2>/dev/null
    echo "--- demo keys"; tr '\n' ' ' < demo.log 2>/dev/null; echo
    exit 1
}

# Without a display: a clear message, the curves as a table, and success.
env -u DISPLAY "$demo" > text.out 2> text.err || fail "no display: exit status $?"
grep -q "draw/X11 error: XOpenDisplay" text.err || fail "no display: no message"
grep -q "cannot start graphics" text.err || fail "no display: no explanation"
grep -q "sin x" text.out || fail "no display: no table"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display.num 2>/dev/null &
xpid=$!
for _ in $(seq 100); do [ -s display.num ] && break; sleep 0.1; done
[ -s display.num ] || { echo "Xvfb did not start: skipping the window test"; exit 77; }
export DISPLAY=":$(head -n 1 display.num)"

"$demo" > demo.log 2> demo.err < /dev/null &
dpid=$!
W=$(timeout 20 xdotool search --sync --name '^drawdemo$' | head -n 1)
[ -n "$W" ] || fail "no window"

nkeys() { wc -l < demo.log; }
# Sends keys and waits until the demo has read them all.
keys() {
    local before n
    before=$(nkeys)
    n=$#
    xdotool windowfocus --sync "$W" key "$@"
    for _ in $(seq 200); do
        [ "$(nkeys)" -ge $((before + n)) ] && return 0
        sleep 0.05
    done
    fail "keys $* not taken"
}
# Waits until the demo has read n more keys than before (clicks, drags, resizes).
waitfor() {
    for _ in $(seq 200); do
        [ "$(nkeys)" -ge "$1" ] && return 0
        sleep 0.05
    done
    fail "$2"
}
# Pixels of the dump within a rectangle that have a colour: count X1 Y1 X2 Y2 R G B
count() {
    local w
    w=$(sed -n 2p prtscr.ppm | cut -d' ' -f1)
    od -An -v -tu1 -w3 -j "$(head -c 64 prtscr.ppm | head -n 3 | wc -c)" prtscr.ppm |
        awk -v w="$w" -v x1="$1" -v y1="$2" -v x2="$3" -v y2="$4" -v r="$5" -v g="$6" -v b="$7" '
            { x = (NR - 1) % w; y = int((NR - 1) / w) }
            x >= x1 && x <= x2 && y >= y1 && y <= y2 && $1 == r && $2 == g && $3 == b { n++ }
            END { print n + 0 }'
}
header() { head -n 3 prtscr.ppm | tr '\n' ' '; }

# The first picture: curves in their colours, a grey grid, the panel.
keys at m
[ "$(header)" = "P6 640 480 255 " ] || fail "dump header: $(header)"
[ "$(count 136 10 632 436 255 0 0)" -gt 300 ] || fail "no red curve and markers"
[ "$(count 136 10 632 436 255 255 0)" -gt 300 ] || fail "no yellow curve"
[ "$(count 136 10 632 436 150 150 150)" -gt 300 ] || fail "no grid"
[ "$(count 0 0 91 25 0 0 127)" -gt 500 ] || fail "no title box"

# g twice: grid mode 2, then 0: no grid lines left inside the frame.
keys g g at m
[ "$(count 136 10 632 436 150 150 150)" -eq 0 ] || fail "grid still drawn"
[ "$(count 136 10 632 436 80 80 80)" -eq 0 ] || fail "half-step grid still drawn"

# Inverted dump: the black background turns white; gray PostScript ends with showpage.
keys at M
[ "$(count 88 200 92 300 255 255 255)" -eq 505 ] || fail "inverted dump not white"
keys at p
head -n 1 prtscr.ps | grep -qx '%!PS-Adobe-2.0' || fail "PostScript header"
[ "$(tail -n 1 prtscr.ps)" = "showpage" ] || fail "PostScript end"

# A click on the "in+" button queues its key exactly once, even when held a while.
n=$(nkeys)
xdotool mousemove --window "$W" 15 56 mousedown 1 sleep 0.6 mouseup 1
waitfor $((n + 1)) "click not taken"
keys r
[ "$(tail -n +$((n + 1)) demo.log | tr '\n' ' ')" = "key 43 key 114 " ] ||
    fail "click gave: $(tail -n +$((n + 1)) demo.log | tr '\n' ' ')"

# Dragging the wheel queues its key (5).
n=$(nkeys)
xdotool mousemove --window "$W" 40 465 mousedown 1 sleep 0.3 mousemove_relative 30 0 sleep 0.3 \
    mouseup 1
waitfor $((n + 1)) "wheel not taken"
tail -n +$((n + 1)) demo.log | grep -qx "key 5" || fail "wheel gave no key 5"

# A resize asks for a redraw (key 28) and the next dump has the new size.
n=$(nkeys)
xdotool windowsize "$W" 700 500
waitfor $((n + 1)) "no redraw after resize"
tail -n +$((n + 1)) demo.log | grep -qx "key 28" || fail "resize gave no key 28"
keys at m
[ "$(header)" = "P6 700 500 255 " ] || fail "dump after resize: $(header)"

# Escape quits.
xdotool windowfocus --sync "$W" key Escape
for _ in $(seq 100); do kill -0 "$dpid" 2>/dev/null || break; sleep 0.05; done
wait "$dpid"
status=$?
dpid=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "drawdemo: all checks passed"
