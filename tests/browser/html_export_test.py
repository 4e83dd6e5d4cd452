#!/usr/bin/env python3
"""The web page export in headless Chromium: a sample snapshot browsed, sorted and searched
with real clicks, and a page of hostile names in which no script may run.
    html_export_test.py MIRRORVAULT_CLI [--screenshots FOLDER]"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(root, "tools", "browser"))
sys.path.insert(0, os.path.join(root, "tools", "screenshots"))
import cdp  # noqa: E402
import sample_library  # noqa: E402

CLI = None
ROWS = "[...document.querySelectorAll('#list .row')].map(r => [...r.children].map(c => c.textContent))"
HITS = "[...document.querySelectorAll('#hits .row')].map(r => r.textContent)"
TEXT = "document.getElementById('{}').textContent"
SPACE_ROWS = ("[...document.querySelectorAll('#space-list .row')]"
              ".map(r => [...r.children].map(c => c.textContent))")
SPACE_SELECTED = "document.querySelector('#space-list .row.sel').firstChild.textContent"
# The folder shown, which the page changes once the address has changed.
PATH_IS = TEXT.format("path") + " === '\\\\\\\\FILESRV\\\\{}'"


def space_at(path):
    """The Space view shows the folder: its line of totals starts with its live path."""
    return ("document.getElementById('space-sum').textContent.startsWith(" +
            json.dumps(path + ":") + ")")


def hover(browser):
    """The line under the Space view's map once the mouse is a third of the way across it."""
    browser.move(*browser.eval("(r => [r.x + r.width / 3, r.y + r.height / 2])"
                               "(document.getElementById('map').getBoundingClientRect())"))
    browser.wait(TEXT.format("space-hover") + " !== ''")
    return browser.eval(TEXT.format("space-hover"))


def export(folder, snapshot_bytes, *options):
    snapshot = os.path.join(folder, "snapshot.mirvaul")
    page = os.path.join(folder, "page.html")
    with open(snapshot, "wb") as file:
        file.write(snapshot_bytes)
    subprocess.run([CLI, "export", snapshot, "--format", "html", "-o", page, *options], check=True)
    return "file://" + page


def sample_snapshot():
    shares = dict(sample_library.FILESRV)
    shares["Caf\xe9"] = ["r\xe9sum\xe9.DOC;;f;;10;;1.2.2020"]  # Windows-1252 bytes
    return sample_library.snapshot("FILESRV", "WORKGROUP", "05.12.2026 09:04:06",
                                   shares).encode("cp1252")


