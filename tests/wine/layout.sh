# The main dialog's template as the dialog shows it: checks the driver's
# "layout" lines against the control table (class, styles, place and size in
# dialog units, tab order). Sourced by cases_install.sh.

# id class style x y w h, in template (tab) order.
LAYOUT_TABLE="\
99 Button 0x50010001 206 182 58 14
2 Button 0x50010000 267 182 58 14
65535 Static 0x50020010 3 177 324 1
65535 Static 0x50000003 298 8 20 20
1001 Static 0x50020200 12 15 280 20
1002 Static 0x50020000 20 37 200 8
1010 SysListView32 0x50810011 235 40 88 132
1031 Static 0x50020000 12 105 130 8
1032 Edit 0x50810080 10 116 200 12
1033 Button 0x50010000 213 116 14 12
1041 Button 0x50010003 25 137 180 10
1042 Button 0x50010003 25 150 180 10
1043 Button 0x50010003 25 163 180 10
1047 Static 0x50020200 20 184 180 10
1048 msctls_progress32 0x40000001 20 179 180 4"

# MulDiv as the dialog manager rounds it.
mul_div() { echo $(( ($1 * $2 * 2 + $3) / ($3 * 2) )); }

# check_layout NAME: the dialog is 330 x 200 units; its client size gives the
# base units, which turn every rectangle of the table into pixels.
check_layout() {
  local name=$1 lines=$WORK/$1.lines
  local client width height bx=0 by=0 b
  client=$(sed -n 's/^dialog style=[^ ]* client=\([^ ]*\).*/\1/p' "$lines")
  width=${client%x*}
  height=${client#*x}
  for b in $(seq 1 40); do
    [ "$(mul_div 330 "$b" 4)" = "$width" ] && bx=$b
    [ "$(mul_div 200 "$b" 8)" = "$height" ] && by=$b
  done
  if [ $bx -eq 0 ] || [ $by -eq 0 ]; then
    fail "$name: the client area $client is not 330 x 200 dialog units"
    return
  fi
  pass "$name: client area $client = 330 x 200 dialog units (base units $bx, $by)"
  local style
  style=$(sed -n 's/^dialog style=\([^ ]*\).*/\1/p' "$lines")
  # WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME, DS_SETFONT
  check "$name: dialog style $style holds the template's" test $(( style & 0x80c800c0 )) -eq $(( 0x80c800c0 ))
  # Centred on the desktop: half the difference, by an arithmetic shift.
  local window desktop wx wy ww wh dw dh
  window=$(sed -n 's/^dialog .* window=\([^ ]*\).*/\1/p' "$lines")
  desktop=$(sed -n 's/^dialog .* desktop=\([^ ]*\).*/\1/p' "$lines")
  IFS=, read -r wx wy ww wh <<<"$window"
  dw=${desktop%x*}
  dh=${desktop#*x}
  check "$name: dialog $window centred on the ${desktop} desktop" \
    test "$wx,$wy" = "$(( (dw - ww) >> 1 )),$(( (dh - wh) >> 1 ))"
  local ids
  ids=$(sed -n 's/^layout id=\([0-9]*\).*/\1/p' "$lines" | tr '\n' ' ')
  check "$name: controls in tab order ($ids)" test "$ids" = "$(cut -d' ' -f1 <<<"$LAYOUT_TABLE" | tr '\n' ' ')"
  local index=0 id class want x y w h line got_class got_style got_exstyle rect
  while read -r id class want x y w h; do
    index=$((index + 1))
    line=$(grep '^layout ' "$lines" | sed -n "${index}p")
    got_class=$(sed -n 's/.* class=\([^ ]*\).*/\1/p' <<<"$line")
    got_style=$(sed -n 's/.* style=\([^ ]*\).*/\1/p' <<<"$line")
    got_exstyle=$(sed -n 's/.* exstyle=\([^ ]*\).*/\1/p' <<<"$line")
    rect=$(sed -n 's/.* rect=//p' <<<"$line")
    # The dialog manager draws a template's WS_BORDER as a sunken client edge
    # (WS_EX_CLIENTEDGE) on a dialog of today's look; either counts as the border.
    if [ $(( want & 0x00800000 )) -ne 0 ] && [ $(( got_style & 0x00800000 )) -eq 0 ] &&
      [ $(( got_exstyle & 0x200 )) -ne 0 ]; then
      got_style=$(( got_style | 0x00800000 ))
    fi
    # A hidden Quick Launch box has lost WS_VISIBLE on purpose.
    [ "$id" = 1043 ] && want=$(( want & ~0x10000000 ))
    check "$name: control $id is a $class" test "${got_class,,}" = "${class,,}"
    check "$name: control $id style $got_style holds $(printf '0x%08x' $((want)))" \
      test $(( got_style & want )) -eq $(( want ))
    local px py pw ph
    px=$(mul_div "$x" $bx 4); py=$(mul_div "$y" $by 8); pw=$(mul_div "$w" $bx 4); ph=$(mul_div "$h" $by 8)
    # The icon control takes the size of its icon; only its place is the template's.
    if [ "$want" = 0x50000003 ]; then
      check "$name: icon control at $px,$py (got $rect)" test "${rect%,*,*}" = "$px,$py"
    elif [ "$want" = 0x50020010 ]; then
      # The etched line is drawn with its edges around the template's width.
      local got_w=${rect#*,*,}
      got_w=${got_w%,*}
      check "$name: separator at $px,$py, width $pw (got $rect)" \
        test "${rect%,*,*}" = "$px,$py" -a $(( got_w - pw )) -ge 0 -a $(( got_w - pw )) -le 2
    else
      check "$name: control $id at $px,$py,$pw,$ph (got $rect)" test "$rect" = "$px,$py,$pw,$ph"
    fi
  done <<<"$LAYOUT_TABLE"
}
