#!/usr/bin/env python3
"""Times the web page export in headless Chromium: how long a page takes from navigation
until it is usable (its script has drawn the first listing), and how long a folder of many
entries takes to list after a click, against the same steps on a page of one entry opened in
the same browser (the baseline).
    page_bench.py BIG_PAGE WIDE_PAGE SMALL_PAGE WIDE_FOLDER_FRAGMENT [RUNS]"""
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tools", "browser"))
import cdp  # noqa: E402


def open_ms(browser, page):
    """From navigation until the page's script has drawn its first listing."""
    browser.open("file://" + os.path.abspath(page))
    return browser.eval("performance.getEntriesByName('ready')[0].startTime")


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
        " ? requestAnimationFrame(() => setTimeout(() => done(performance.now() - t)))"
        " : setTimeout(check, 0); check(); })")


def main():
    big, wide, small, fragment = sys.argv[1:5]
    runs = int(sys.argv[5]) if len(sys.argv) > 5 else 5
    browser = cdp.Browser(cdp.find_chromium())
    try:
        results = {"small page opens": [], "1M-entry page opens": [],
                   "wide page opens": [], "wide folder lists": [], "small folder lists": []}
        for _ in range(runs):
            results["small page opens"].append(open_ms(browser, small))
            results["small folder lists"].append(list_ms(browser, "#/Share"))
            results["1M-entry page opens"].append(open_ms(browser, big))
            results["wide page opens"].append(open_ms(browser, wide))
            results["wide folder lists"].append(list_ms(browser, fragment))
    finally:
        browser.close()
    medians = {name: statistics.median(values) for name, values in results.items()}
    for name, values in results.items():
        print(f"{name}: {' '.join(f'{v:.0f}' for v in values)} ms -> median {medians[name]:.0f} ms")
    print(f"ratio 1M-entry page opens / small page opens = "
          f"{medians['1M-entry page opens'] / medians['small page opens']:.2f}")
    print(f"ratio wide folder lists / small folder lists = "
          f"{medians['wide folder lists'] / max(medians['small folder lists'], 0.1):.2f}")


if __name__ == "__main__":
    main()
