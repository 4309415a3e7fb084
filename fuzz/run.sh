#!/bin/bash
# Runs every harness built in BUILD_DIR for FUZZ_TIME seconds, FUZZ_PARALLEL
# at a time, each seeded from its kept corpus, its regression inputs and the
# matching fixture files of tests/ (and what earlier runs added). Prints each harness's executions; exits
# non-zero when any harness found a fault (the input is in its artifacts
# folder under BUILD_DIR/fuzz-work/<harness>/).
set -u
build_dir=${1:?build folder}
fuzz_time=${FUZZ_TIME:-60}
parallel=${FUZZ_PARALLEL:-4}
src_dir=$(cd "$(dirname "$0")" && pwd)
root_dir=$(dirname "$src_dir")
work_dir=$build_dir/fuzz-work

# Fixture files of tests/ that seed a harness, by file name.
seed_names() {
  case $1 in
    main_file) echo 'main_.ql' ;;
    channels_file) echo 'com_chns' ;;
    data_block_file) echo 'acq_db' ;;
    alarm_config_file) echo 'alarm_config' ;;
    events_file) echo 'events fallbacks *_expected' ;;
    page_file) echo '*.ovpg' ;;
    users_file) echo 'users_config* default_users_config' ;;
  esac
}

# Inputs up to 64 KiB: long address and instruction texts are part of what
# the parsers must survive.
max_len() {
  echo 65536
}

run_one() {
  local harness=$1 dir=$work_dir/$1 name
  # The corpus a previous run grew is kept; its findings are not.
  rm -rf "$dir/artifacts" && mkdir -p "$dir/corpus" "$dir/artifacts"
  cp "$src_dir/corpus/$harness/"* "$dir/corpus/" 2>/dev/null
  cp "$src_dir/regressions/$harness/"* "$dir/corpus/" 2>/dev/null
  for name in $(seed_names "$harness"); do
    case $harness in
      events_file) find "$root_dir/tests" -path '*/data/*' -type f -name "$name" ! -name '*.ovpg' \
                     -exec sh -c 'head -c1 "$1" | grep -q "{"' _ {} \; \
                     -exec sh -c 'cp "$1" "$2/seed_$(echo "$1" | md5sum | cut -c1-12)"' _ {} "$dir/corpus" \; ;;
      *) find "$root_dir/tests" -path '*/data/*' -type f -name "$name" \
           -exec sh -c 'cp "$1" "$2/seed_$(echo "$1" | md5sum | cut -c1-12)"' _ {} "$dir/corpus" \; ;;
    esac
  done
  (cd "$dir" && "$build_dir/fuzz/fuzz_$harness" -max_total_time="$fuzz_time" -max_len="$(max_len "$harness")" \
     -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/artifacts/" \
     corpus > log.txt 2>&1)
  echo $? > "$dir/status"
}

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$src_dir/ubsan.supp
harnesses=$(cd "$build_dir/fuzz" && ls fuzz_* 2>/dev/null | grep -v '\.' | sed 's/^fuzz_//')
[ -n "$harnesses" ] || { echo "no harness built in $build_dir/fuzz"; exit 1; }
export -f run_one seed_names max_len
export build_dir=$(cd "$build_dir" && pwd) work_dir=$(mkdir -p "$work_dir" && cd "$work_dir" && pwd)
export src_dir root_dir fuzz_time
echo "Fuzzing $(echo $harnesses | wc -w) harnesses for $fuzz_time s each, $parallel at a time"
printf '%s\n' $harnesses | xargs -P "$parallel" -I{} bash -c 'run_one {}'

failed=0
printf '%-22s %12s %8s  %s\n' harness executions corpus result
for harness in $harnesses; do
  dir=$work_dir/$harness
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log.txt" | grep -o '[0-9]*$' | tail -1)
  size=$(ls "$dir/corpus" | wc -l)
  if [ "$(cat "$dir/status")" = 0 ]; then result=ok; else result="FAULT (see $dir/log.txt)"; failed=1; fi
  printf '%-22s %12s %8s  %s\n' "$harness" "${runs:-?}" "$size" "$result"
done
exit $failed
