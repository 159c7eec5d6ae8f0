#!/usr/bin/python3
"""Runs a Windows test program of the serial layer under Wine against a pseudo-terminal.

wine_com_peer.py --wine-run SCRIPT --template DIR PROGRAM [ARGUMENTS...]

Makes a fresh pseudo-terminal and a Wine prefix of its own (hard links to a template prefix,
made once under DIR), maps COM1 to the pseudo-terminal, and runs PROGRAM there through
SCRIPT (scripts/wine-run.sh). It then plays the other end of the line: the program writes
command lines "#NAME ARGUMENTS\\n", which it answers:

  STAMP      8 bytes: CLOCK_REALTIME in microseconds, little-endian
  SEND n     n bytes
  ECHO n     the n bytes that follow the command, sent back in pieces with short pauses
  IDLE s     reads nothing for s seconds while it measures the CPU time of the program and of
             the prefix's wineserver; answers "IDLE <program %> <wineserver %>\\n"
  STALL s    reads nothing for s seconds (the line fills); what came meanwhile holds no
             command but the next
  HANGUP     closes its end, then measures the CPU time for 3 s from half a second later, as
             for IDLE

Prints Qt Test's results and the figures; fails when the program fails, or when the program
and the wineserver together use 1 % of a core or more while idle or after the hang-up.
"""

import argparse
import fcntl
import os
import pty
import random
import re
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import tty

IDLE_LIMIT_PERCENT = 1.0
HANGUP_WATCH_SECONDS = 3.0
RUN_TIMEOUT_SECONDS = 240.0
WINE = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"


def wine_environment(prefix):
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEARCH="win64", WINEDEBUG=env.get("WINEDEBUG", "-all"))
    return env


