#!/usr/bin/env python3
"""Which side is right where our solver and ngspice disagree on a benchmark board.

Reads what `solver_bench --show=N` (or `--show=N --lean=1`) prints: the board's SPICE netlist and
the table of each element's current, ours beside ngspice's. Solves the netlist again by modified
nodal analysis in 60-digit arithmetic (resistors, coils and capacitors as admittances at the
analysis frequency, voltage sources as phasors, the 0 V ammeters as branch unknowns) and prints,
for every element either side has off by more than the table's tolerance, the exact current and
how far each side is from it.

    cd build/bench-bin && ./solver_bench --show=1269 > board.txt
    python3 ../../bench/solver/exact-check.py board.txt

Needs mpmath (Debian: python3-mpmath).
"""

import re
import sys

import mpmath as mp

mp.mp.dps = 60

ROW = re.compile(r"\s+(\d+)\s+(\S+)\s*([+-]\S+)i\s+(\S+)\s*([+-]\S+)i\s+(\S+)")


def read(path):
    """The netlist's element lines, the frequency (0: DC), and per element (ours, ngspice, tolerance)."""
    lines, table, frequency, inside = [], {}, mp.mpf(0), False
    for line in open(path):
        if line.startswith("* vexilo"):
            inside = True
            continue
        if inside:
            if line.startswith(".end"):
                inside = False
            elif line.startswith(".ac"):
                frequency = mp.mpf(line.split()[3])
            elif line.strip() and not line.startswith(("*", ".")):
                lines.append(line.split())
            continue
        row = ROW.match(line)
        if row:
            ours = complex(float(row[2]), float(row[3]))
            theirs = complex(float(row[4]), float(row[5]))
            table[int(row[1])] = (ours, theirs, float(row[6]))
    return lines, frequency, table


def phasor(line):
    """A source's value: `AC magnitude [phase]` (degrees), `DC value`, or a bare value."""
    if "AC" in line:
        at = line.index("AC")
        phase = mp.mpf(line[at + 2]) if len(line) > at + 2 else mp.mpf(0)
        return mp.mpf(line[at + 1]) * mp.expj(phase * mp.pi / 180)
    if "DC" in line:
        return mp.mpf(line[line.index("DC") + 1])
    return mp.mpf(line[3])


def admittance(kind, value, omega):
    if kind == "r":
        return 1 / value
    if kind == "l":
        return 1 / (mp.mpc(0, 1) * omega * value)
    return mp.mpc(0, 1) * omega * value  # a capacitor


def solve(lines, frequency):
    """Node voltages and the currents of the voltage sources, exactly enough."""
    omega = 2 * mp.pi * frequency
    nodes = {}

    def number(name):
        if name == "0":
            return None
        return nodes.setdefault(name, len(nodes))

    for line in lines:
        number(line[1])
        number(line[2])
    sources = [line for line in lines if line[0][0] == "v"]  # (current sources go in b)
    size = len(nodes) + len(sources)
    a = mp.matrix(size, size)
    b = mp.matrix(size, 1)
    k = len(nodes)
    for line in lines:
        kind, p, n = line[0][0], number(line[1]), number(line[2])
        if kind in "rlc":
            y = admittance(kind, mp.mpf(line[3]), omega)
            for i, j, sign in ((p, p, 1), (n, n, 1), (p, n, -1), (n, p, -1)):
                if i is not None and j is not None:
                    a[i, j] += sign * y
        elif kind == "i":  # from p through the source to n
            j = phasor(line)
            if p is not None:
                b[p] -= j
            if n is not None:
                b[n] += j
        else:  # v<k> p n
            for node, sign in ((p, 1), (n, -1)):
                if node is not None:
                    a[node, k] += sign
                    a[k, node] += sign
            b[k] = phasor(line)
            k += 1
    x = mp.lu_solve(a, b)
    voltage = {name: x[i] for name, i in nodes.items()}
    voltage["0"] = mp.mpc(0)
    current = {line[0]: x[len(nodes) + i] for i, line in enumerate(sources)}
    return voltage, current, omega


def element_currents(lines, voltage, current, omega, table):
    """Each element's current from first to second node, as the table gives it."""
    result = {}
    by_element = {}
    for line in lines:
        by_element.setdefault(int(re.sub(r"\D", "", line[0])), []).append(line)
    for k in table:
        ammeter = "vm%d" % k
        if ammeter in current:  # the ammeter netlist: the current through its 0 V source
            result[k] = current[ammeter]
        elif k in by_element:  # the lean one: r, l, c and a current source in parallel
            parts = by_element[k]
            y = sum((admittance(p[0][0], mp.mpf(p[3]), omega) for p in parts if p[0][0] in "rlc"),
                    mp.mpc(0))
            j = sum((phasor(p) for p in parts if p[0][0] == "i"), mp.mpc(0))
            first, second = parts[0][1], parts[0][2]
            result[k] = (voltage[first] - voltage[second]) * y + j
        else:  # not in the netlist: no current
            result[k] = mp.mpc(0)
    return result


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    lines, frequency, table = read(sys.argv[1])
    voltage, current, omega = solve(lines, frequency)
    exact = element_currents(lines, voltage, current, omega, table)
    print("%8s %28s %12s %12s %10s" % ("element", "exact", "|ours-x|", "|ngspice-x|", "tolerance"))
    for k in sorted(table):
        ours, theirs, tolerance = table[k]
        x = complex(exact[k])
        off_ours, off_theirs = abs(ours - x), abs(theirs - x)
        if off_ours <= tolerance and off_theirs <= tolerance:
            continue
        verdict = ("ours off" if off_ours > tolerance else "") + (
            " ngspice off" if off_theirs > tolerance else "")
        print("%8d %14.6g%+13.6gi %12.3e %12.3e %10.3g  %s" %
              (k, x.real, x.imag, off_ours, off_theirs, tolerance, verdict.strip()))


if __name__ == "__main__":
    main()
