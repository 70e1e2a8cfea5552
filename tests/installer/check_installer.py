#!/usr/bin/env python3
"""The installer (dist/savers-VERSION-setup.exe) as users and administrators
meet it. First its imports, its uninstaller's and its plug-ins' against
Windows 95 and NT 4.0, and a release signed with a throwaway certificate,
every signature checked. Then one table of cases, run in order in a fresh
64-bit Wine prefix made with Wine's 32-bit half beside it and in a fresh
32-bit one, each on a virtual display of its own; the last case installs
and removes the signed release. Exit code 1 when a check fails.
"""
import os
import pathlib
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

TOP = pathlib.Path(__file__).resolve().parents[2]
WORK = TOP / "build/installer"
WINE32 = pathlib.Path(os.environ.get("SAVER_WINE32_ROOT", "/opt/saver-wine32"))
PRODUCT = "Relief and terrain screen savers"
FOLDER = r"C:\Program Files\Relief and terrain screen savers"
ENTRY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ReliefAndTerrainSavers"
DESKTOP = r"HKCU\Control Panel\Desktop"
# The value under DESKTOP (and the key of SYSTEM.INI's [boot] section on
# Windows 95, 98 and Me) that names the current screen saver's program.
CURRENT_SAVER = "SCRNSAVE.EXE"
PROGRAMS = ("ondrels.scr", "snap.exe", "kesmar.scr")
KESMAR = r"C:\windows\system32\kesmar.scr"
OTHER_SAVER = r"C:\windows\system32\other.scr"
I386 = 0x014C


