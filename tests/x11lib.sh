# Shared helpers for the tests that drive the real program on an X server with xdotool and
# judge it by what a person could see: window names and the pixels of screenshots.

# The program draws on the X server these tests look at, at a scale of one, whatever the
# caller's environment says (a suite may run with QT_QPA_PLATFORM=offscreen exported). A test
# that wants larger text sets QT_FONT_DPI itself and SCALE to match (150 for 144 dpi).
export QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_STYLE_OVERRIDE QT_FONT_DPI
SCALE=100

# A length in the client area's design, in pixels of the screen.
scaled() { echo $(($1 * SCALE / 100)); }

# Whatever a test started in the background ends with the test, however the test ends: by
# passing, by a failed check, or by a signal (ctest's timeout, Ctrl-C).
end_background_jobs() {
    local jobs
    jobs=$(jobs -p)
    [ -z "$jobs" ] && return 0
    kill $jobs 2>/dev/null || true
    wait 2>/dev/null || true
}
trap end_background_jobs EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits until a window whose name matches $1 exists; prints its id.
wait_for_window() {
    local pattern=$1 tries=${2:-200} id
    for ((i = 0; i < tries; i++)); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.05
    done
    echo "no window named '$pattern' appeared" >&2
    return 1
}

window_gone() {
    local pattern=$1
    for ((i = 0; i < 100; i++)); do
        xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
        sleep 0.05
    done
    return 1
}

# The client area's top-left corner on the screen: below the menu bar of a 546-high surface.
client_origin() {
    local id=$1
    eval "$(xdotool getwindowgeometry --shell "$id")"
    CLIENT_X=$X
    CLIENT_Y=$((Y + HEIGHT - 546))
}

# The client area's top-left corner on the screen, wherever it is scrolled to, found from the
# pale yellow solution bar (designed at x 16 to 561, from y 408), which must be in view: it is
# placed by its right and top edges, which stay in view longest.
locate_client() {
    local box
    box=$(import -window root png:- 2>/dev/null |
        convert png:- -fill black +opaque '#ffffc0' -format '%@' info: 2>/dev/null)
    [[ $box =~ ^([1-9][0-9]*)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    CLIENT_X=$((BASH_REMATCH[3] + BASH_REMATCH[1] - $(scaled 561)))
    CLIENT_Y=$((BASH_REMATCH[4] - $(scaled 408)))
}

# Clicks at (x, y) of the client area.
click_at() {
    xdotool mousemove "$((CLIENT_X + $(scaled "$1")))" "$((CLIENT_Y + $(scaled "$2")))" click 1
    sleep 0.15
}

# A w x h region of the client area at (x, y) as it is on the screen, as PNG.
grab_region() {
    local x=$((CLIENT_X + $(scaled "$1"))) y=$((CLIENT_Y + $(scaled "$2")))
    import -window root -crop "$(scaled "$3")x$(scaled "$4")+$x+$y" png:- 2>/dev/null
}

# Number of distinct colours in a w x h region of the client area at (x, y): 1 for an empty,
# uniform patch; many where text or a control is drawn.
colours_in() {
    grab_region "$@" | convert png:- -format '%k' info:
}

# A checksum of a region's pixels, to tell whether it changed.
region_sum() {
    grab_region "$@" | convert png:- rgb:- | md5sum | cut -c1-32
}

# The colour of one pixel of the client area, as "r,g,b".
pixel_at() {
    grab_region "$1" "$2" 1 1 |
        convert png:- -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:
}

# Runs a check until it holds, for up to two seconds: the screen may lag behind a click.
eventually() {
    for ((try = 0; try < 40; try++)); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
