# The checks of a photo of unusual proportions, shared by the Linux and the Windows
# sessions, sourced after session.sh. The window's corner on screen is X, Y; $work/CASE.box
# holds the text of every box the case showed. The photos are those of photo_shapes.py.

# colours_at NAME X,Y...: red, green, white, black or other, a line for each point of the
# window shot NAME, read in one go.
colours_at() {
    local name=$1 point format=
    shift
    for point in "$@"; do
        format+="%[fx:round(255*p{$point}.r)] %[fx:round(255*p{$point}.g)] %[fx:round(255*p{$point}.b)]\n"
    done
    # The channels asked for by name: ImageMagick 7 writes a grey pixel as one channel.
    convert "$work/$name.png" -format "$format" info: 2>/dev/null | awk '{
        r = $1 + 0; g = $2 + 0; b = $3 + 0
        if (r > 220 && g > 220 && b > 220) print "white"
        else if (r < 60 && g < 60 && b < 60) print "black"
        else if (r > 150 && g < 90 && b < 90) print "red"
        else if (g > 100 && r < 90 && b < 90) print "green"
        else printf "other(%d,%d,%d)\n", r, g, b
    }'
}
colour_at() { colours_at "$1" "$2,$3"; }
# check_colours CASE "X,Y COLOUR"...: the window as it is now.
check_colours() {
    local name=$1 point wrong= i=0 got
    shift
    import -window root -crop "550x304+$X+$Y" +repage "$work/$name.png"
    mapfile -t got < <(colours_at "$name" "${@%% *}")
    for point in "$@"; do
        [ "${got[i]:-none}" = "${point##* }" ] || wrong="$wrong ${point%% *}:${got[i]:-none}(not ${point##* })"
        i=$((i + 1))
    done
    [ -z "$wrong" ] && pass "$name: drawn as expected at $#" points || fail "$name: drawn wrong at$wrong"
}

# The pointer now shown: "icon" for the application icon (32 x 32 in colour, hot spot at its
# centre), "other" for anything else.
pointer_now() {
    case $(python3 "$here/pointer.py" 2>/dev/null) in
        "32x32 16,16 colour") echo icon ;;
        *) echo other ;;
    esac
}
# pointer_is X Y icon|other: moves there and waits for that pointer.
pointer_is() {
    local _
    xdotool mousemove "$((X + $1))" "$((Y + $2))"
    for _ in $(seq 100); do
        [ "$(pointer_now)" = "$3" ] && return 0
        sleep 0.05
    done
    return 1
}
# window_placed WINDOW: X and Y of the window once it is centred on the 1024 x 768 screen,
# where it may arrive a little after it is mapped; else where it is.
window_placed() {
    local _
    for _ in $(seq 100); do
        eval "$(xdotool getwindowgeometry --shell "$1")"
        [ "$X $Y" = "237 232" ] && return 0
        sleep 0.1
    done
    return 1
}
# window_painted: the backdrop drawn at a point no photo or control covers; a loaded
# machine's Wine maps the window a while before it paints it.
window_painted() {
    local _
    for _ in $(seq 300); do
        import -window root -crop "1x1+$((X + 100))+$((Y + 110))" +repage "$work/painted.png" 2>/dev/null
        [ "$(colour_at painted 0 0)" = white ] && return 0
        sleep 0.1
    done
    return 1
}
# After start-up, the pointer on bare backdrop above the balloon, where no photo reaches.
pointer_settled() { pointer_is 520 20 other; }

# A click on bare backdrop first, which does nothing, so that the next click is never taken
# as the second of a double click with the one before.
single_click() { # single_click X Y
    xdotool mousemove "$((X + 520))" "$((Y + 20))" click 1 mousemove "$((X + $1))" "$((Y + $2))" click 1
}
# The phrase's first lines: a tooltip below the pointer at y 120 may reach the label's last rows.
phrase_shot() { import -window root -crop "291x70+$((X + 184))+$((Y + 48))" +repage "$work/$1.png"; }
# clicks_change X Y: a click there shows a new phrase (the same line can come twice in a row,
# so a few clicks are allowed); the pointer is parked after each.
clicks_change() {
    local _ __
    phrase_shot phrase-before
    for _ in 1 2 3 4; do
        single_click "$1" "$2"
        pointer_settled
        for __ in $(seq 20); do
            phrase_shot phrase-after
            differs phrase-before phrase-after && return 0
            sleep 0.1
        done
    done
    return 1
}
# click_keeps X Y AX AY: a click at X Y leaves the phrase; that the click was taken is known
# when the program has answered the move to AX AY after it with the icon pointer. A face that
# reads the phrase on show (phrase_now) reads it then, with a phrase of the click's own in the
# file; else the phrase is watched a while longer, as the window paints after its queue is empty.
click_keeps() {
    local _ file=$work/$case/cazzate.txt
    if declare -F phrase_now >/dev/null; then
        cp "$file" "$work/phrases-kept"
        yes "Un clic accanto alla foto."$'\r' | head -n $(($(wc -l <"$file") + 10)) >"$file"
        single_click "$1" "$2"
        pointer_is "$3" "$4" icon && pointer_settled && [ "$(phrase_now)" != "Un clic accanto alla foto." ]
        local kept=$?
        cp "$work/phrases-kept" "$file"
        return "$kept"
    fi
    phrase_shot phrase-before
    single_click "$1" "$2"
    pointer_is "$3" "$4" icon || return 1
    for _ in $(seq 15); do
        phrase_shot phrase-after
        differs phrase-before phrase-after && break
        sleep 0.1
    done
    pointer_settled
    ! differs phrase-before phrase-after
}