def pe_fields(data):
    """(machine, size of the certificate table) of a PE file."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    return struct.unpack_from("<H", data, pe + 4)[0], struct.unpack_from("<I", data, directories + 36)[0]


def stop(process):
    if process.poll() is None:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()


class Prefix:
    """A fresh Wine prefix of one kind, its virtual display and its session."""

    def __init__(self, kind):
        self.kind, self.root, self.idle, self.xvfb = kind, WORK / f"prefix-{kind}", None, None
        shutil.rmtree(self.root, ignore_errors=True)
        # scripts/wine-env.sh says which Wine runs which build.
        script = f'. "{TOP}/scripts/wine-env.sh" && select_wine {kind} >&2 && printf "%s\\0" "$wine_cmd" && env -0'
        out = subprocess.run(["bash", "-c", script], check=True, capture_output=True).stdout.split(b"\0")
        self.wine = self.wine32 = out[0].decode()
        self.env = dict(item.decode().split("=", 1) for item in out[1:] if b"=" in item)
        self.env["WINEPREFIX"] = str(self.root)
        if kind == "win64":
            # Wine's 32-bit half: its DLLs, also while the prefix is made
            # (which fills syswow64), and its loader for 32-bit programs, as
            # a system-wide 32-bit Wine would start them (through the 64-bit
            # loader they run in Wine's experimental WoW64 mode, windowless).
            self.wine32 = str(WINE32 / "usr/lib/wine/wine")
            self.env["WINEDLLPATH"] = str(WINE32 / "usr/lib/i386-linux-gnu/wine")
            self.env["LD_LIBRARY_PATH"] = ":".join(
                [f"{WINE32}/lib/i386-linux-gnu", f"{WINE32}/usr/lib/i386-linux-gnu"]
                + ([self.env["LD_LIBRARY_PATH"]] if self.env.get("LD_LIBRARY_PATH") else []))

    def make(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten",
                                      "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            self.env["DISPLAY"] = ":" + f.readline().strip()
        boot = {k: v for k, v in self.env.items() if k != "DISPLAY"}
        subprocess.run([self.wine, "wineboot", "-i"], env=boot, capture_output=True, timeout=180)
        self.server("-w")
        self.begin_session()
        # Unmanaged windows: a saver's process ends as soon as its window does.
        self.run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")

    def begin_session(self):
        # One long-lived process (a shell reading a pipe held open here)
        # keeps Wine's server and services up between programs, which would
        # otherwise start and end them, seconds each; they are started with
        # no output of anyone's, so none holds a program's output pipe open.
        quiet = dict(env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.idle = subprocess.Popen([self.wine, "cmd.exe"], stdin=subprocess.PIPE, start_new_session=True, **quiet)
        subprocess.run([self.wine, "cmd.exe", "/c", "exit"], stdin=subprocess.DEVNULL, timeout=120, **quiet)

    def end_session(self):
        if self.idle is not None:
            self.idle.stdin.close()
            try:
                self.idle.wait(timeout=30)
            finally:
                stop(self.idle)
                self.idle = None

    def settle(self):
        """Waits until every Wine process has ended (an uninstaller copies
        itself, returns at once and works on), then begins a new session."""
        self.end_session()
        self.server("-w")
        self.begin_session()

    def close(self):
        self.end_session()
        self.server("-k")
        if self.xvfb is not None:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)

    def server(self, option):
        subprocess.run([self.env.get("WINESERVER", "wineserver"), option], env=self.env, capture_output=True,
                       timeout=120)

    def command(self, program, *args):
        """The command line for PROGRAM (a Linux or C:\\ path, or one of
        Wine's own): a 32-bit program through the 32-bit loader."""
        path = pathlib.Path(program) if program.startswith("/") else self.path(program) if program[1:2] == ":" else None
        bits32 = path is not None and path.is_file() and pe_fields(path.read_bytes())[0] == I386
        return [self.wine32 if bits32 else self.wine, program, *args]

    def run(self, program, *args):
        """(exit code, output) of a Windows program."""
        done = subprocess.run(self.command(program, *args), env=self.env, capture_output=True, timeout=120,
                              stdin=subprocess.DEVNULL)
        return done.returncode, done.stdout.decode("latin-1")

    def start(self, program, *args):
        return subprocess.Popen(self.command(program, *args), env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    def path(self, windows):
        """The Linux path of C:\\..., letter case aside."""
        path = self.root / "drive_c"
        for part in filter(None, windows[3:].split("\\")):
            found = [p for p in path.iterdir() if p.name.lower() == part.lower()] if path.is_dir() else []
            path = found[0] if found else path / part
        return path

    def registry(self, key):
        """{name: data} of a registry key (DWORDs as 0x...), None if missing."""
        code, out = self.run("reg", "query", key)
        values = re.findall(r"^    (\S.*?)    REG_\w+    ?(.*?)\r?$", out, re.MULTILINE)
        return dict(values) if code == 0 else None

    def set_value(self, key, name, data):
        assert self.run("reg", "add", key, "/v", name, "/d", data, "/f")[0] == 0, f"reg add {key} {name}"

    def listed(self):
        """The names in Wine's own list of installed programs."""
        out = self.run("uninstaller", "--list")[1].replace("\r", "\n")
        return [line.split("|||", 1)[1] for line in out.splitlines() if "|||" in line]

    def window(self, *search, seconds=20):
        """The first X window `xdotool search --onlyvisible SEARCH` finds."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", *search], env=self.env,
                                   capture_output=True, text=True)
            if found.returncode == 0:
                return found.stdout.split()[0]
            time.sleep(0.1)
        return None

    def key(self, key="space", window=None):
        # A moment for the program to draw first: a key before its message
        # loop runs tests nothing.
        time.sleep(0.5)
        subprocess.run(["xdotool", "key", *(["--window", window] if window else []), key], env=self.env, check=True)


class Run:
    """One prefix's way through the table, and what it found wrong."""

    def __init__(self, prefix, release, signed):
        self.p, self.release, self.signed, self.problems = prefix, release, signed, []

    def check(self, condition, text):
        if not condition:
            self.problems.append(text)
        return condition

    def install(self, setup, *options):
        return self.p.run(str(setup), "/S", *options)[0]

    def system(self):
        return self.p.path(r"C:\windows\system32")

    def saver(self):
        values = self.p.registry(DESKTOP) or {}
        return values.get(CURRENT_SAVER), values.get("ScreenSaveActive")

    def write_settings(self):
        """Settings files beside the programs and in the user's folder, as
        the savers' dialogs write them; {path: bytes}."""
        files = {}
        for folder in (self.system(), self.p.path(self.p.run("cmd", "/c", "echo", "%APPDATA%")[1].strip())):
            folder.mkdir(parents=True, exist_ok=True)
            for name in ("ondrels.INI", "kesmar.INI"):
                (folder / name).write_bytes(f"[ScreenSaver.Test]\r\nKept={name}\r\n".encode())
                files[folder / name] = (folder / name).read_bytes()
        return files

    def expect_installed(self, release):
        for name in PROGRAMS:
            data = (self.system() / name).read_bytes() if (self.system() / name).is_file() else None
            self.check(data == release["programs"][name], f"{name} in system32 is not the release's {self.p.kind} one")
        if self.p.kind == "win64":
            wow = self.p.path(r"C:\windows\syswow64")
            self.check(not any((wow / n).exists() for n in PROGRAMS), "programs went into syswow64")
        self.check(not list(self.system().glob("*.tmp")), "temporary files left in system32")
        folder = self.p.path(FOLDER)
        files = sorted(p.name for p in folder.iterdir()) if folder.is_dir() else []
        if self.check(files == ["GUIDE.txt", "uninstall.exe"], f"the program folder holds {files}"):
            self.check((folder / "GUIDE.txt").read_bytes() == release["guide"], "GUIDE.txt is not the release's")
            self.check((folder / "uninstall.exe").read_bytes() == release["uninstaller"],
                       "uninstall.exe is not the uninstaller finished at build time")
        entry = self.p.registry(ENTRY) or {}
        for name, value in {"DisplayName": PRODUCT, "DisplayVersion": release["version"],
                            "UninstallString": f'"{FOLDER}\\uninstall.exe"',
                            "QuietUninstallString": f'"{FOLDER}\\uninstall.exe" /S', "InstallLocation": FOLDER,
                            "DisplayIcon": f'"{FOLDER}\\uninstall.exe",0', "NoModify": "0x1", "NoRepair": "0x1"}.items():
            self.check(entry.get(name) == value, f"entry value {name} is {entry.get(name)!r}, expected {value!r}")
        total = sum(map(len, release["programs"].values())) + len(release["uninstaller"]) + len(release["guide"])
        self.check(abs(int(entry.get("EstimatedSize", "0"), 16) - total / 1024) < 8,
                   f"EstimatedSize {entry.get('EstimatedSize')} KiB for {total} bytes")
        if self.p.kind == "win64":
            self.check(self.p.registry(ENTRY.replace("Software", r"Software\Wow6432Node")) is None,
                       "the entry is in the 32-bit registry view too")
        self.check(self.p.listed().count(PRODUCT) == 1, f"Wine's list of programs shows {self.p.listed()}")

    def expect_nothing(self, why):
        self.check(not any((self.system() / n).is_file() for n in PROGRAMS), f"{why}: programs in system32")
        self.check(not list(self.system().glob("*.tmp")), f"{why}: temporary files in system32")
        self.check(not self.p.path(FOLDER).exists(), f"{why}: the program folder is there")
        self.check(self.p.registry(ENTRY) is None and PRODUCT not in self.p.listed(), f"{why}: the entry is there")

    def uninstall(self, *options):
        """Runs the entry's QuietUninstallString, as a management tool
        would, and waits for the uninstaller's work."""
        command = (self.p.registry(ENTRY) or {}).get("QuietUninstallString", "")
        found = re.fullmatch(r'"([^"]+)"(.*)', command)
        if self.check(found is not None, f"QuietUninstallString {command!r} is not a quoted program"):
            self.p.run(found.group(1), *found.group(2).split(), *options)
            self.p.settle()

    def key_ends(self, process, name):
        """A key ends the saver NAME's PROCESS with exit code 0."""
        try:
            if self.check(self.p.window("--classname", name) is not None, f"{name} shows no window"):
                self.p.key()
                self.check(process.wait(timeout=20) == 0, f"a key did not end {name} with 0")
        except subprocess.TimeoutExpired:
            self.problems.append(f"a key did not end {name}")
        finally:
            stop(process)


# The table: each case runs in both prefixes, in this order, on what the
# cases before it left.

def case_bad_option(r):
    """An unknown /SAVER value ends with 87 and installs nothing."""
    r.check(r.install(r.release["setup"], "/SAVER=bogus") == 87, "/SAVER=bogus did not end with 87")
    r.expect_nothing("after /SAVER=bogus")


def case_folder_in_the_way(r):
    """A folder where a program goes fails the installation (exit code 2),
    leaving nothing, not even a temporary file."""
    (r.system() / "kesmar.scr").mkdir()
    try:
        r.check(r.install(r.release["setup"]) == 2, "a folder named kesmar.scr did not fail the installation")
        r.expect_nothing("after the failed installation")
    finally:
        (r.system() / "kesmar.scr").rmdir()


def case_first_install(r):
    """/S installs this Windows' build where the display settings find it,
    with one entry, and leaves the current saver alone; both savers run
    from there and a key ends each with 0."""
    r.p.set_value(DESKTOP, CURRENT_SAVER, OTHER_SAVER)
    r.check(r.install(r.release["setup"]) == 0, "setup.exe /S did not end with 0")
    r.expect_installed(r.release)
    r.check(r.saver()[0] == OTHER_SAVER, f"without /SAVER, the current saver became {r.saver()[0]}")
    for name in ("ondrels", "kesmar"):
        r.key_ends(r.p.start(f"C:\\windows\\system32\\{name}.scr", "/s"), name)
    r.check(r.p.path(r"C:\snapwnd.dat").is_file(), "the relief saver's helper left no snapshot")


def case_reinstall_while_running(r):
    """/S /SAVER=kesmar again while kesmar.scr runs: one entry, settings
    kept, the saver chosen and on, the running saver unharmed, its old file
    set aside and gone after a restart."""
    settings = r.write_settings()
    r.p.set_value(DESKTOP, "ScreenSaveActive", "0")
    saver = r.p.start(KESMAR, "/s")
    r.check(r.p.window("--classname", "kesmar") is not None, "kesmar.scr shows no window")
    r.check(r.install(r.release["setup"], "/SAVER=kesmar") == 0, "installing over a running saver failed")
    r.check(saver.poll() is None, "the running saver ended during the installation")
    r.key_ends(saver, "kesmar")
    # Wine, as Windows, lets a running program's file be renamed, not deleted.
    aside = [p.name for p in r.system().glob("*.tmp")]
    r.check(len(aside) == 1, f"expected the running saver's old file set aside, found {aside}")
    r.p.run("wineboot", "-r")
    r.p.settle()
    r.expect_installed(r.release)
    r.check(all(p.read_bytes() == data for p, data in settings.items()), "the settings files changed")
    r.check((r.saver()[0] or "").lower() == KESMAR.lower() and r.saver()[1] == "1",
            f"/SAVER=kesmar left the current saver, ScreenSaveActive {r.saver()}")


def case_quiet_removal(r):
    """The entry's QuietUninstallString takes programs, folder, entry,
    snapshot files and the current-saver value naming ours; settings stay."""
    settings = r.write_settings()
    for leftover in ("snapwnd.dat.partial", "snapwnd.dat.partial.4242"):
        r.p.path("C:\\" + leftover).write_bytes(b"partial")
    r.uninstall()
    r.expect_nothing("after the quiet removal")
    r.check(not list(r.p.path("C:\\").glob("snapwnd.dat*")), "snapshot files are left")
    r.check(r.saver() == (None, "0"), f"the current saver, ScreenSaveActive left {r.saver()}")
    r.check(all(p.is_file() for p in settings), "the quiet removal took settings files")


def case_purge(r):
    """/PURGE also takes the settings files, beside the programs and in the
    user's folder, and nothing else of the user's; a current-saver value naming
    another saver stays."""
    r.check(r.install(r.release["setup"]) == 0, "installing again failed")
    settings = r.write_settings()
    other = list(settings)[-1].parent / "other.INI"  # in the user's folder
    other.write_bytes(b"[Other]\r\n")
    r.p.set_value(DESKTOP, CURRENT_SAVER, OTHER_SAVER)
    r.uninstall("/PURGE")
    r.expect_nothing("after the removal with /PURGE")
    r.check(not [p for p in settings if p.exists()], "/PURGE left settings files")
    r.check(other.is_file() and r.saver()[0] == OTHER_SAVER, "/PURGE took another program's file or saver")


def case_windows_9x(r):
    """The Windows 95, 98 and Me branch, taken in the 32-bit prefix by
    hiding the mark of Windows NT: the 32-bit programs, the current saver in
    SYSTEM.INI's [boot] section by its short path, and out again on
    removal. (Windows 95 itself cannot run here.)"""
    if r.p.kind != "win32":
        return "skipped: those systems are 32-bit"
    mark = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"
    version = r.p.registry(mark)["CurrentVersion"]
    system_ini = r.p.path(r"C:\windows\system.ini")
    boot = re.compile(r"^\[boot\][^[]*^" + re.escape(CURRENT_SAVER) + r"=(.*?)\r?$", re.MULTILINE | re.IGNORECASE)
    before = r.saver()[0]
    r.p.run("reg", "delete", mark, "/v", "CurrentVersion", "/f")
    try:
        r.check(r.install(r.release["setup"], "/SAVER=ondrels") == 0, "the 9x branch did not install")
        r.expect_installed(r.release)
        chosen = boot.search(system_ini.read_text("latin-1"))
        r.check(chosen is not None and chosen.group(1).lower() == r"c:\windows\system32\ondrels.scr",
                f"SYSTEM.INI [boot] names as the current saver {chosen and chosen.group(1)}")
        r.check(r.saver() == (before, "1"), f"the 9x branch left the current saver, ScreenSaveActive {r.saver()}")
        r.uninstall()
        r.expect_nothing("after the 9x branch's removal")
        r.check(boot.search(system_ini.read_text("latin-1")) is None, "SYSTEM.INI still names the saver")
    finally:
        r.p.set_value(mark, "CurrentVersion", version)


def case_interactive(r):
    """The pages by keyboard: the terrain saver chosen, Install, Finish."""
    setup = r.p.start(str(r.release["setup"]))
    try:
        window = r.p.window("--name", f"^{PRODUCT} {re.escape(r.release['version'])}$")
        if r.check(window is not None, "the installer shows no window"):
            r.p.key("alt+t", window)
            r.p.key("Return", window)
            deadline = time.monotonic() + 30
            while r.p.registry(ENTRY) is None and time.monotonic() < deadline:
                time.sleep(0.2)
            r.p.key("Return", window)
            r.check(setup.wait(timeout=30) == 0, "the installer did not end with 0 after Finish")
    finally:
        stop(setup)
    r.expect_installed(r.release)
    r.check((r.saver()[0] or "").lower() == KESMAR.lower(), f"the saver page's choice set {r.saver()[0]}")


def case_signed(r):
    """The signed release installs (its signature does not upset the
    installer's own check), writes the signed uninstaller, and goes."""
    r.check(r.install(r.signed["setup"]) == 0, "the signed setup.exe /S did not end with 0")
    r.expect_installed(r.signed)
    r.uninstall()
    r.expect_nothing("after removing the signed release")


CASES = [case_bad_option, case_folder_in_the_way, case_first_install, case_reinstall_while_running,
         case_quiet_removal, case_purge, case_windows_9x, case_interactive, case_signed]


def read_release(dist, stage, kind):
    setup = next(dist.glob("savers-*-setup.exe"))
    version = setup.name[len("savers-"):-len("-setup.exe")]
    with zipfile.ZipFile(dist / f"savers-{version}-{kind}.zip") as z:
        folder = f"savers-{version}-{kind}/"
        return {"setup": setup, "version": version, "programs": {n: z.read(folder + n) for n in PROGRAMS},
                "guide": z.read(folder + "GUIDE.txt"), "uninstaller": (stage / "uninstall.exe").read_bytes()}


def check_imports(dist, stage):
    """The installer, its uninstaller and every plug-in the setup script
    calls, against Windows 95 and NT 4.0."""
    nsis = re.search(r"NSISDIR=([^,\s]+)", subprocess.run(["makensis", "-HDRINFO"], capture_output=True,
                                                          text=True).stdout).group(1)
    script = subprocess.run(["makensis", "-PPO", "-DVERSION=0.0.0", "-DRELEASE64=.", "-DRELEASE32=.",
                             "-DOUTFILE=x.exe", "-DUNINSTALLER_COPY=x.exe", str(TOP / "installer/savers.nsi")],
                            capture_output=True, text=True, check=True).stdout
    plugins = sorted(set(re.findall(r"^\s*(\w+)::\w+", script, re.MULTILINE)))
    files = [next(dist.glob("savers-*-setup.exe")), stage / "uninstall.exe"]
    files += [pathlib.Path(nsis, "Plugins/x86-ansi", f"{name}.dll") for name in plugins]
    done = subprocess.run([sys.executable, str(TOP / "tests/imports/check_imports.py"), "--objdump",
                           "i686-w64-mingw32-objdump", "--installer", *map(str, files)])
    return [] if done.returncode == 0 else ["the installer's files import what Windows 95 or NT 4.0 lack"]


def check_signing(dist, stage):
    """No signature in the plain release; a release made with a throwaway
    certificate carries a good one on every program, the uninstaller and
    the installer. Returns (problems, the signed release's folders)."""
    problems = []
    plain = [(p.name, p.read_bytes()) for p in [*dist.glob("savers-*-setup.exe"), stage / "uninstall.exe"]]
    for archive in dist.glob("savers-*-win*.zip"):
        with zipfile.ZipFile(archive) as z:
            plain += [(n, z.read(n)) for n in z.namelist() if n.endswith((".scr", ".exe"))]
    problems += [f"{name} of the plain release is signed" for name, data in plain if pe_fields(data)[1]]

    out = WORK / "signed"
    shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True)
    key, cert, pfx, password = out / "key.pem", out / "cert.pem", out / "signer.pfx", "throwaway password"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days",
                    "2", "-subj", "/CN=Throwaway test publisher", "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True)
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx, "-passout",
                    "pass:" + password], check=True, capture_output=True)
    env = dict(os.environ, SIGN_PFX=str(pfx), SIGN_PASSWORD=password, SAVER_DIST=str(out / "dist"),
               SAVER_STAGE=str(out / "stage"))
    done = subprocess.run(["bash", str(TOP / "scripts/package.sh")], env=env, capture_output=True, text=True)
    if done.returncode != 0:
        return problems + [f"package.sh with a certificate failed: {done.stderr[-500:]}"], None
    with tempfile.TemporaryDirectory() as scratch:
        for archive in (out / "dist").glob("savers-*-win*.zip"):
            zipfile.ZipFile(archive).extractall(scratch)
        files = [*(out / "dist").glob("savers-*-setup.exe"), out / "stage/uninstall.exe",
                 *pathlib.Path(scratch).glob("*/*.scr"), *pathlib.Path(scratch).glob("*/*.exe")]
        for path in files:
            verify = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", path], capture_output=True,
                                    text=True)
            if verify.returncode != 0 or "Signature verification: ok" not in verify.stdout:
                problems.append(f"{path.parent.name}/{path.name}: no good signature: {verify.stdout[-200:]}")
    problems += [] if len(files) == 8 else [f"expected 8 signed files, found {len(files)}"]
    print(f"installer: signing: {len(files)} files signed, " + ("FAILED" if problems else "every signature good"))
    return problems, (out / "dist", out / "stage")


