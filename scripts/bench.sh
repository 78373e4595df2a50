#!/usr/bin/env bash
# Builds the benchmarks and runs every one.
#   scripts/bench.sh          full runs of a Release build in build-bench/;
#                             prints the Markdown table the README uses
#   scripts/bench.sh --short  one quick pass of each (CI), only to keep them
#                             working, from the everyday build in build/
set -euo pipefail
cd "$(dirname "$0")/.."
short=0
if [ "${1:-}" = "--short" ]; then
    short=1
fi

if [ $short -eq 1 ]; then
    # Timings of a quick pass mean nothing, so the build the tests used will do.
    build=build
    scripts/build.sh "$build"
else
    build=build-bench
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTROVA_BUILD_TESTS=OFF
    cmake --build "$build" -j"$(nproc)"
fi

# Every executable the bench folder builds, so new benchmarks are run unasked.
mapfile -t benches < <(find "$build/bench" -maxdepth 1 -type f -executable -name '*Bench' | sort)
if [ ${#benches[@]} -eq 0 ]; then
    echo "no benchmark executables in $build/bench" >&2
    exit 1
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for bench in "${benches[@]}"; do
    name=$(basename "$bench")
    echo "== $name"
    run=("$bench")
    # The real window's benchmarks need an X server: a virtual one of their
    # own, started as the tests start theirs.
    case $name in
        Window*Bench) run=(tests/app/InXvfb.sh "$bench") ;;
    esac
    if [ $short -eq 1 ]; then
        # A benchmark that takes minutes even for one pass fails here
        # rather than stretching the CI run.
        KESTROVA_BENCH_SHORT=1 timeout 120 "${run[@]}" --benchmark_min_time=0.01 --benchmark_out="$out/$name.json" \
            --benchmark_out_format=json
    else
        "${run[@]}" --benchmark_out="$out/$name.json" --benchmark_out_format=json
    fi
    # A benchmark that skips itself with an error still exits 0.
    if grep -q '"error_occurred": true' "$out/$name.json"; then
        echo "$name: a benchmark reported an error" >&2
        exit 1
    fi
done

if [ $short -eq 1 ]; then
    echo "All ${#benches[@]} benchmark executables ran."
    exit 0
fi

echo
echo "| Benchmark | Time | Counters |"
echo "|---|---:|---|"
perl -MJSON::PP -e '
    # Plain digits for large values, four significant ones for small: no exponents in a table.
    sub shown { my $v = shift; abs($v) >= 1000 ? sprintf("%.0f", $v) : sprintf("%.4g", $v) }
    for my $file (@ARGV) {
        open(my $in, "<", $file) or die "$file: $!";
        my $results = decode_json(do { local $/; <$in> });
        for my $run (@{ $results->{benchmarks} }) {
            next if ($run->{run_type} // "") eq "aggregate";
            my %standard = map { $_ => 1 } qw(name family_index per_family_instance_index
                run_name run_type repetitions repetition_index threads iterations real_time
                cpu_time time_unit error_occurred error_message label);
            my @counters = map { "$_=" . shown($run->{$_}) }
                grep { !$standard{$_} } sort keys %$run;
            printf("| %s | %s %s | %s |\n", $run->{name}, shown($run->{real_time}),
                $run->{time_unit}, join(", ", @counters));
        }
    }' "$out"/*.json
