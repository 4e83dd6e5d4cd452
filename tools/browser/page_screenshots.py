#!/usr/bin/env python3
"""Screenshots of the web page export of the sample file server, for the README and the help:
a folder with the tree opened to it, and a name search.
    page_screenshots.py MIRRORVAULT_CLI FOLDER"""
import os
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "screenshots"))
import cdp  # noqa: E402
import sample_library  # noqa: E402


def main():
    cli, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as work:
        snapshot = os.path.join(work, "WORKGROUP.FILESRV.05.12.2026.09.04.05.mirvaul")
        with open(snapshot, "w", newline="") as file:
            file.write(sample_library.snapshot("FILESRV", "WORKGROUP", "05.12.2026 09:04:06",
                                               sample_library.FILESRV))
        page = os.path.join(work, "filesrv.html")
        subprocess.run([cli, "export", snapshot, "--format", "html", "-o", page], check=True)
        browser = cdp.Browser(cdp.find_chromium(), width=1100, height=400)
        try:
            browser.open("file://" + page + "#/Projects/Website")
            browser.click("#cols button", "Size")
            browser.screenshot(os.path.join(folder, "web-page-folder.png"))
            browser.eval("document.getElementById('q').value = '*.jpg'")
            browser.click("#find button")
            browser.screenshot(os.path.join(folder, "web-page-search.png"))
        finally:
            browser.close()


if __name__ == "__main__":
    main()
