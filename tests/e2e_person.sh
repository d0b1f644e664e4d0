#!/usr/bin/env bash
# Drives the real program through the X server only, as a person would: mouse clicks at the
# designed positions and key presses, judging what the screen shows. Run under xvfb-run.
# usage: e2e_person.sh PROGRAM [small]
# With "small", on a screen smaller than the window (1024x600) with the text at 150 %: the
# window fits the screen and its client area scrolls.
set -euo pipefail
program=$1
source "$(dirname "$0")/x11lib.sh"
title='^QX9VEN General Class Theory$'

# Designed places, in pixels of the client area (centres of the controls).
OPTION1=(284 180) OPTION2=(288 240) OPTION3=(284 296) OPTION4=(288 360)
SOLVE=(48 516) SUBMIT=(432 516) CONTINUE=(524 516) QUIT=(660 484) LEARNING=(640 150)
CONTINUE_BOX=(489 505 71 23) SOLUTION_BOX=(16 409 545 39) NUMBER_BOX=(32 64 41 25)
QUIT_BOX=(625 473 71 23) CHOICE_D_BOX=(56 346 400 29)
# Menus on the menu bar above the client area, and the place of their one item.
HELP_MENU=(271 290) QUESTIONS_MENU=(143 190) RULES_MENU=(222 240)

start() {
    "$program" &
    pid=$!
    window=$(wait_for_window "$title")
    client_origin "$window"
    sleep 0.5 # let the first picture settle before the first click
}

open_menu_item() {
    xdotool mousemove "$((CLIENT_X + $1))" "$((CLIENT_Y - 10))" click 1
    sleep 0.2
    xdotool mousemove "$((CLIENT_X + $2))" "$((CLIENT_Y + 12))" click 1
}

continue_shown() { [ "$(colours_in "${CONTINUE_BOX[@]}")" -gt 3 ]; }
number_changed() { [ "$(region_sum "${NUMBER_BOX[@]}")" != "$number" ]; }
solution_empty() { [ "$(colours_in "${SOLUTION_BOX[@]}")" -eq 1 ]; }
solution_filled() { [ "$(colours_in "${SOLUTION_BOX[@]}")" -gt 3 ]; }

# Always the same choice (the first unless named), moving on with Continue after a wrong one,
# until the exam is over.
play_to_end_of_exam() {
    local -n choice=${1:-OPTION1}
    for ((i = 0; i < 120; i++)); do
        click_at "${choice[@]}"
        click_at "${SUBMIT[@]}"
        if xdotool search --onlyvisible --name '^QX9VEN General Exam$' >/dev/null 2>&1; then
            break
        fi
        if continue_shown; then
            click_at "${CONTINUE[@]}"
        fi
    done
    box=$(wait_for_window '^QX9VEN General Exam$')
}

ends_with_status_0() {
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "$1 ended the program with status $status"
}