class WebPageExport(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.browser = cdp.Browser(cdp.find_chromium())

    def tearDown(self):
        self.browser.close()
        self.folder.cleanup()

    def test_browse_sort_search_and_follow_a_hit(self):
        b = self.browser
        url = export(self.folder.name, sample_snapshot())
        b.open(url)
        self.assertEqual(b.eval("document.title"), "\\\\FILESRV \u2014 05.12.2026 09:04:06")
        self.assertEqual([r[:2] for r in b.eval(ROWS)], [
            ["Backups", "<SHARE>"], ["Caf\xe9", "<SHARE>"], ["Music", "<SHARE>"],
            ["Projects", "<SHARE>"], ["Public", "<SHARE>"]])

        b.click("#list .row a", "Projects")
        b.wait(PATH_IS.format("Projects"))
        self.assertEqual(b.eval(ROWS), [
            ["..", "<DIR>", "", ""], ["Archive", "<DIR>", "", "6.18.2021"],
            ["Website", "<DIR>", "", "3.14.2024"], ["Budget 2026", "xlsx", "48213", "1.9.2026"],
            ["Kickoff", "pptx", "2311040", "9.30.2025"], ["notes", "txt", "912", "12.1.2026"],
            ["Roadmap", "docx", "120544", "11.2.2025"]])
        self.assertEqual(b.eval(TEXT.format("path")), "\\\\FILESRV\\Projects")
        self.assertIn("This folder: 2 folders, 4 files, 2,480,709 bytes", b.eval(TEXT.format("totals")))
        self.assertIn("everything below: 3 folders, 11 files, 108,139,647 bytes",
                      b.eval(TEXT.format("totals")))

        # The first click on a column sorts it descending; directories keep their order.
        b.click("#cols button", "Size")
        self.assertEqual([r[0] for r in b.eval(ROWS)],
                         ["..", "Archive", "Website", "Kickoff", "Roadmap", "Budget 2026", "notes"])
        b.click("#cols button", "Date Created")
        self.assertEqual([r[0] for r in b.eval(ROWS)],
                         ["..", "Website", "Archive", "notes", "Budget 2026", "Roadmap", "Kickoff"])

        b.eval("document.getElementById('q').value = '*.JPG'")
        b.click("#find button")
        self.assertEqual(b.eval(HITS), ["\\\\FILESRV\\Projects\\Website\\images\\hero.jpg",
                                        "\\\\FILESRV\\Public\\Photos\\team.jpg"])
        b.click("#hits a", "\\\\FILESRV\\Public\\Photos\\team.jpg")
        b.wait(PATH_IS.format("Public\\\\Photos"))
        self.assertEqual(b.eval("document.querySelector('#list .row.sel').textContent"),
                         "teamjpg20480007.1.2025")
        self.assertEqual(b.eval(TEXT.format("path")), "\\\\FILESRV\\Public\\Photos")
        self.assertEqual(b.eval("document.querySelector('#tree a.current').textContent"), "Photos")

        # Back returns to the folder before, in the order last chosen; a plain name is found
        # anywhere in a name, and the code page's names arrive as Unicode.
        b.eval("history.back()")
        b.wait(PATH_IS.format("Projects"))
        self.assertEqual(b.eval(ROWS)[3][0], "notes")
        b.eval("document.getElementById('q').value = 'SUM'")
        b.click("#find button")
        self.assertEqual(b.eval(HITS), ["\\\\FILESRV\\Caf\xe9\\r\xe9sum\xe9.DOC"])
        b.click("#copy")
        b.wait(TEXT.format("copied") + " !== ''")

        # A link can point at a folder; nothing was fetched but the page itself.
        b.eval("location.hash = '#/projects/website/IMAGES'")
        b.wait(TEXT.format("path") + " === '\\\\\\\\FILESRV\\\\Projects\\\\Website\\\\images'")
        requests = [e["params"]["request"]["url"] for e in b.events
                    if e.get("method") == "Network.requestWillBeSent"]
        self.assertEqual(requests, [url])

    def test_space_view_lists_totals_and_follows_keys(self):
        shares = dict(sample_library.FILESRV)
        shares["<b>x</b>"] = ['<img src=x onerror="window.ran=1">.txt;;f;;4096;;1.1.2020']
        b = self.browser
        b.open(export(self.folder.name, sample_library.snapshot(
            "FILESRV", "WORKGROUP", "05.12.2026 09:04:06", shares).encode(), "--codepage", "65001"))
        b.click("#view-space")
        b.wait(space_at("\\\\FILESRV"))
        # Largest first, with each folder's total over its subtree (exact in the tooltip).
        self.assertEqual(b.eval(SPACE_ROWS), [
            ["Projects", "103.1 MB", "11", "92.8 %"], ["Public", "8.0 MB", "3", "7.2 %"],
            ["<b>x</b>", "4.0 KB", "1", "0.0 %"], ["Music", "2.0 KB", "1", "0.0 %"],
            ["Backups", "0 bytes", "0", "0.0 %"]])
        self.assertEqual(b.eval("document.querySelector('#space-list .num').title"),
                         "108,139,647 bytes")

        # Enter opens the selected folder, arrows move, Backspace goes back up to it.
        b.key("Enter")
        b.wait(space_at("\\\\FILESRV\\Projects"))
        self.assertEqual([r[0] for r in b.eval(SPACE_ROWS)], [
            "..", "Archive", "Kickoff.pptx", "Website", "Roadmap.docx", "Budget 2026.xlsx",
            "notes.txt"])
        b.key("ArrowDown")
        b.key("ArrowDown")
        b.key("Enter")
        b.wait(space_at("\\\\FILESRV\\Projects\\Website"))
        self.assertEqual(b.eval(SPACE_ROWS)[1], ["images", "716.8 KB", "1", "91.6 %"])
        b.key("Backspace")
        b.wait(space_at("\\\\FILESRV\\Projects"))
        self.assertEqual(b.eval(SPACE_SELECTED), "Website")

        # The map under the mouse tells the path and total; a file opens in the Folders view.
        self.assertEqual(hover(b), "\\\\FILESRV\\Projects\\Archive\\2020.zip: 100.0 MB")
        b.key("ArrowUp")
        b.click("#space-show")
        b.wait("!document.getElementById('list').hidden && "
               "document.querySelector('#list .row.sel') !== null")
        self.assertEqual(b.eval("document.querySelector('#list .row.sel').textContent"),
                         "Kickoffpptx23110409.30.2025")

        # The hostile name is text in the list and on the hover line, never markup.
        b.eval("location.hash = '#space/'")
        b.wait(space_at("\\\\FILESRV"))
        b.click("#space-list .row span", "<b>x</b>")
        b.key("Enter")
        b.wait(space_at("\\\\FILESRV\\<b>x</b>"))
        self.assertEqual(b.eval(SPACE_ROWS)[1][0], '<img src=x onerror="window.ran=1">.txt')
        self.assertEqual(hover(b),
                         '\\\\FILESRV\\<b>x</b>\\<img src=x onerror="window.ran=1">.txt: 4.0 KB')
        self.assertEqual(b.eval("[typeof window.ran, document.querySelectorAll('img,b').length]"),
                         ["undefined", 0])

    def test_a_large_folder_comes_through_whole(self):
        # Names that repeat far and near, characters beyond the basic plane, sizes past 2^32,
        # and a size and date that are no numbers: what the page unpacks must be exact.
        lines = ["Mirrorvault file", "VERSION: 1.0", "COMPUTER: BIG", "GROUP: G",
                 "DATE CREATED: 01.02.2026 03:04:05", "", "SHARENAME: S", "Many;;d;;0;;1.1.2020",
                 "Many\\odd.txt;;f;;12x;;soon"]
        name = lambda n: "report " * (n % 40) + "\U0001F600" + str(n) + ".txt"  # noqa: E731
        lines += [f"Many\\{name(n)};;f;;{n * 1000003};;{n % 12 + 1}.1.2020" for n in range(20000)]
        b = self.browser
        b.open(export(self.folder.name, ("\r\n".join(lines + ["END"]) + "\r\n").encode(),
                      "--codepage", "65001"))
        b.eval("location.hash = '#/S/Many'")
        b.wait("document.querySelectorAll('#path a').length === 3")
        self.assertEqual(b.eval(ROWS)[1], ["odd", "txt", "12x", "soon"])
        self.assertIn(f"This folder: 0 folders, 20,001 files, {sum(range(20000)) * 1000003 + 12:,} bytes",
                      b.eval(TEXT.format("totals")))
        b.eval("document.getElementById('q').value = '*\U0001F6001234.TXT'")
        b.click("#find button")
        b.wait("document.querySelectorAll('#hits .row').length > 0")
        self.assertEqual(b.eval(HITS), ["\\\\BIG\\S\\Many\\" + name(1234)])

    def test_names_with_markup_run_no_script(self):
        hostile = ["<script>window.ran=1</script>", "</script><script>window.ran=2</script>",
                   "<img src=x onerror=\"window.ran=3\">", "a\"b'c&amp;d", "line\u2028sep\u2029x"]
        lines = ["Mirrorvault file", "VERSION: 1.0", "COMPUTER: <b onmouseover=x>PC",
                 "GROUP: W&G", "DATE CREATED: 01.02.2026 03:04:05", "", "SHARENAME: " + hostile[1]]
        lines += [name + ";;d;;0;;1.1.2020" for name in hostile]
        lines += [hostile[0] + "\\" + name + ".txt;;f;;1;;1.1.2020" for name in hostile]
        url = export(self.folder.name, ("\r\n".join(lines + ["END"]) + "\r\n").encode(),
                     "--codepage", "65001")
        b = self.browser
        b.open(url)
        b.click("#list .row a", hostile[1])
        b.wait("document.querySelectorAll('#path a').length === 2")
        b.click("#list .row a", hostile[0])
        b.wait("document.querySelectorAll('#path a').length === 3")
        self.assertEqual(sorted(r[0] + "." + r[1] for r in b.eval(ROWS)[1:]),
                         sorted(name + ".txt" for name in hostile))
        self.assertEqual(b.eval("document.title"), "\\\\<b onmouseover=x>PC \u2014 01.02.2026 03:04:05")
        self.assertEqual(b.eval("[typeof window.ran, document.scripts.length, "
                                "document.querySelectorAll('img,b').length]"), ["undefined", 3, 0])


if __name__ == "__main__":
    CLI = os.path.abspath(sys.argv.pop(1))
    if cdp.find_chromium() is None:
        print("chromium is not installed (tools/install-deps.sh installs it)")
        sys.exit(77)
    unittest.main()