def main():
    dist, stage = TOP / "dist", TOP / "build/package"
    problems = check_imports(dist, stage)
    found, signed = check_signing(dist, stage)
    problems += found
    if not (WINE32 / ".ready").is_file():
        # scripts/setup-wine32.sh said why: this kernel runs no 32-bit
        # programs, and the installer is one.
        print("installer: the cases under Wine skipped: no 32-bit Wine on this machine")
        kinds = []
    else:
        kinds = ["win64", "win32"]
    for kind in kinds:
        started = time.monotonic()
        prefix = Prefix(kind)
        try:
            prefix.make()
            run = Run(prefix, read_release(dist, stage, kind), signed and read_release(*signed, kind))
            for case in CASES:
                before, said = len(run.problems), None
                try:
                    said = case(run)
                except Exception as error:  # one broken case must not hide the others
                    run.problems.append(f"{type(error).__name__}: {error}")
                print(f"installer: {kind} {case.__name__[5:]}: " + ("FAILED" if run.problems[before:] else said or "ok"))
            problems += [f"{kind}: {p}" for p in run.problems]
        finally:
            prefix.close()
        if not problems:
            shutil.rmtree(prefix.root)  # over a gigabyte; a failed run's stays to be looked at
        print(f"installer: {kind} prefix and cases took {time.monotonic() - started:.0f} s")
    for p in problems:
        print("installer:", p)
    print("installer: FAILED" if problems else "installer: passed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
