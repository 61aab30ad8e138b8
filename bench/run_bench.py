"""Measures VELMOR against its baselines under Wine and prints one Markdown table. Runs where
bench/run-bench.sh has set up a Wine prefix, an X server (XVFB_PID) and the build (BUILD_DIR).
The CPU times are read here from Linux; velmor_bench.exe measures the rest."""
import os
import subprocess
import sys
import time
from pathlib import Path
from statistics import median

BUILD = os.environ["BUILD_DIR"]
VELMOR = (os.path.join(BUILD, "VELMOR.EXE"), "VELMOR")
MINIMAL = (os.path.join(BUILD, "bench", "velmor_minimal.exe"), "VelmorMinimalWindow")


def read(path):
    """A file's text, or "" once its process or thread is gone."""
    try:
        return Path(path).read_text(errors="replace")
    except OSError:
        return ""


def bench(*arguments, env=None):
    """Runs velmor_bench.exe: the numbers of its lines, listed by their first word, and its stderr."""
    done = subprocess.run(["wine", os.path.join(BUILD, "bench", "velmor_bench.exe"), *arguments],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, errors="replace", env=env)
    if done.returncode != 0:
        sys.exit(f"velmor_bench {' '.join(arguments)} failed: {done.stderr[-500:]}")
    lines = {}
    for words in map(str.split, done.stdout.splitlines()):
        lines.setdefault(words[0], []).append([float(x) for x in words[1:]])
    return lines, done.stderr


def store(subkey, name, data):
    """Writes a REG_BINARY value (hex) under VELMOR's key."""
    subprocess.run(["wine", "reg", "add", "\\".join([r"HKCU\Software\ORBA\VELMOR", *([subkey] if subkey else [])]), "/v", name,
                    "/t", "REG_BINARY", "/d", data, "/f"], stdin=subprocess.DEVNULL, capture_output=True)


