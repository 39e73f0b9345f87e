#!/usr/bin/env python3
"""Cross-check of the group and pause, period and chain statistics (groups 8, 9, 10) against a computation
of their own, written from the rules alone: for the real archive, every method of these groups under a few
settings, at draws offsets 0 and 5, in drawn order and sorted, compares the statistics table that
`quintar-cli stats` prints (value, count, depth, last draw, smallest and largest period), the values
`quintar-cli values` gives a few draws and, for a sample
of methods, the count that `quintar-cli filter` keeps or deletes.

    tools/check-series-chains.py build/src/cli/quintar-cli ../shared/data/draws-7x35-import.csv [--quick]
"""
import math
import os
import subprocess
import sys
import tempfile

CLI, CSV = sys.argv[1], sys.argv[2]
QUICK = "--quick" in sys.argv


def read_archive(path):
    draws = []
    for line in open(path, encoding="cp1251"):
        f = line.strip().split(";")
        if len(f) < 10:
            continue
        draws.append((int(f[0]), [int(x) for x in f[2:9]]))
    return draws


DRAWS = read_archive(CSV)


class Table:
    """The value list of a statistics table: records by key, in insertion order."""

    def __init__(self, only=None):
        self.rec = {}
        self.only = only  # the values of this draw index alone (quintar-cli values)
        self.i = None
        self.log = None   # draw index -> the keys merged there, when asked for

    def at(self, i):
        self.i = i

    def pre(self, key):
        if self.only is None and key not in self.rec:
            self.rec[key] = dict(count=0, depth=0, last=0, seen=0, minp=0, maxp=0)

    def merge(self, key, last, depth):
        if self.only is not None and self.i != self.only:
            return
        if self.log is not None:
            self.log.setdefault(self.i, set()).add(key)
        e = self.rec.get(key)
        if e is None:
            self.rec[key] = dict(count=1, depth=depth, last=last, seen=last, minp=0, maxp=0)
            return
        e["count"] += 1
        if e["depth"] == 0 or (depth > 0 and depth <= e["depth"]):
            e["last"], e["depth"] = last, depth
        if last > 0 and e["seen"] > 0:
            d = abs(e["seen"] - last)
            if d < e["minp"] or e["minp"] == 0:
                e["minp"] = d
            if d > e["maxp"] or e["maxp"] == 0:
                e["maxp"] = d
        e["seen"] = last


def make_settings(channel, segments):
    seg = [int(c) if c.isdigit() and c != "0" else 1 for c in (segments + "1" * 35)[:35]]
    return dict(channel=channel, seg=seg)


def chan(n, s):
    return (n + s["channel"] - 1) // s["channel"] if n else 0


def segm(n, s):
    return s["seg"][n - 1] if n else 0


def draw(i, sorted_view):
    if i < 0 or i >= len(DRAWS):
        return 0, [0] * 7
    number, nums = DRAWS[i]
    return number, sorted(nums) if sorted_view else list(nums)


# --- the statistics -------------------------------------------------------------------------------------

def series(item_of, items, groups, text2):
    def run(L, F, sorted_view, t, hi=None):
        runs = {x: [0, 0, 0] for x in items}
        ref = {item_of(n) for n in draw(L, False)[1]}
        for i in range(F, (L if hi is None else hi) + 1):
            t.at(i)
            number, nums = draw(i, sorted_view)
            present = {item_of(n) for n in nums}
            for x in items:
                r = runs[x]
                if (x in present) == groups:
                    r[0] += 1
                    r[1] = number
                    r[2] = L - i + 1
                    if i == L and x in ref:
                        t.merge((x, r[0]), r[1], r[2])
                else:
                    if r[0] > 0 and x in ref:
                        t.merge((x, r[0]), r[1], r[2])
                    runs[x] = [0, 0, 0]

    run.text = lambda k: ("%02d x %d" if text2 else "%d x %d") % (k[0], k[1])
    run.kind = "item"
    run.item_of = item_of
    return run


def periods(item_of, text2):
    def run(L, F, sorted_view, t, hi=None):
        last = {}
        for i in range(F, (L if hi is None else hi) + 1):
            t.at(i)
            number, nums = draw(i, sorted_view)
            for n in nums:
                x = item_of(n)
                if x in last:
                    p = number - last[x]
                    last[x] = number
                    if p > 0:
                        t.merge((x, p), number, L - i + 1)
                else:
                    last[x] = number

    run.text = lambda k: ("%02d x %d" if text2 else "%d x %d") % (k[0], k[1])
    run.kind = "period"
    run.item_of = item_of
    return run