def ensure_template(template):
    """A prefix made once with wineboot; parallel runs wait for the one that makes it."""
    prefix = os.path.join(template, "prefix")
    os.makedirs(template, exist_ok=True)
    with open(os.path.join(template, "lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            shutil.rmtree(prefix, ignore_errors=True)
            env = wine_environment(prefix)
            subprocess.run([WINE, "wineboot", "-i"], env=env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run([WINESERVER, "-w"], env=env, check=True)
    return prefix


def copy_prefix(template, prefix):
    """Hard links to the template's files, real copies of those Wine rewrites (the registry)."""
    def link_or_copy(source, target):
        name = os.path.basename(source)
        if name.endswith(".reg") or name.startswith("."):
            shutil.copy2(source, target)
        else:
            os.link(source, target)
    shutil.copytree(template, prefix, symlinks=True, copy_function=link_or_copy)


def map_com1(prefix, device):
    """Wine's serial-port mapping (HKLM\\Software\\Wine\\Ports), written before Wine starts."""
    path = os.path.join(prefix, "system.reg")
    with open(path, encoding="utf-8") as registry:
        text = registry.read()
    value = '"COM1"="%s"\n' % device
    key = re.search(r"^\[Software\\\\Wine\\\\Ports\][^\n]*\n(#[^\n]*\n)*", text, re.MULTILINE)
    if key:
        text = text[:key.end()] + value + text[key.end():]
    else:
        text += "\n[Software\\\\Wine\\\\Ports] 0\n" + value
    with open(path, "w", encoding="utf-8") as registry:
        registry.write(text)


def cpu_seconds(pid):
    """Time on a CPU of the threads of a process, to the nanosecond."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as schedstat:
                total += int(schedstat.read().split()[0])
        except OSError:  # the thread has just ended
            continue
    return total / 1e9


def wineserver_of(prefix):
    """The wineserver of `prefix`: it works in a folder named after the prefix's inode. The
    youngest, should one of an earlier prefix with the same inode still be ending."""
    prefix_stat = os.stat(prefix)
    folder = "server-%x-%x" % (prefix_stat.st_dev, prefix_stat.st_ino)
    servers = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % entry) as comm:
                if not comm.read().startswith("wineserver"):
                    continue
            if os.path.basename(os.readlink("/proc/%s/cwd" % entry)) == folder:
                with open("/proc/%s/stat" % entry) as stat:
                    started = int(stat.read().rsplit(")", 1)[1].split()[19])
                servers.append((started, int(entry)))
        except OSError:
            continue
    if not servers:
        raise RuntimeError("no wineserver for " + prefix)
    return max(servers)[1]


class Peer:
    def __init__(self, master, program_pid, prefix):
        self.master = master
        self.program_pid = program_pid
        self.prefix = prefix
        self.pending = bytearray()
        self.failures = []
        self.random = random.Random(11)

    def read_available(self, timeout):
        if select.select([self.master], [], [], timeout)[0]:
            try:
                self.pending += os.read(self.master, 65536)
            except OSError:  # the program has closed the port for a moment
                time.sleep(0.01)

    def next_command(self, timeout):
        """The next command line, or None after `timeout`; bytes outside commands are dropped."""
        deadline = time.monotonic() + timeout
        while True:
            start = self.pending.find(b"#")
            if start < 0:
                self.pending.clear()
            else:
                del self.pending[:start]
                end = self.pending.find(b"\n")
                if end >= 0:
                    line = self.pending[1:end].decode("ascii", "replace").split()
                    del self.pending[:end + 1]
                    return line
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            self.read_available(min(left, 0.5))

    def take(self, count):
        deadline = time.monotonic() + 10
        while len(self.pending) < count:
            if time.monotonic() > deadline:
                raise RuntimeError("%d of %d bytes came" % (len(self.pending), count))
            self.read_available(1.0)
        data = bytes(self.pending[:count])
        del self.pending[:count]
        return data

    def send(self, data):
        view = memoryview(data)
        while view:
            written = os.write(self.master, view)
            view = view[written:]

    def measure(self, seconds, what):
        """Percent of one core used by the program and the wineserver over `seconds`."""
        server_pid = wineserver_of(self.prefix)
        before = cpu_seconds(self.program_pid), cpu_seconds(server_pid)
        time.sleep(seconds)
        after = cpu_seconds(self.program_pid), cpu_seconds(server_pid)
        program, server = ((a - b) * 100.0 / seconds for a, b in zip(after, before))
        print("%s over %g s: program %.2f %%, wineserver %.2f %%, together %.2f %% of a core"
              % (what, seconds, program, server, program + server), flush=True)
        if program + server >= IDLE_LIMIT_PERCENT:
            self.failures.append("%s: %.2f %% of a core" % (what, program + server))
        return program, server

    def serve(self, command):
        name, arguments = command[0], command[1:]
        if name == "STAMP":
            self.send(struct.pack("<Q", time.time_ns() // 1000))
        elif name == "SEND":
            self.send(bytes(range(int(arguments[0]))))
        elif name == "ECHO":
            data = self.take(int(arguments[0]))
            while data:
                piece = self.random.randint(1, 40)
                self.send(data[:piece])
                data = data[piece:]
                time.sleep(self.random.uniform(0, 0.002))
        elif name == "IDLE":
            program, server = self.measure(float(arguments[0]), "idle")
            self.send(b"IDLE %.3f %.3f\n" % (program, server))
        elif name == "STALL":
            time.sleep(float(arguments[0]))
        elif name == "HANGUP":
            time.sleep(0.3)
            os.close(self.master)
            self.master = None
            # The hang-up itself is handled in the first few milliseconds; a loop that goes on
            # failing shows in the seconds after.
            time.sleep(0.5)
            self.measure(HANGUP_WATCH_SECONDS, "after the hang-up")
        else:
            self.failures.append("unknown command %r" % command)


def run(arguments, workdir):
    master, slave = pty.openpty()
    tty.setraw(slave)
    device = os.ttyname(slave)
    os.close(slave)

    prefix = os.path.join(workdir, "prefix")
    copy_prefix(ensure_template(arguments.template), prefix)
    map_com1(prefix, device)
    results = os.path.join(workdir, "results.txt")
    log = open(os.path.join(workdir, "wine.log"), "w")
    program = subprocess.Popen(
        [arguments.wine_run, prefix, arguments.program, "-o", results + ",txt"]
        + arguments.arguments, cwd=workdir, env=wine_environment(prefix),
        stdout=log, stderr=subprocess.STDOUT)
    try:
        peer = Peer(master, program.pid, prefix)
        deadline = time.monotonic() + RUN_TIMEOUT_SECONDS
        while program.poll() is None and time.monotonic() < deadline:
            if peer.master is None:
                time.sleep(0.2)
                continue
            command = peer.next_command(0.5)
            if command:
                peer.serve(command)
        if program.poll() is None:
            peer.failures.append("the program did not end within %g s" % RUN_TIMEOUT_SECONDS)
    finally:
        if program.poll() is None:
            program.kill()
        status = program.wait()
        subprocess.run([WINESERVER, "-k"], env=wine_environment(prefix),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=wine_environment(prefix),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        log.close()
    if os.path.exists(results):
        with open(results, encoding="utf-8", errors="replace") as text:
            sys.stdout.write(text.read())
    else:
        with open(os.path.join(workdir, "wine.log"), errors="replace") as text:
            sys.stdout.write(text.read())
    if status != 0:
        peer.failures.append("the program failed (exit status %d)" % status)
    for failure in peer.failures:
        print("FAIL: " + failure)
    return 1 if peer.failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--template", required=True)
    parser.add_argument("program")
    parser.add_argument("arguments", nargs=argparse.REMAINDER)
    arguments = parser.parse_args()
    workdir = tempfile.mkdtemp(prefix="wine-com-peer-", dir=os.path.dirname(arguments.template))
    try:
        return run(arguments, workdir)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