if [ "${2:-}" = small ]; then
    export QT_FONT_DPI=144
    SCALE=150
    # As a window manager would, give the new window the keyboard focus.
    start_focused() {
        start
        xdotool windowfocus --sync "$window"
    }
    # Either the next question shows (a right answer) or Continue does (a wrong one).
    answered() { continue_shown || [ "$(region_sum "${CHOICE_D_BOX[@]}")" != "$choices" ]; }
    size_hint() { xprop -id "$window" WM_NORMAL_HINTS | sed -n "s/.*program specified $1 size: //p"; }

    echo "== small screen: the window fits the screen, can be resized, and shows its top"
    start_focused
    read -r screen_width screen_height < <(xdotool getdisplaygeometry)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" -le "$screen_width" ] && [ "$HEIGHT" -le "$screen_height" ] ||
        fail "the window is ${WIDTH}x$HEIGHT on a ${screen_width}x$screen_height screen"
    [ "$(size_hint minimum)" != "$(size_hint maximum)" ] || fail "the window's size is fixed"
    ! locate_client || fail "the solution bar shows at the top of the window"

    echo "== by keyboard: Submit Answer scrolls into view when Tab reaches it, and Return answers"
    xdotool key space Tab Tab
    eventually locate_client || fail "Submit Answer was not scrolled into view"
    choices=$(region_sum "${CHOICE_D_BOX[@]}")
    xdotool key Return
    eventually answered || fail "Return on Submit Answer did nothing"

    echo "== by mouse: the wheel scrolls; the whole exam is played at the bottom of the window"
    xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT / 2))" click --repeat 10 4
    eventually eval '! locate_client' || fail "the wheel did not scroll up"
    xdotool click --repeat 10 5
    eventually locate_client || fail "the wheel did not scroll down"
    choices=$(region_sum "${CHOICE_D_BOX[@]}")
    click_at "${OPTION4[@]}"
    click_at "${SUBMIT[@]}"
    eventually answered || fail "a click on Submit Answer did nothing"
    play_to_end_of_exam OPTION4
    xdotool key Return # Yes is the default
    window_gone '^QX9VEN General Exam$' || fail "the end-of-exam box stayed after Yes"
    kill -0 "$pid" || fail "Yes ended the program"

    echo "== by mouse: after scrolling right, QUIT ends the program"
    left=$CLIENT_X
    xdotool mousemove "$((X + WIDTH - $(scaled 40)))" "$((Y + HEIGHT - $(scaled 6)))" click 1
    eventually eval 'locate_client && [ "$CLIENT_X" -lt "$left" ]' ||
        fail "a click on the horizontal scroll bar did not scroll"
    click_at "${QUIT[@]}"
    ends_with_status_0 QUIT

    echo "== by keyboard: QUIT scrolls into view when Tab reaches it, and Return ends the program"
    start_focused
    xdotool key Tab Tab Tab
    eventually eval 'locate_client && [ "$(colours_in "${QUIT_BOX[@]}")" -gt 3 ]' ||
        fail "QUIT was not scrolled into view"
    xdotool key Return
    ends_with_status_0 QUIT

    echo "1 passed, 0 failed"
    exit 0
fi

echo "== the window appears with its title and size"
start
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" -eq 705 ] || fail "window is $WIDTH wide, not 705"
[ "$HEIGHT" -gt 546 ] || fail "window is only $HEIGHT high"
[ "$(pixel_at 100 430)" = "255,255,192" ] || fail "the solution bar is not pale yellow"
continue_shown && fail "Continue shows before any answer"

echo "== a wrong answer shows Continue; trying the choices in turn, the right one moves on"
number=$(region_sum "${NUMBER_BOX[@]}")
moved=no
for option in OPTION1 OPTION2 OPTION3 OPTION4; do
    declare -n place=$option
    click_at "${place[@]}"
    click_at "${SUBMIT[@]}"
    # Either the next question shows (right) or Continue does (wrong).
    sleep 0.3
    eventually eval 'number_changed || continue_shown' || fail "Submit Answer showed nothing"
    if number_changed; then
        moved=yes
        break
    fi
done
[ "$moved" = yes ] || fail "no choice moved on to the next question"
eventually eval '! continue_shown' || fail "Continue still shows after a right answer"

echo "== Learning Mode fills the solution bar"
solution_empty || fail "the solution bar is not empty in QUIZ Mode"
click_at "${LEARNING[@]}"
click_at "${CONTINUE[@]}" # hidden: nothing happens
click_at "${OPTION1[@]}"
click_at "${SUBMIT[@]}"
eventually solution_filled || fail "Learning Mode shows no solution"

echo "== Help > About shows its box"
open_menu_item "${HELP_MENU[@]}"
about=$(wait_for_window '^About$')
xdotool key Return
window_gone '^About$' || fail "About did not close with Return"

echo "== a reference command opens the viewer; a second one, with the viewer open, shows its own"
open_menu_item "${QUESTIONS_MENU[@]}"
viewer=$(wait_for_window 'POOLLIST\.hlp')
# The viewer opens over the exam window and keeps the focus: with no window manager nothing
# hands it back. Bring the exam window to the front, as a window manager would on a click.
xdotool windowraise "$window"
sleep 0.2
open_menu_item "${RULES_MENU[@]}"
viewer_shows() { xdotool getwindowname "$viewer" | grep -q -- "- $1\$"; }
eventually viewer_shows 'REGBOOK\.hlp' ||
    fail "the viewer still shows '$(xdotool getwindowname "$viewer")' after the second command"