def chain(f, kind, pos=None, text2=False, count_group=None, count_limit=0, inside=None, s=None):
    three = kind in ("pos3", "cnt3")
    positions = [pos - 1] if pos else range(7)

    def cnt(nums):
        return sum(1 for n in nums if n and f(n) == count_group)

    def prelist(L, t):
        if kind == "cnt2":
            a = cnt(draw(L, False)[1])
            for m in range(count_limit + 1):
                t.pre((a, m))
        elif kind == "cnt3":
            a, b = cnt(draw(L, False)[1]), cnt(draw(L - 1, False)[1])
            for m in range(count_limit + 1):
                t.pre((b, a, m))

    def run(L, F, sorted_view, t, hi=None):
        prelist(L, t)
        Ln = draw(L, sorted_view)[1]
        Rn = draw(L - 1, sorted_view)[1]
        for i in range(F, (L if hi is None else hi) + 1):
            t.at(i)
            number, I = draw(i, sorted_view)
            depth = L - i + 1
            pnum, P = draw(i - 1, False if kind in ("cnt2", "cnt3", "inside") else sorted_view)
            if pnum <= 0:
                continue
            if three:
                qnum, Q = draw(i - 2, sorted_view)
                if qnum <= 0:
                    continue
            if kind == "all2":
                fl = {f(n) for n in Ln}
                for p in range(7):
                    if f(P[p]) in fl:
                        for q in range(7):
                            t.merge((f(P[p]), f(I[q])), number, depth)
            elif kind == "pos2":
                for p in positions:
                    if f(P[p]) == f(Ln[p]):
                        t.merge((f(P[p]), f(I[p])), number, depth)
            elif kind == "pos3":
                for p in positions:
                    if f(P[p]) == f(Ln[p]) and f(Q[p]) == f(Rn[p]):
                        t.merge((f(Q[p]), f(P[p]), f(I[p])), number, depth)
            elif kind == "cnt2":
                if cnt(P) == cnt(Ln):
                    t.merge((cnt(P), cnt(I)), number, depth)
            elif kind == "cnt3":
                if cnt(P) == cnt(Ln) and cnt(Q) == cnt(Rn):
                    t.merge((cnt(Q), cnt(P), cnt(I)), number, depth)
            elif kind == "inside":
                for x in P:
                    if x not in Ln:
                        continue
                    same = [y for y in I if f(y) == f(x)]
                    if inside == 3:
                        t.merge((x, len(same)), number, depth)
                        continue
                    if inside != 2:
                        for y in same:
                            t.merge((x, y), number, depth)
                    if inside != 1 and not same:
                        t.merge((x, 0), number, depth)

    def text(k):
        if three:
            return ("%02d-%02d -> %02d" if text2 else "%d-%d -> %d") % k
        return ("%02d -> %02d" if text2 else "%d -> %d") % k

    run.text = text
    run.kind = kind
    run.f = f
    run.three = three
    run.count_group = count_group
    run.inside = inside
    return run


