#!/usr/bin/env bash
# net_test.sh CASE REPLAY RELAY DATA_DIR: network matches on the loopback address, each machine a level
# runner with inputs of its own; the traces of one match must be the same but for the line naming each
# machine's own fighter ("local player").
#   two, four  a host and one or three joiners
#   relay      a host and a joiner through a relay that drops 5 % of the datagrams and holds each
#              20-80 ms, so that some overtake others
#   leaver     a joiner of three is killed mid-match: the host and the other joiner hand his fighter
#              to a computer brain at the same frame and finish
#   refused    a joiner with another map, then one with other rules, is refused, and both sides say why
#   desync     the joiner's world is nudged at a frame (a test hook of the level runner): both machines
#              stop at the next comparison with "desync at frame F" and keep their hands for a report
set -euo pipefail
case_name=$1
replay=$2 relay=$3 data_dir=$(cd "$4" && pwd)
work=$(mktemp -d)
pids=()
cleanup() { for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; for f in "$work"/*.log; do echo "== $f"; tail -5 "$f"; done; exit 1; }
# A port of its own per case, so that cases may run side by side.
case "$case_name" in two) port=24711 ;; four) port=24712 ;; relay) port=24713 ;; leaver) port=24714 ;; desync) port=24716 ;; *) port=24715 ;; esac

# Each player's hands: walking, jumping, aiming and firing at different frames.
hands() {  # hands N: the inputs of player N
  local n=$1
  printf '%d mouse %d 300\n' 10 $((300 + 60 * n))
  printf '%d key down %s\n%d key up %s\n' $((100 + 40 * n)) D $((400 + 40 * n)) D
  printf '%d key down W\n%d key up W\n' $((450 + 30 * n)) $((470 + 30 * n))
  printf '%d button down left\n%d button up left\n' $((600 + 20 * n)) $((900 + 20 * n))
  printf '%d key down A\n%d key up A\n' $((1000 + 50 * n)) $((1300 + 50 * n))
  printf '%d key down 2\n%d key up 2\n' $((1600 + 10 * n)) $((1604 + 10 * n))
}
for n in 1 2 3 4; do hands "$n" > "$work/hands$n.input"; done

match=(--match quarry --team-size 2 --score 3 --minutes 1)
host() {  # host PLAYERS [more options]
  local players=$1; shift
  "$replay" --data "$data_dir" "${match[@]}" --host "$port" --players "$players" --input "$work/hands1.input" \
    --trace "$work/1.trace" "$@" 2> "$work/1.log" &
  pids+=($!)
}
joiner() {  # joiner N ADDRESS [DATA]: in the background
  "$replay" --data "${3:-$data_dir}" --join "$2" --input "$work/hands$1.input" --trace "$work/$1.trace" 2> "$work/$1.log" &
  pids+=($!)
}
finish() {  # finish: every machine's status must be 0
  for pid in "${pids[@]}"; do wait "$pid" || fail "a machine ended with status $?"; done
  pids=()
}
same() {  # same N...: the traces agree but for the local player line, which names each one's own fighter
  for n in "$@"; do
    [ -s "$work/$n.trace" ] || fail "machine $n wrote no trace"
    grep -q "^ended endgame$" "$work/$n.trace" || fail "machine $n did not play to the end: $(tail -3 "$work/$n.trace")"
    grep -q "print versus: final score" "$work/$n.trace" || fail "machine $n has no final score"
    grep -v "^local player" "$work/$n.trace" > "$work/$n.shared"
    cmp -s "$work/1.shared" "$work/$n.shared" || { diff "$work/1.shared" "$work/$n.shared" | head; fail "machine $n differs from the host"; }
  done
  [ "$(cat "$work"/*.trace | grep "^local player" | sort -u | wc -l)" -eq "$#" ] || fail "the machines do not each have a fighter of their own"
  grep "^network:" "$work"/*.log || true
}
wait_for() {  # wait_for FILE TEXT: until the text is in the file (bounded)
  for _ in $(seq 600); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.2; done
  fail "no \"$2\" in $1"
}

case "$case_name" in
two)
  host 2
  joiner 2 "127.0.0.1:$port"
  finish
  same 1 2 ;;
four)
  host 4
  for n in 2 3 4; do joiner "$n" "127.0.0.1:$port"; done
  finish
  same 1 2 3 4 ;;
relay)
  host 2
  "$relay" --listen 0 --to "127.0.0.1:$port" --drop 5 --delay 20-80 2> "$work/relay.log" &
  relay_pid=$!
  wait_for "$work/relay.log" "relaying 127.0.0.1:"
  relay_port=$(grep -o "relaying 127.0.0.1:[0-9]*" "$work/relay.log" | head -1 | cut -d: -f2)
  joiner 2 "127.0.0.1:$relay_port"
  finish
  kill "$relay_pid"
  wait "$relay_pid" || true
  cat "$work/relay.log"
  same 1 2 ;;
leaver)
  match=(--match quarry --team-size 2 --score 999 --minutes 1)
  host 3
  joiner 2 "127.0.0.1:$port"
  joiner 3 "127.0.0.1:$port"
  leaver=${pids[2]}
  wait_for "$work/3.log" "The match begins"
  # Places go in the order the joiners came: his is in his own log.
  place=$(grep -o "Joined as player [0-9]*" "$work/3.log" | grep -o "[0-9]*$")
  sleep 1
  kill -9 "$leaver"
  wait "$leaver" 2>/dev/null || true
  pids=("${pids[0]}" "${pids[1]}")
  finish
  for n in 1 2; do
    grep -q "event OnHandOver $place " "$work/$n.trace" || fail "machine $n did not hand player $place's fighter over"
    grep -q "print versus: player $place has left" "$work/$n.trace" || fail "machine $n's script did not hear of it"
  done
  rm -f "$work/3.trace"
  same 1 2 ;;
refused)
  mkdir -p "$work/other/map"
  for entry in "$data_dir"/*; do [ "$(basename "$entry")" = map ] || ln -s "$entry" "$work/other/"; done
  cp -r "$data_dir/map/versus" "$work/other/map/"
  # One decoration a pixel to the right: the same map to the eye, another to the match.
  sed -i 's/^cloud.bmp 0 1 300 250 /cloud.bmp 0 1 301 250 /' "$work/other/map/versus/quarry.map"
  cmp -s "$data_dir/map/versus/quarry.map" "$work/other/map/versus/quarry.map" && fail "the map was not changed"
  host 2
  set +e
  "$replay" --data "$work/other" --join "127.0.0.1:$port" 2> "$work/2.log"
  status=$?
  set -e
  [ "$status" -eq 1 ] || fail "a joiner with another map: status $status"
  grep -q "Refused: the map quarry differs from the host's." "$work/2.log" || fail "the joiner did not say why"
  wait_for "$work/1.log" "Player 2 was refused: the map quarry differs."
  # Other rules: the host refuses him.
  mkdir -p "$work/rules/script"
  for entry in "$data_dir"/*; do [ "$(basename "$entry")" = script ] || ln -s "$entry" "$work/rules/"; done
  cp "$data_dir"/script/* "$work/rules/script/"
  echo "' another mode" >> "$work/rules/script/versus.fb"
  set +e
  "$replay" --data "$work/rules" --join "127.0.0.1:$port" 2> "$work/3.log"
  status=$?
  set -e
  [ "$status" -eq 1 ] || fail "a joiner with other rules: status $status"
  grep -q "Refused by the host: the versus rules (script/versus.fb) differ." "$work/3.log" || fail "the joiner was not told why"
  wait_for "$work/1.log" "A player was refused: the versus rules (script/versus.fb) differ." ;;
desync)
  export XDG_STATE_HOME=$work/state
  host 2
  TORVANE_TEST_DESYNC_FRAME=500 "$replay" --data "$data_dir" --join "127.0.0.1:$port" --input "$work/hands2.input" \
    --trace "$work/2.trace" 2> "$work/2.log" || true
  wait "${pids[0]}" || true
  pids=()
  for n in 1 2; do
    grep -q "^ended desync at frame 527$" "$work/$n.trace" || fail "machine $n did not stop at the first comparison after frame 500"
    [ -s "$work/state/torvane/desync-frame"*"-player$n.txt" ] || fail "machine $n kept no report"
  done ;;
*)
  echo "usage: $0 two|four|relay|leaver|refused|desync REPLAY RELAY DATA_DIR" >&2
  exit 2 ;;
esac
echo PASS
