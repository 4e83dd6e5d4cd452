#!/usr/bin/env python3
"""Screenshots of the web page export of the sample file server, for the README and the help:
a folder with the tree opened to it, a name search, and the Space view of an office's file
server of a few thousand files (made up, the same every time).
    page_screenshots.py MIRRORVAULT_CLI FOLDER"""
import os
import random
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "screenshots"))
import cdp  # noqa: E402
import sample_library  # noqa: E402


def office_server():
    """Shares of folders of files of many kinds and sizes, as an office's file server holds."""
    pick = random.Random(35)
    # Per share: its folders, their subfolders, the kinds of file in them and how large.
    shares = {
        "Projects": (["Harbour Bridge", "City Library", "Riverside Clinic", "North Depot",
                      "School Annex", "Market Hall"], ["Drawings", "Reports", "Contracts"],
                     ["dwg", "pdf", "docx", "xlsx", "zip"], 14.5),
        "Photos": (["2021 Site visits", "2022 Site visits", "2023 Opening", "2024 Staff day"],
                   ["Raw", "Edited"], ["jpg", "jpg", "png", "mp4"], 15),
        "Users": (["amartin", "bchen", "cdiaz", "dkumar", "eolsen", "fnovak", "gsilva"],
                  ["Documents", "Mail"], ["docx", "xlsx", "pst", "txt", "jpg"], 13.5),
        "Public": (["Forms", "Handbooks", "Software", "Templates"], ["Old"],
                   ["pdf", "docx", "msi", "exe"], 14),
        "Backups": (["Accounts", "Mail server", "Weekly"], ["2024", "2025"],
                    ["bak", "zip", "vhdx"], 17.5),
    }
    out = {}
    for share, (folders, subs, exts, scale) in shares.items():
        lines = []
        for f, folder in enumerate(folders):
            year = 2021 + f % 5
            lines.append(f"{folder};;d;;0;;1.{f + 1}.{year}")
            places = [folder] + [f"{folder}\\{sub}" for sub in subs if pick.random() < 0.7]
            for place in places[1:]:
                lines.append(f"{place};;d;;0;;2.1.{year}")
            for place in places:
                for n in range(pick.randint(4, 40)):
                    ext = pick.choice(exts)
                    size = int(pick.lognormvariate(scale, 1.5))
                    lines.append(f"{place}\\{ext.upper()} {n + 1:03d}.{ext};;f;;{size};;"
                                 f"{pick.randint(1, 12)}.{pick.randint(1, 28)}.{year}")
        out[share] = lines
    return out


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
        office = os.path.join(work, "WORKGROUP.OFFICE.05.12.2026.09.04.05.mirvaul")
        with open(office, "w", newline="") as file:
            file.write(sample_library.snapshot("OFFICE", "WORKGROUP", "05.12.2026 09:04:06",
                                               office_server()))
        page = os.path.join(work, "office.html")
        subprocess.run([cli, "export", office, "--format", "html", "-o", page], check=True)
        # The page opens at its Space view from its address: chromium's own screenshot.
        subprocess.run([cdp.find_chromium(), "--headless", "--no-sandbox", "--disable-gpu",
                        "--hide-scrollbars", "--window-size=1200,800",
                        "--screenshot=" + os.path.join(folder, "web-page-space.png"),
                        "file://" + page + "#space/"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
