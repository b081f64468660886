#!/usr/bin/env python3
"""`make bench`: runs the two benchmark programs (their own tables go straight through), then
prints the ratios docs/performance.md quotes, from Google Benchmark's JSON output.

    report.py BUILD_DIR [--quick]      --quick: a few iterations of each, no callgrind (a smoke run)
"""
import json
import os
import subprocess
import sys
import tempfile

DEVICE_INSTRUCTIONS = 200e6  # a 200 MHz device at about one instruction per cycle, one tick a second


def run(program, args, out):
    print(f"\n== {os.path.basename(program)}", flush=True)
    subprocess.run([program, f"--benchmark_out={out}", "--benchmark_out_format=json"] + args, check=True)
    rows = {}
    for row in json.load(open(out))["benchmarks"]:
        if row.get("aggregate_name", "median") == "median":  # the median of repetitions, or the one run
            rows[row["run_name"].split("/")[0]] = row
    return rows


def main():
    build, quick = sys.argv[1], "--quick" in sys.argv
    bench = os.path.join(build, "bench")
    with tempfile.TemporaryDirectory() as tmp:
        ticks = run(os.path.join(bench, "trotix_bench_ticks"),
                    ["--quick"] if quick else ["--instructions", "--benchmark_repetitions=3",
                                               "--benchmark_display_aggregates_only=true"],
                    os.path.join(tmp, "ticks.json"))
        whole = run(os.path.join(bench, "trotix_bench_process"), ["--quick"] if quick else [],
                    os.path.join(tmp, "process.json"))

    build_type = next((line.split("=", 1)[1].strip() for line in open(os.path.join(build, "CMakeCache.txt"))
                       if line.startswith("CMAKE_BUILD_TYPE:")), "?")
    print(f"\n== Trotix, {build_type} build, load average {os.getloadavg()[0]:.1f} at the end"
          " (times move with the load; instruction counts do not)\n")

    def verdict(value, target):
        return f"target {target:.2f}: {'met' if value <= target else 'MISSED'}"

    start = whole["start-up"]
    print(f"start-up to the first screen   {start['game_ms']:7.1f} ms against {start['minimal_ms']:6.1f} ms"
          f"  x {start['x_minimal']:.2f}  {verdict(start['x_minimal'], 1.5)}; x {start['x_text']:.2f} one line of text")
    print(f"  in CPU time                  {start['game_cpu_ms']:7.1f} ms against {start['minimal_cpu_ms']:6.1f} ms"
          f"  x {start['x_minimal_cpu']:.2f}")
    if "start-up instr" in whole:
        instr = whole["start-up instr"]
        print(f"  in instructions              {instr['game_Minstr']:7.1f} M  against {instr['minimal_Minstr']:6.1f} M"
              f"   x {instr['x_minimal']:.2f}; x {instr['x_text']:.2f} one line of text")
    play = whole["minute of play"]
    print(f"peak memory after the play     {play['game_MiB']:7.1f} MiB against {play['minimal_MiB']:4.1f} MiB"
          f" x {play['x_minimal']:.2f}  {verdict(play['x_minimal'], 1.5)}")
    print(f"idle game's wake-ups           {play['wakeups_per_tick']:.1f} per tick over {play['idle_ticks']:.0f} ticks")

    # Every tick against the floor of the same run: CPU time, and instructions where counted.
    floor = next(row for name, row in ticks.items() if name.startswith("floor"))
    # The saves of every tenth tick (the attributes, the history line) are no screen's tick, and not counted.
    screens = {name: row for name, row in ticks.items()
               if not name.startswith(("floor", "attribute save", "history line"))}
    for name, row in screens.items():
        row["x_floor"] = row["cpu_time"] / floor["cpu_time"]
        if "instructions" in row:
            row["instr_x_floor"] = row["instructions"] / floor["instructions"]
        print(f"{name:44} x {row['x_floor']:5.2f} CPU"
              + (f", x {row['instr_x_floor']:5.2f} instructions" if "instr_x_floor" in row else ""))
    print()
    naming = screens["naming"]
    print(f"naming tick against the floor  x {naming['x_floor']:.2f} CPU"
          + (f", x {naming['instr_x_floor']:.2f} instructions" if "instr_x_floor" in naming else "")
          + f"  {verdict(naming['x_floor'], 3.0)}")
    worst = max(screens, key=lambda name: screens[name]["x_floor"])
    print(f"slowest tick against the floor x {screens[worst]['x_floor']:.2f} CPU ({worst})")
    if "instructions" in naming:
        most = max(screens, key=lambda name: screens[name]["instructions"])
        count = screens[most]["instructions"]
        print(f"most instructions in a tick    {count:,.0f} ({most}, x {screens[most]['instr_x_floor']:.2f} the floor),"
              f" {100 * count / DEVICE_INSTRUCTIONS:.2f} % of a 200 MHz device's second")


if __name__ == "__main__":
    main()