def while_running(program, arguments, commands, work, options=None, time_format="00"):
    """Starts program with its stored options and time line (if any), posts its window commands in
    turn, lets it settle 3 s and returns work(pid)."""
    if options:
        store(None, "Option", options)
        # The time line in green, default font: format 00 shows seconds, 02 does not.
        store("Time", "Option", "00" * 36 + "00800000" + "00000000" + time_format + "00" * 7)
        store("Time", "Font", "1a000000" + "00" * 12 + "90010000" + "0000008000000001" + "4d53204d696e63686f".ljust(64, "0"))
    process = subprocess.Popen(["wine", program[0], *arguments], stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        bench("wait", program[1])
        for command in commands:
            bench("post", program[1], str(command))
        time.sleep(3)
        return work(process.pid)
    finally:
        bench("close", program[1])
        process.wait(timeout=30)


def row(figure, value, baseline, ratio, target, met):
    ratio, met = "" if ratio is None else f"{ratio:.2f}", {True: "met", False: "MISSED", None: ""}[met]
    print(f"| {figure} | {value} | {baseline} | {ratio} | {target} | {met} |", flush=True)


def compared(figure, runs, unit, baseline, target=None, scale=1):
    """A row of the medians over the runs of the subject's and the baseline's figure, and their ratio."""
    subject, base = (median(r[i] for r in runs) / scale for i in (0, 1))
    base = base or float("nan")
    text = [f"{x:.{3 if unit == 's' else 1 if unit == 'ms' else 0}f} {unit}" for x in (subject, base)]
    row(f"{figure} (median of {len(runs)})", text[0], f"{text[1]} ({baseline})", subject / base,
        f"<= {target}" if target else "", subject / base <= target if target else None)


def in_wine():
    paint = bench("paint")[0]
    for size, target in (("330x200", 1.5), ("1920x1080", None)):
        compared(f"PaintFace, two-line clock, {size}", paint["paint_" + size], "us",
                 "bare double buffer, same text by TextOutW", target)

    trace = bench("heap", env=dict(os.environ, WINEDEBUG="warn+debugstr,trace+heap"))[1]
    calls = {chunk.split('"')[0]: chunk.count(":RtlAllocateHeap ") + chunk.count(":RtlReAllocateHeap ")
             for chunk in trace.split(':OutputDebugStringA "heap_')[1:]}
    row(f"Heap allocations in 1000 paints at 330x200 (Wine's heap trace; its control counted {calls['control']}"
        " of 1000 HeapAlloc calls)", calls["velmor"], f"{calls['bare']} (the bare face)", None, "0 added",
        calls["control"] == 1000 and calls["velmor"] == calls["bare"])

    starts = bench("startup", *("Z:" + p.replace("/", "\\") for p, _ in (VELMOR, MINIMAL)))[0]["startup"]
    compared("Start-up to the first face on screen", starts, "ms", "minimal window", 1.2, 1000)


def second_lag(seconds):
    """How far into its second each change of the face came; a second shown late or never counts 1000 ms."""
    seen = while_running(VELMOR, [], (), lambda pid: bench("lag", VELMOR[1], str(seconds))[0])
    lags, shown = [], None
    for hour, minute, second, milliseconds, gap in seen.get("shown", []):
        now = ((hour * 60 + minute) * 60 + second) * 1000 + milliseconds
        lags += [(1000, 0)] * int(now // 1000 - shown - 1 if shown is not None else 0)
        lags.append((1000 if now // 1000 == shown else now % 1000, gap))
        shown = now // 1000
    lags.sort()
    poll = seconds * 1000 / seen["polls"][0][0]
    for name, (lag, gap) in (("99th percentile", lags[-(-len(lags) * 99 // 100) - 1]), ("worst", lags[-1])):
        row(f"Second shown after it begins, {name} of {len(lags)} s (screen read every {poll:.1f} ms;"
            f" this change seen {gap:.0f} ms after the read before)", f"{lag:.0f} ms",
            "none (the minimal window shows no time)", None, "<= 30 ms", lag <= 30)


def running_cost(seconds, runs):
    """CPU of the program's Wine process, wineserver and the X server: their threads' scheduler counts."""
    prefix = f"WINEPREFIX={os.environ['WINEPREFIX']}\0"
    server = next(p for p in os.listdir("/proc") if read(f"/proc/{p}/comm").startswith("wineserver")
                  and prefix in read(f"/proc/{p}/environ"))

    def span(pid):
        tasks = [f"/proc/{p}/task/{t}/schedstat" for p in (pid, server, os.environ["XVFB_PID"])
                 for t in os.listdir(f"/proc/{p}/task")]
        before = [int(read(t).split()[0]) for t in tasks]
        time.sleep(seconds)
        return sum(int((read(t) or f"{b}").split()[0]) - b for t, b in zip(tasks, before)) / 1e9

    # The subjects take turns, so that all meet the same load; 1002 and 1003 are VELMOR's
    # IDM_COUNTUP and IDM_STOP. The stored options make the clock opaque, or on top and 70 %
    # see-through (bytes 7 and 8), or sound the time signal every half hour (byte 10); each shows
    # its icon in the notification area. Every VELMOR runs with 20 alarms, on days to come.
    day = (time.localtime().tm_wday + 3) % 7     # Python's Monday is 0; VELMOR's bit 0 is Sunday
    for number in range(1, 21):
        store(f"Alarms\\{number}", "Option", f"01{number:02x}00{1 << day:02x}01000000")
    opaque, through, chime = "ffffff00" + "00" * 28, "ffffff0000000146" + "00" * 24, "ffffff00" + "00" * 6 + "02" + "00" * 21
    subjects = [(VELMOR, [], (), opaque), (MINIMAL, ["1000"], ()), (VELMOR, [], (1002,), opaque), (MINIMAL, ["100"], ()),
                (VELMOR, [], (), through), (MINIMAL, ["1000"], ()), (VELMOR, [], (1002, 1003), chime), (MINIMAL, ["0"], ()),
                (VELMOR, [], (), opaque, "02"), (MINIMAL, ["1000"], ())]
    rounds = [[while_running(*subject[:3], span, *subject[3:]) for subject in subjects] for _ in range(runs)]
    # A clock that wakes once a minute costs next to nothing beyond what Wine spends idle: its
    # cost, and the once-a-second window's, are what each spends above the window with no timer.
    floor = lambda r: [r[8] - r[7], r[9] - r[7]]
    for name, base, target, spans in (("clock", "1 s timer", 1.1, lambda r: r[0:2]), ("count", "100 ms timer", 1.2, lambda r: r[2:4]),
                                      ("clock on top, 70 % see-through", "1 s timer", 1.1, lambda r: r[4:6]),
                                      ("stopped count, 20 alarms and the time signal", "no timer", 1.1, lambda r: r[6:8]),
                                      ("clock without seconds, above the window with no timer", "1 s timer, the same", 0.1, floor)):
        pairs = [spans(r) for r in rounds]
        compared(f"CPU of program + wineserver + X server over {seconds} s, {name}, rounds' ratios "
                 + ", ".join(f"{a / b if b else float('nan'):.2f}" for a, b in pairs), pairs, "s", f"minimal window, {base}", target)


seconds, runs = (int(a) for a in (sys.argv[1:] + ["60", "9"])[:2])
wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
print(f"{os.cpu_count()} CPUs, Linux {os.uname().release}, {wine}."
      f" Started {time.strftime('%Y-%m-%d %H:%M %Z')}, load average {read('/proc/loadavg')[:14]}\n\n"
      "| Figure | VELMOR | Baseline | Ratio | Target | Result |\n|---|---|---|---|---|---|", flush=True)
in_wine()
second_lag(10 * seconds)
running_cost(seconds, runs)
print(f"\nFinished {time.strftime('%H:%M %Z')}, load average {read('/proc/loadavg')[:14]}")
