#!/usr/bin/env bash
# Regenerates the pictures and sounds of assets/files/ (committed, so builds need neither tool).
# Needs ImageMagick 6 (/usr/bin/convert) and sox.
set -euo pipefail
out=$(cd "$(dirname "$0")/../files" && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
C=/usr/bin/convert

# ZipRun.gif: a ring of eight dots, the bright one going round (the run is alive).
frames=()
for i in $(seq 0 7); do
  args=()
  for d in $(seq 0 7); do
    a=$(awk -v d="$d" 'BEGIN{print d*3.14159265/4}')
    x=$(awk -v a="$a" 'BEGIN{printf "%.1f", 16+11*cos(a)}'); y=$(awk -v a="$a" 'BEGIN{printf "%.1f", 16+11*sin(a)}')
    age=$(( (i - d + 8) % 8 ))
    case $age in 0) col="#1a5fd0";; 1) col="#4f86e0";; 2) col="#86abea";; *) col="#cfdcf3";; esac
    args+=(-fill "$col" -draw "circle $x,$y $(awk -v x="$x" 'BEGIN{print x+3}'),$y")
  done
  $C -size 32x32 xc:none "${args[@]}" "$tmp/run$i.png"
  frames+=("$tmp/run$i.png")
done
$C -delay 10 -loop 0 -dispose background "${frames[@]}" "$out/ZipRun.gif"

# ZipErr.gif: a red disc with a white cross, blinking.
$C -size 32x32 xc:none -fill "#d02020" -draw "circle 16,16 16,2" -stroke white -strokewidth 4 \
   -draw "line 10,10 22,22" -draw "line 22,10 10,22" "$tmp/err0.png"
$C -size 32x32 xc:none -fill "#f0a0a0" -draw "circle 16,16 16,2" -stroke white -strokewidth 4 \
   -draw "line 10,10 22,22" -draw "line 22,10 10,22" "$tmp/err1.png"
$C -delay 50 -loop 0 -dispose background "$tmp/err0.png" "$tmp/err1.png" "$out/ZipErr.gif"

# The three dialog icons, 32x32.
$C -size 32x32 xc:none -fill "#2a6fdb" -draw "circle 16,16 16,1" -fill white -font DejaVu-Sans-Bold \
   -pointsize 24 -gravity center -annotate +0+1 "?" "$out/DlgAsk.png"
$C -size 32x32 xc:none -fill "#f2c200" -stroke "#8a6d00" -strokewidth 1 -draw "polygon 16,2 30,29 2,29" \
   -stroke none -fill black -font DejaVu-Sans-Bold -pointsize 20 -gravity center -annotate +0+3 "!" "$out/DlgWarning.png"
$C -size 32x32 xc:none -fill "#c81e1e" -draw "circle 16,16 16,1" -fill white -draw "rectangle 7,13 25,19" \
   "$out/DlgNoWay.png"

# The logo shown in interactive mode.
$C -size 160x90 gradient:"#1a5fd0"-"#0b2f6b" -fill white -font DejaVu-Sans-Bold -pointsize 26 -gravity center \
   -annotate +0-8 "VORTIPAK" -font DejaVu-Sans -pointsize 11 -annotate +0+20 "one-click backup" "$out/logo.png"

# sonar.wav: a soft ping after a successful run; error.wav: two low tones after a failure.
sox -q -n -r 22050 -b 16 -c 1 "$out/sonar.wav" synth 0.7 sine 1320 fade q 0.005 0.7 0.65 vol 0.6
sox -q -n -r 22050 -b 16 -c 1 "$tmp/e1.wav" synth 0.22 square 220 vol 0.35 fade q 0.01 0.22 0.03
sox -q -n -r 22050 -b 16 -c 1 "$tmp/gap.wav" trim 0 0.08
sox -q -n -r 22050 -b 16 -c 1 "$tmp/e2.wav" synth 0.32 square 165 vol 0.35 fade q 0.01 0.32 0.05
sox -q "$tmp/e1.wav" "$tmp/gap.wav" "$tmp/e2.wav" "$out/error.wav"