# check_shape CASE: a tall-FORMAT or wide-FORMAT photo as photo_shapes.py draws it. Each format
# is drawn by its own loader; where the photo takes the pointer and clicks is told by its size
# alone, so that is checked on the first case of each shape.
check_shape() {
    local rest=white shape=${1%%-*}
    # The formats without transparency have green there; transparency shows the window's
    # colour, the photo being drawn opaque over what lies beneath.
    case $1 in *-jpeg | *-bmp) rest=green ;; esac
    case $1 in
        # 1 px wide, from y 120 down to the window's bottom edge, red to y 219.
        tall-*) check_colours "$1" "48,130 red" "48,215 red" "48,230 $rest" "48,302 $rest" \
            "49,130 white" "47,130 white" "48,119 white" "49,302 black" ;;
        # 255 px across, red to x 147.
        wide-ico) check_colours "$1" "60,120 red" "140,120 red" "160,120 $rest" "60,121 white" "60,119 white" "47,120 white" ;;
        # Across the window from x 48 on, red to x 447, over the balloon's edge.
        wide-*) check_colours "$1" "60,120 red" "170,120 red" "500,120 $rest" "547,120 $rest" \
            "60,121 white" "60,119 white" "47,120 white" "547,121 black" ;;
    esac
    [[ " ${shapes_hit:-} " == *" $shape "* ]] && return
    shapes_hit+=" $shape"
    case $1 in
        tall-*)
            pointer_is 48 200 icon && pass "$1: the icon pointer over the photo" || fail "$1: not the icon pointer over it"
            pointer_is 49 200 other && pass "$1: not beside it" || fail "$1: the icon pointer a pixel right of it"
            pointer_is 48 300 icon && pass "$1: the icon pointer at the window's edge" || fail "$1: not at the edge"
            clicks_change 48 200 && pass "$1: a click on it shows a new phrase" || fail "$1: its click changed nothing"
            click_keeps 49 200 48 250 && pass "$1: a click a pixel beside it does not" || fail "$1: beside it changed the phrase"
            ;;
        wide-*)
            pointer_is 520 120 icon && pass "$1: the icon pointer over it right of the balloon" || fail "$1: not right of the balloon"
            pointer_is 520 121 other && pass "$1: not below it" || fail "$1: the icon pointer below it"
            clicks_change 520 120 && pass "$1: a click on it right of the balloon shows a new phrase" || fail "$1: its click changed nothing"
            click_keeps 520 121 520 120 && pass "$1: a click below it does not" || fail "$1: below it changed the phrase"
            pointer_is 100 120 icon && pass "$1: the icon pointer over it" || fail "$1: not the icon pointer over it"
            pointer_is 100 121 other && pass "$1: not a pixel below" || fail "$1: the icon pointer a pixel below it"
            clicks_change 100 120 && pass "$1: a click on it shows a new phrase" || fail "$1: its click changed nothing"
            click_keeps 100 121 100 120 && pass "$1: a click a pixel below does not" || fail "$1: below it changed the phrase"
            ;;
    esac
}

# check_report CASE TEXT: one box, and it said TEXT.
check_report() {
    [ "$(cat "$work/$1.box")" = "$2" ] && pass "$1: '$2'" || fail "$1: the box said '$(cat "$work/$1.box")'"
}
# check_placeholder CASE: the window goes on with the placeholder face, 100 x 150.
check_placeholder() {
    pointer_is 147 269 icon && pointer_is 148 200 other && pointer_is 100 270 other \
        && pass "$1: the placeholder's place, 100 x 150" || fail "$1: not the placeholder's place"
    clicks_change 140 260 && pass "$1: a click on the placeholder shows a new phrase" || fail "$1: its click changed nothing"
}

# photo_cases ONLY SHAPED OVER BOUND DAMAGED REPORT: each case of the lists that ONLY names (all
# when it names none), started (the face's start), checked and stopped (its stop): shaped
# photos drawn with no report; photos over the bound, named over-FORMAT-W-H, refused with the
# whole report; photos at the bound shown; damaged ones reported with the system's words REPORT.
photo_cases() {
    local only=" $(echo $1) " kinds=(shaped over bound damaged) lists=("$2" "$3" "$4" "$5") i case w h
    for i in 0 1 2 3; do
        for case in ${lists[i]}; do
            [ "$only" = "  " ] || [[ $only == *" $case "* ]] || continue
            echo "== $case"
            start "$case" || { stop; continue; }
            case ${kinds[i]} in
            shaped)
                [ ! -s "$work/$case.box" ] && pass "$case: shown without a report" || fail "$case: $(cat "$work/$case.box")"
                check_shape "$case" ;;
            over)
                IFS=- read -r _ _ w h <<<"$case"
                check_report "$case" "Error \"Picture too large: $w x $h pixels\" in Form_Load() routine"
                check_placeholder "$case" ;;
            bound)
                [ ! -s "$work/$case.box" ] && pass "$case: at the bound, shown" || fail "$case: $(cat "$work/$case.box")"
                check_colours "$case" "60,130 red" "547,300 red" ;;
            damaged)
                check_report "$case" "Error \"$6\" in Form_Load() routine"
                check_placeholder "$case" ;;
            esac
            stop
        done
    done
}