def methods(s):
    num = lambda n: n
    ch = lambda n: chan(n, s)
    sg = lambda n: segm(n, s)
    channels = range(1, (35 + s["channel"] - 1) // s["channel"] + 1)
    lo, hi = min(s["seg"]), max(s["seg"])
    m = {
        "GRPV": series(num, range(1, 36), True, False),
        "GRPP": series(num, range(1, 36), False, False),
        "GRCV": series(ch, channels, True, True),
        "GRCP": series(ch, channels, False, True),
        "GRSV": series(sg, range(lo, hi + 1), True, False),
        "GRSP": series(sg, range(lo, hi + 1), False, False),
        "PRDV": periods(num, False),
        "PRDC": periods(ch, True),
        "PRDG": periods(sg, False),
        "SDV2": chain(num, "all2"),
        "SDP2": chain(num, "pos2"),
        "SDP3": chain(num, "pos3"),
        "SCV2": chain(ch, "all2", text2=True),
        "SCP2": chain(ch, "pos2", text2=True),
        "SCP3": chain(ch, "pos3", text2=True),
        "SDA2": chain(ch, "inside", inside=0, text2=True),
        "SDG2": chain(ch, "inside", inside=1, text2=True),
        "SDZ2": chain(ch, "inside", inside=2, text2=True),
        "SDC2": chain(ch, "inside", inside=3),
        "SSV2": chain(sg, "all2"),
        "SSP2": chain(sg, "pos2"),
        "SSP3": chain(sg, "pos3"),
    }
    for p in range(1, 8):
        m["SDN%d" % p] = chain(num, "pos2", pos=p)
        m["SDM%d" % p] = chain(num, "pos3", pos=p)
        m["SCN%d" % p] = chain(ch, "pos2", pos=p, text2=True)
        m["SCM%d" % p] = chain(ch, "pos3", pos=p, text2=True)
        m["SSN%d" % p] = chain(sg, "pos2", pos=p)
        m["SSM%d" % p] = chain(sg, "pos3", pos=p)
    for c in channels:
        m["SC2C%d" % c] = chain(ch, "cnt2", count_group=c, count_limit=s["channel"])
        m["SC3C%d" % c] = chain(ch, "cnt3", count_group=c, count_limit=s["channel"])
    for g in range(lo, hi + 1):
        m["SS2C%d" % g] = chain(sg, "cnt2", count_group=g)
        m["SS3C%d" % g] = chain(sg, "cnt3", count_group=g)
    return m


# --- the filter's count ---------------------------------------------------------------------------------

def kept_by(method, keys, L, delete):
    """How many of all combinations the filter keeps: the numbers (or counts) that make a combination match."""
    total = math.comb(35, 7)
    if method.kind in ("cnt2", "cnt3"):
        counts = {k[2] if method.three else k[1] for k in keys}
        size = sum(1 for n in range(1, 36) if method.f(n) == method.count_group)
        match = sum(math.comb(size, c) * math.comb(35 - size, 7 - c) for c in counts if 0 <= c <= 7)
    else:
        numbers = set()
        if method.kind == "item":
            numbers = {n for n in range(1, 36) if any(method.item_of(n) == k[0] for k in keys)}
        elif method.kind == "period":
            for n in range(1, 36):
                x = method.item_of(n)
                for k in keys:
                    if k[0] != x:
                        continue
                    d = draw(L - k[1] + 1, False)[1]
                    occurred = x in {method.item_of(v) for v in d if v}
                    if occurred != delete:
                        numbers.add(n)
        elif method.kind == "inside":
            latest = [x for x in draw(L, False)[1] if x]
            for k in keys:
                if k[0] not in latest:
                    continue
                if method.inside == 3 or k[1] == 0:
                    numbers |= {y for y in range(1, 36) if method.f(y) == method.f(k[0])}
                elif 1 <= k[1] <= 35:
                    numbers.add(k[1])
        else:
            targets = {k[2] if method.three else k[1] for k in keys}
            numbers = {n for n in range(1, 36) if method.f(n) in targets}
        match = total - math.comb(35 - len(numbers), 7)
    return total - match if delete else match


# --- the run --------------------------------------------------------------------------------------------

def cli(dd, *args):
    r = subprocess.run([CLI, "--data-dir=" + dd] + list(args), capture_output=True, text=True)
    if r.returncode != 0:
        raise RuntimeError("%s: %s" % (" ".join(args), r.stderr.strip()))
    return r.stdout


def dash(v):
    return 0 if v == "-" else int(v)


def main():
    settings = [(5, ""), (6, "99999111111111111111333333333333333")]
    if not QUICK:
        settings.append((4, "12345678912345678912345678912345678"))
    failures = checked = filters = values = 0
    for channel, segments in settings:
        s = make_settings(channel, segments)
        with tempfile.TemporaryDirectory() as dd:
            with open(os.path.join(dd, "Quintar_7x35.ini"), "wb") as ini:
                ini.write(("[GLOBAL]\r\nChannelSize=%d\r\nMatrixSegments=%s\r\n" % (channel, segments)).encode("cp1251"))
            cli(dd, "draws", "import", CSV)
            codes = [line.split("\t")[1] for line in cli(dd, "catalogue").splitlines()[1:]
                     if line.split("\t")[3] in ("8", "9", "10")]
            mine = methods(s)
            if sorted(codes) != sorted(mine):
                print("catalogue differs under", channel, segments, set(codes) ^ set(mine))
                failures += 1
            for code in codes:
                method = mine[code]
                for offset in (0, 5):
                    for sorted_view in (False, True):
                        L = len(DRAWS) - 1 - offset
                        t = Table()
                        method(L, max(0, L - 999), sorted_view, t)
                        expected = {method.text(k): (e["count"], e["depth"], e["last"], e["minp"], e["maxp"])
                                    for k, e in t.rec.items()}
                        args = ["stats", code, "--offset=%d" % offset] + (["--sorted"] if sorted_view else [])
                        got, facts = {}, {}
                        for line in cli(dd, *args).splitlines()[1:]:
                            c = line.split("\t")
                            got[c[0]] = (int(c[1]), dash(c[6]), dash(c[9]), dash(c[10]), dash(c[12]))
                            facts[c[0]] = c[16]
                        if method.kind == "period":
                            # "Факт": the first draw after a value's newest occurrence that shows it again.
                            run = Table()
                            run.log = {}
                            method(L, max(0, L - 999), sorted_view, run, hi=len(DRAWS) - 1)
                            index = {number: i for i, (number, _) in enumerate(DRAWS)}
                            for k, e in t.rec.items():
                                if e["count"] < 1 or e["depth"] <= 0:
                                    continue
                                after = [i for i in range(index[e["last"]] + 1, len(DRAWS)) if k in run.log.get(i, ())]
                                want = str(DRAWS[after[0]][0]) if after else "-"
                                checked += 1
                                if facts.get(method.text(k)) != want:
                                    failures += 1
                                    print("fact %s %s offset %d: %s, expected %s" % (code, method.text(k), offset, facts.get(method.text(k)), want))
                        checked += 1
                        if got != expected:
                            failures += 1
                            diff = [(k, expected.get(k), got.get(k)) for k in set(expected) | set(got)
                                    if expected.get(k) != got.get(k)]
                            print("stats %s offset %d sorted %s channel %d: %d rows differ, e.g. %s"
                                  % (code, offset, sorted_view, channel, len(diff), diff[:3]))
                        # quintar-cli values of a few draws: the newest of the window, one before it and,
                        # held back by the offset, one after it; the series and periods run from the
                        # window's first draw, the chains need no run.
                        F = max(0, L - 999)
                        for n in sorted({L, L - 3, min(L + 2, len(DRAWS) - 1)}):
                            v = Table(only=n)
                            method(L, F if method.kind in ("item", "period") else n, sorted_view, v, hi=n)
                            want = ["%d\t%d\t%d\t%d\t%s\t%d" % (tuple((list(k) + [0, 0, 0])[:4]) + (method.text(k), e["count"]))
                                    for k, e in v.rec.items()]
                            args = ["values", code, "--draw=%d" % DRAWS[n][0], "--offset=%d" % offset]
                            got = cli(dd, *(args + (["--sorted"] if sorted_view else []))).splitlines()
                            values += 1
                            if got != want:
                                failures += 1
                                print("values %s draw %d offset %d sorted %s: %s, expected %s"
                                      % (code, DRAWS[n][0], offset, sorted_view, got[:3], want[:3]))
                        # The filter for a sample: the first and last rows seen, kept and deleted.
                        sample = code[-1] in "2V" or code in ("SDC2", "PRDC", "PRDG", "GRSP", "SC3C3", "SS2C1", "SC2C2")
                        if not sample or sorted_view or (QUICK and offset):
                            continue
                        seen = [k for k, e in t.rec.items() if e["count"] > 0]
                        if not seen:
                            continue
                        keys = [seen[0], seen[-1]]
                        select = ";".join(method.text(k) for k in keys)
                        for delete in (False, True):
                            out = cli(dd, "filter", code, "--select=" + select, "--offset=%d" % offset,
                                      "--delete" if delete else "--keep")
                            n = int(out.strip().splitlines()[-1].split(":")[1])
                            want = kept_by(method, keys, L, delete)
                            filters += 1
                            if n != want:
                                failures += 1
                                print("filter %s %s offset %d %s: %d, expected %d"
                                      % (code, select, offset, "delete" if delete else "keep", n, want))
    print("tables checked: %d, values checked: %d, filters checked: %d, differences: %d"
          % (checked, values, filters, failures))
    return 1 if failures else 0


sys.exit(main())
