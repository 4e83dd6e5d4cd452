"""A small DevTools-protocol client for headless Chromium over --remote-debugging-pipe (no
websocket, nothing downloaded): open a page, evaluate script, click like a mouse, press keys, take
a screenshot. Used by the web page export's browser tests, its bench and its screenshots."""
import base64
import fcntl
import json
import os
import shutil
import subprocess
import tempfile
import time

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run",
         "--remote-debugging-pipe"]


def find_chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


class Browser:
    def __init__(self, chromium, width=1100, height=640):
        self.profile = tempfile.mkdtemp(prefix="mv-chromium-")
        to_browser, self._write = os.pipe()
        self._read, from_browser = os.pipe()

        def pipes_at_3_and_4():
            # Moved out of the way first, so that neither lands on the other.
            high = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_browser, from_browser)]
            os.dup2(high[0], 3)
            os.dup2(high[1], 4)

        self.process = subprocess.Popen(
            [chromium, *FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=pipes_at_3_and_4, pass_fds=(3, 4))
        os.close(to_browser)
        os.close(from_browser)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        self.session = None
        self.target = None
        self.size = (width, height)

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._write)
        os.close(self._read)
        shutil.rmtree(self.profile, ignore_errors=True)

    def call(self, method, params=None, session=True):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._write, json.dumps(message).encode() + b"\0")
        while True:
            reply = self._receive()
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            self.events.append(reply)

    def _receive(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._read, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def open(self, url):
        """A fresh tab on url, with network events recorded; returns once the page is ready."""
        if self.session:
            self.call("Target.closeTarget", {"targetId": self.target}, session=False)
        target = self.call("Target.createTarget", {"url": "about:blank"}, session=False)
        self.target = target["targetId"]
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": target["targetId"], "flatten": True},
                                 session=False)["sessionId"]
        width, height = self.size
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        self.call("Network.enable")
        self.call("Page.enable")
        self.call("Page.navigate", {"url": url})
        return self.wait("document.documentElement && document.documentElement.getAttribute('data-ready') === '1'", 120)

    def eval(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait(self, expression, timeout=30):
        """Seconds until expression holds."""
        began = time.monotonic()
        while not self.eval(expression):
            if time.monotonic() - began > timeout:
                raise AssertionError("timed out waiting for " + expression)
            time.sleep(0.02)
        return time.monotonic() - began

    def click(self, selector, text=None):
        """A real mouse click on the first element matching selector (holding text, if given)."""
        point = self.eval(
            "(() => { const all = [...document.querySelectorAll(" + json.dumps(selector) + ")];"
            " const e = all.find(n => " + json.dumps(text) + " === null || n.textContent === "
            + json.dumps(text) + "); if (!e) return null; e.scrollIntoView({block: 'nearest'});"
            " const r = e.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
        if point is None:
            raise AssertionError(f"nothing to click: {selector} {text!r}")
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": point[0], "y": point[1],
                                                   "button": "left", "clickCount": 1})

    def key(self, name):
        """A key pressed and released where the focus is, by its DOM name ("Enter", "ArrowDown")."""
        codes = {"Enter": 13, "Backspace": 8, "ArrowDown": 40, "ArrowUp": 38, "Home": 36, "End": 35}
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", {"type": kind, "key": name, "code": name,
                                                 "windowsVirtualKeyCode": codes[name]})

    def move(self, x, y):
        """The mouse moved to a point of the page."""
        self.call("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": x, "y": y})

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))
