#!/usr/bin/env python3
"""Times the web page export in headless Chromium: how long a page takes from navigation
until it is usable (its script has drawn the first listing), how long a folder of many
entries takes to list after a click, and how long the Space view of the whole 1M-entry page
takes to draw (treemap and list) after a click on its tab, against the same steps on a page
of one entry opened in the same browser, and the Space view against the 1M-entry page's own
first listing (the baseline).
    page_bench.py BIG_PAGE WIDE_PAGE SMALL_PAGE WIDE_FOLDER_FRAGMENT [RUNS]"""
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tools", "browser"))
import cdp  # noqa: E402

# Resolves once the page has painted what the script drew by now.
PAINTED = "requestAnimationFrame(() => setTimeout(() => done(performance.now() - t)))"


def open_ms(browser, page, fragment=""):
    """From navigation until the page's script has drawn its first listing (or, at a
    #space/ address, its Space view)."""
    browser.open("file://" + os.path.abspath(page) + fragment)
    return browser.eval("performance.getEntriesByName('ready')[0].startTime")


def totals_ms(browser):
    """Of the page's opening, the folder totals (every folder's over its subtree)."""
    return browser.eval("performance.getEntriesByName('totals')[0].startTime -"
                        " performance.getEntriesByName('totals-start')[0].startTime")


def list_ms(browser, fragment):
    """From a fragment change (what a click on a folder link does) until the folder's rows are
    drawn and painted."""
    browser.eval("location.hash = '#/'")
    browser.wait("document.querySelectorAll('#path a').length === 1")
    depth = fragment.count("/") + 1
    return browser.eval(
        "new Promise(done => { const t = performance.now();"
        " location.hash = '" + fragment + "';"
        " const check = () => document.querySelectorAll('#path a').length === " + str(depth) +
        " ? " + PAINTED + " : setTimeout(check, 0); check(); })")


def space_ms(browser):
    """From a click on the Space tab, on the page's top level, until its treemap and list are
    drawn and painted; then back to the Folders view."""
    browser.eval("location.hash = '#/'")
    browser.wait("document.querySelectorAll('#path a').length === 1")
    drawn = "performance.getEntriesByName('space-ready').length"
    ms = browser.eval("new Promise(done => { const t = performance.now(), before = " + drawn + ";"
                      " document.getElementById('view-space').click();"
                      " const check = () => " + drawn + " > before ? " + PAINTED +
                      " : setTimeout(check, 0); check(); })")
    browser.eval("document.getElementById('view-folders').click()")
    browser.wait("!document.getElementById('list').hidden")
    return ms


def main():
    big, wide, small, fragment = sys.argv[1:5]
    runs = int(sys.argv[5]) if len(sys.argv) > 5 else 5
    browser = cdp.Browser(cdp.find_chromium(), width=1200, height=800)
    try:
        results = {"small page opens": [], "1M-entry page opens": [], "1M-entry totals": [],
                   "1M-entry Space view draws": [], "small Space view draws": [],
                   "1M-entry page opens at its Space view": [],
                   "wide page opens": [], "wide folder lists": [], "small folder lists": []}
        for _ in range(runs):
            results["small page opens"].append(open_ms(browser, small))
            results["small folder lists"].append(list_ms(browser, "#/Share"))
            results["small Space view draws"].append(space_ms(browser))
            results["1M-entry page opens"].append(open_ms(browser, big))
            results["1M-entry totals"].append(totals_ms(browser))
            results["1M-entry Space view draws"].append(space_ms(browser))
            results["1M-entry page opens at its Space view"].append(
                open_ms(browser, big, "#space/"))
            results["wide page opens"].append(open_ms(browser, wide))
            results["wide folder lists"].append(list_ms(browser, fragment))
    finally:
        browser.close()
    medians = {name: statistics.median(values) for name, values in results.items()}
    for name, values in results.items():
        print(f"{name}: {' '.join(f'{v:.0f}' for v in values)} ms -> median {medians[name]:.0f} ms")

    def ratio(a, b):
        print(f"ratio {a} / {b} = {medians[a] / max(medians[b], 0.1):.2f}")
    ratio("1M-entry page opens", "small page opens")
    ratio("wide folder lists", "small folder lists")
    ratio("1M-entry Space view draws", "1M-entry page opens")
    ratio("1M-entry Space view draws", "small Space view draws")
    ratio("1M-entry page opens at its Space view", "1M-entry page opens")


if __name__ == "__main__":
    main()
