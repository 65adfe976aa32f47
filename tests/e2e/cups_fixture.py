"""A private CUPS server on 127.0.0.1 with its own configuration and folders, and print
devices that are small TCP listeners keeping every job's bytes.

The server never touches the machine's own CUPS: clients reach it through CUPS_SERVER.
"""
import os
import shutil
import socket
import subprocess
import tempfile
import threading
import time

from harness import stop_process

CUPSD = shutil.which("cupsd") or "/usr/sbin/cupsd"
LPADMIN = shutil.which("lpadmin") or "/usr/sbin/lpadmin"
CUPSDISABLE = shutil.which("cupsdisable") or "/usr/sbin/cupsdisable"

CUPSD_CONF = """Listen 127.0.0.1:{port}
LogLevel info
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
"""

CUPS_FILES_CONF = """ServerRoot {root}
RequestRoot {root}/spool
CacheDir {root}/cache
StateDir {root}/state
AccessLog {root}/log/access_log
ErrorLog {root}/log/error_log
PageLog {root}/log/page_log
Printcap {root}/printcap
FileDevice Yes
"""


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def available():
    return all(os.access(p, os.X_OK) for p in (CUPSD, LPADMIN)) and \
        os.access("/usr/lib/cups/backend/socket", os.X_OK)


class JobListener:
    """A raw (JetDirect) print device: every connection is one job, kept as bytes."""

    def __init__(self):
        self.server = socket.socket()
        self.server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(8)
        self.port = self.server.getsockname()[1]
        self.jobs = []
        self.lock = threading.Lock()
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    @property
    def uri(self):
        return "socket://127.0.0.1:%d" % self.port

    def _serve(self):
        while True:
            try:
                connection, _ = self.server.accept()
            except OSError:
                return
            with connection:
                data = bytearray()
                while True:
                    chunk = connection.recv(65536)
                    if not chunk:
                        break
                    data += chunk
            with self.lock:
                self.jobs.append(bytes(data))

    def received(self):
        with self.lock:
            return list(self.jobs)

    def wait_for_jobs(self, count, timeout_s=15.0):
        deadline = time.monotonic() + timeout_s
        while time.monotonic() < deadline:
            if len(self.received()) >= count:
                return self.received()
            time.sleep(0.05)
        return self.received()

    def close(self):
        self.server.close()


class PrivateCups:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="orbis-e2e-cups-")
        self.port = free_port()
        self.process = None

    @property
    def server(self):
        return "127.0.0.1:%d" % self.port

    def environment(self):
        return {"CUPS_SERVER": self.server}

    def start(self):
        for sub in ("spool", "cache", "state", "log", "ppd"):
            os.makedirs(os.path.join(self.root, sub), exist_ok=True)
        conf = os.path.join(self.root, "cupsd.conf")
        files = os.path.join(self.root, "cups-files.conf")
        with open(conf, "w", encoding="utf-8") as f:
            f.write(CUPSD_CONF.format(port=self.port))
        with open(files, "w", encoding="utf-8") as f:
            f.write(CUPS_FILES_CONF.format(root=self.root))
        self.process = subprocess.Popen([CUPSD, "-f", "-c", conf, "-s", files],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError("cupsd ended at start; see %s/log" % self.root)
            try:
                with socket.create_connection(("127.0.0.1", self.port), timeout=0.5):
                    return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("cupsd did not listen on %s" % self.server)

    def admin(self, *args, tool=LPADMIN):
        completed = subprocess.run([tool, "-h", self.server] + list(args),
                                   capture_output=True, text=True, timeout=30)
        if completed.returncode != 0:
            raise RuntimeError("%s %s: %s" % (os.path.basename(tool), " ".join(args),
                                              completed.stderr.strip()))

    def add_queue(self, name, device_uri):
        # Raw queues pass the PDF on unchanged (lpadmin warns that they are deprecated).
        self.admin("-p", name, "-E", "-v", device_uri, "-m", "raw")

    def remove_queue(self, name):
        self.admin("-x", name)

    def set_default(self, name):
        self.admin("-d", name)

    def stop_queue(self, name):
        self.admin(name, tool=CUPSDISABLE)

    def stop(self):
        stop_process(self.process)
        self.process = None
        shutil.rmtree(self.root, ignore_errors=True)
