#!/usr/bin/env python3
"""Writes a small sample snapshot library (snapshot files with CR LF lines) into a folder, for
the screenshots: two groups, four computers, several captures of the file server. With
--names, a newer capture of the file server whose Projects share holds a folder of Cyrillic and
Chinese names, written in the UTF-8 form of the format. With --growth, a capture of the file
server every week of the autumn before those, its archive and website growing.
    python3 tools/screenshots/sample_library.py FOLDER [--names] [--growth]
"""
import datetime
import os
import sys

FILESRV = {
    "Projects": [
        "Website;;d;;0;;3.14.2024",
        "Budget 2026.xlsx;;f;;48213;;1.9.2026",
        "Roadmap.docx;;f;;120544;;11.2.2025",
        "Kickoff.pptx;;f;;2311040;;9.30.2025",
        "notes.txt;;f;;912;;12.1.2026",
        "Archive;;d;;0;;6.18.2021",
        "Website\\index.html;;f;;5120;;3.14.2024",
        "Website\\style.css;;f;;2210;;3.14.2024",
        "Website\\logo.png;;f;;18734;;4.2.2024",
        "Website\\app.js;;f;;40960;;10.7.2025",
        "Website\\images;;d;;0;;4.2.2024",
        "Website\\README;;f;;311;;3.14.2024",
        "Website\\images\\hero.jpg;;f;;734003;;4.2.2024",
        "Archive\\2020.zip;;f;;104857600;;6.18.2021",
    ],
    "Public": [
        "Setup.exe;;f;;5242880;;2.20.2026",
        "Handbook.pdf;;f;;1048576;;8.8.2025",
        "Photos;;d;;0;;7.1.2025",
        "Photos\\team.jpg;;f;;2048000;;7.1.2025",
    ],
    "Music": ["Playlist.m3u;;f;;2048;;5.5.2025"],
    "Backups": [],
}

NAMES = "Переводы"  # "Translations"
NAMED_FILES = [
    "Отчёт за квартал.docx;;f;;84211;;11.30.2026",
    "Договор поставки.pdf;;f;;301877;;10.2.2026",
    "Сводка.txt;;f;;1204;;12.4.2026",
    "会议纪要.docx;;f;;40212;;11.18.2026",
    "产品目录 2026.xlsx;;f;;1520344;;9.9.2026",
    "東京出張.pptx;;f;;2811904;;10.21.2026",
    "Архив;;d;;0;;6.1.2025",
    "日本語;;d;;0;;7.7.2025",
]

# The capture before the newest: what the Compare window shows as changed since then.
FILESRV_EARLIER = {
    "Projects": [line.replace("48213;;1.9.2026", "40112;;1.9.2026")
                 .replace("40960;;10.7.2025", "40960;;9.1.2025")
                 for line in FILESRV["Projects"] if not line.startswith("notes.txt")]
                + ["Old plan.docx;;f;;98304;;3.3.2024"],
    "Public": [line for line in FILESRV["Public"] if not line.startswith("Photos")],
    "Backups": [],
    "Scratch": ["temp.dat;;f;;1048576;;11.20.2026"],
}



def snapshot(computer, group, created, shares, utf8=False):
    lines = ["Mirrorvault file", "VERSION: 1.0", "COMPUTER: " + computer, "GROUP: " + group,
             "DATE CREATED: " + created] + (["ENCODING: UTF-8"] if utf8 else []) + [""]
    for name, entries in shares.items():
        lines.append("SHARENAME: " + name)
        lines.extend(entries)
    lines.append("END")
    return "\r\n".join(lines) + "\r\n"


def main():
    folder = sys.argv[1]
    files = {
        "WORKGROUP.FILESRV.05.12.2026.09.04.05.mirvaul":
            snapshot("FILESRV", "WORKGROUP", "05.12.2026 09:04:06", FILESRV),
        "WORKGROUP.FILESRV.28.11.2026.09.00.00.mirvaul":
            snapshot("FILESRV", "WORKGROUP", "28.11.2026 09:00:01", FILESRV_EARLIER),
        "WORKGROUP.FILESRV.21.11.2026.09.00.00.mirvaul":
            snapshot("FILESRV", "WORKGROUP", "21.11.2026 09:00:02", FILESRV),
        "WORKGROUP.ANNA-PC.04.12.2026.17.45.10.mirvaul":
            snapshot("ANNA-PC", "WORKGROUP", "04.12.2026 17:45:11",
                     {"Shared": ["Holiday.jpg;;f;;3145728;;8.14.2025"]}),
        "OFFICE.PRINTHOST.02.12.2026.08.30.00.mirvaul":
            snapshot("PRINTHOST", "OFFICE", "02.12.2026 08:30:01",
                     {"Drivers": ["driver.inf;;f;;4096;;1.1.2024"]}),
        "OFFICE.RECEPTION.01.12.2026.12.00.00.mirvaul":
            snapshot("RECEPTION", "OFFICE", "01.12.2026 12:00:01", {"Scans": []}),
    }
    if "--names" in sys.argv[2:]:
        shares = dict(FILESRV)
        shares["Projects"] = (FILESRV["Projects"] + [NAMES + ";;d;;0;;12.4.2026"] +
                              [NAMES + "\\" + entry for entry in NAMED_FILES])
        files["WORKGROUP.FILESRV.06.12.2026.09.00.00.mirvaul"] = snapshot(
            "FILESRV", "WORKGROUP", "06.12.2026 09:00:01", shares, utf8=True)
    if "--growth" in sys.argv[2:]:
        for week in range(1, 13):
            when = datetime.date(2026, 8, 14) + datetime.timedelta(days=7 * week)
            month, date = when.month, when.day
            shares = dict(FILESRV)
            shares["Projects"] = (FILESRV["Projects"][:-1] +
                                  ["Archive\\%04d-w%02d.zip;;f;;%d;;%d.%d.2026" %
                                   (2026, w, 6291456 * w, month, date) for w in range(1, week + 1)] +
                                  ["Website\\build-%02d.js;;f;;%d;;%d.%d.2026" % (w, 409600 + 20480 * w, month, date)
                                   for w in range(1, week + 1)])
            shares["Public"] = FILESRV["Public"] + ["Scans%02d.pdf;;f;;%d;;%d.%d.2026" %
                                                    (week, 2097152 * (week % 4 + 1), month, date)]
            name = "WORKGROUP.FILESRV.%02d.%02d.2026.09.00.00.mirvaul" % (date, month)
            files[name] = snapshot("FILESRV", "WORKGROUP", "%02d.%02d.2026 09:00:01" % (date, month),
                                   shares)
    for name, text in files.items():
        with open(os.path.join(folder, name), "w", newline="", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