xdotool windowclose "$viewer" 2>/dev/null || xdotool windowunmap "$viewer"
window_gone 'REGBOOK\.hlp' || true

echo "== a whole exam reaches the end-of-exam box; Yes starts a new exam"
play_to_end_of_exam
xdotool key Return # Yes is the default
window_gone '^QX9VEN General Exam$' || fail "the end-of-exam box stayed after Yes"
kill -0 "$pid" || fail "Yes ended the program"

echo "== ... and No ends the program with status 0"
play_to_end_of_exam
xdotool key n
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "No ended the program with status $status"

echo "== a pool named on the command line: its exam from start to end"
pools=$(cd "$(dirname "$0")/data/pools" && pwd)
pool_title='^Technician Class \(Element 2\) Question Pool 2026-2030 - QX9VEN$'
"$program" --pool "$pools/e2e-technician.txt" &
pid=$!
window=$(wait_for_window "$pool_title")
client_origin "$window"
sleep 0.5
play_to_end_of_exam
xdotool key Return # Yes: a new exam from the same pool
window_gone '^QX9VEN General Exam$' || fail "the end-of-exam box stayed after Yes"
xdotool search --name "$pool_title" >/dev/null || fail "the pool's exam did not start again"

echo "== File > Built-in Exam, then File > Open Question Pool: a refused file, then the pool"
# The File menu by mouse, then its item by the arrow keys.
file_menu_item() {
    xdotool mousemove "$((CLIENT_X + 20))" "$((CLIENT_Y - 10))" click 1
    sleep 0.2
    for ((n = 0; n < $1; n++)); do xdotool key Down; done
    xdotool key Return
}
open_pool_by_menu() {
    file_menu_item 1
    dialog=$(wait_for_window '^Open Question Pool$')
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    sleep 0.3
    xdotool type --delay 5 "$1"
    xdotool key Return
}
file_menu_item 2
eventually eval 'xdotool search --name "$title" >/dev/null' || fail "the built-in exam did not return"
open_pool_by_menu "$pools/e2e-not-a-pool.txt"
wait_for_window '^Question Pool Not Opened$' >/dev/null
xdotool key Return
window_gone '^Question Pool Not Opened$' || fail "the refusal did not close with Return"
xdotool search --name "$title" >/dev/null || fail "a refused pool changed the exam on screen"
click_at "${OPTION1[@]}"
click_at "${SUBMIT[@]}"
open_pool_by_menu "$pools/e2e-technician.txt"
wait_for_window '^Leave This Exam\?$' >/dev/null
xdotool key y
window=$(wait_for_window "$pool_title")
play_to_end_of_exam
xdotool key n
ends_with_status_0 "No at the end of a pool's exam"

echo "== a file as the desktop passes it: a refused one is reported in the window, which stays"
"$program" "$pools/e2e-not-a-pool.txt" &
pid=$!
wait_for_window '^Question Pool Not Opened$' >/dev/null
xdotool key Return
window_gone '^Question Pool Not Opened$' || fail "the refusal did not close with Return"
window=$(wait_for_window "$title")
client_origin "$window"
click_at "${QUIT[@]}"
ends_with_status_0 QUIT

echo "== a refused pool on the command line: the reason on standard error, status 1, no window"
status=0
message=$("$program" --pool "$pools/e2e-not-a-pool.txt" 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "a refused pool ended with status $status"
grep -q 'e2e-not-a-pool.txt: .*not a question pool' <<<"$message" || fail "the message was: $message"

echo "== QUIT ends the program at once with status 0"
start
click_at "${OPTION2[@]}"
click_at "${QUIT[@]}"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "QUIT ended the program with status $status"

echo "1 passed, 0 failed"
