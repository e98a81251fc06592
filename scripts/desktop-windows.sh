# Finding Velumo's windows on the X11 desktop of desktop-session.sh; sourced
# by the picture scripts, which define fail() first.

# Polls up to fifteen seconds until a window's title holds the text.
wait_for() {
  local deadline=$((SECONDS + 15))
  while ((SECONDS < deadline)); do
    if xwininfo -root -tree | grep -F -- "$1" >/dev/null; then return 0; fi
    sleep 0.1
  done
  fail "no window \"$1\" appeared"
}

# Client window id of the program's window whose title starts with the text
# (Qt's hidden 1 × 1 leader window has no class and is left out).
window_id() {
  xwininfo -root -tree | grep -E "^ *0x[0-9a-f]+ \"$1[^\"]*\": \(\"velumo\"" | awk 'NR == 1 {print $1}'
}
