// The command table of mirrorvault-cli: one line per subcommand.
#include "cli/cli.h"

namespace mv::cli {

int RunCapture(const Args& args, std::ostream& out, std::ostream& err);
int RunLibrary(const Args& args, std::ostream& out, std::ostream& err);
int RunRemove(const Args& args, std::ostream& out, std::ostream& err);
int RunLs(const Args& args, std::ostream& out, std::ostream& err);
int RunInfo(const Args& args, std::ostream& out, std::ostream& err);
int RunTake(const Args& args, std::ostream& out, std::ostream& err);
int RunFind(const Args& args, std::ostream& out, std::ostream& err);
int RunDiff(const Args& args, std::ostream& out, std::ostream& err);
int RunExport(const Args& args, std::ostream& out, std::ostream& err);
int RunExportLibrary(const Args& args, std::ostream& out, std::ostream& err);
int RunPrune(const Args& args, std::ostream& out, std::ostream& err);
int RunScheduleCommand(const Args& args, std::ostream& out, std::ostream& err);
int RunDu(const Args& args, std::ostream& out, std::ostream& err);
int RunHistory(const Args& args, std::ostream& out, std::ostream& err);
int RunIndex(const Args& args, std::ostream& out, std::ostream& err);

const Command kCommands[] = {
    {"capture",
     "capture --snapshots DIR --group G --computer C --shares \"S1;S2\" [--codepage N] "
     "[--unc-root ROOT | --smb [--auth-file FILE] [--smb-port N]]",
     "Writes one computer's snapshot of the given shares and prints the file's path: names in "
     "ANSI code page N (default 1252) when they all fit it, else in UTF-8. With --smb the "
     "shares are read from the computer over SMB, logged on with the credentials of FILE "
     "(smbclient's format) or as guest.",
     RunCapture},
    {"library", "library DIR",
     "Shows the snapshot tree of DIR: groups, computers, capture times and file names.",
     RunLibrary},
    {"rm", "rm DIR FILE...", "Removes the named snapshot files from DIR, without asking.",
     RunRemove},
    {"ls", "ls SNAPSHOT [LOCATION] [--sort name|type|size|date] [--desc] [--codepage N]",
     "Prints the file list rows of the share list or of a share-relative LOCATION. Names "
     "print in UTF-8; --codepage N (here, in info, find, diff and export) is the code page of "
     "snapshots that declare no encoding (default 1252).",
     RunLs},
    {"info", "info SNAPSHOT [--codepage N]",
     "Prints the Snapshot Properties texts of a snapshot file.", RunInfo},
    {"take",
     "take --snapshots DIR [--network FILE] [--codepage N] [--unc-root ROOT | --smb "
     "[--computer NAME]... [--group G] [--auth-file FILE [--auth-browsed]] [--smb-port N]]",
     "Scans the network (FILE describes one; else the system's), prints its tree and "
     "captures every computer, names as capture writes them. With --smb the network is read over "
     "SMB: the computers named "
     "(in group G, default WORKGROUP) or described in FILE, else those the client can browse; "
     "every computer's shares come from the computer itself. The credentials go only to the "
     "computers named or described; browsed ones get them only with --auth-browsed.",
     RunTake},
    {"find",
     "find DIR PATTERN [--computer C] [--group G] [--latest | --history | --gone] "
     "[--dirs|--files] [--no-index] [--codepage N]",
     "Lists the entries of the snapshots in DIR whose names match PATTERN (* ?, any case). "
     "--history lists each entry once per computer with its first and last capture and how "
     "many held it; --gone only those its computer's newest capture lacks. Snapshots that an "
     "index holds as they are answer from it (--no-index: read every snapshot).",
     RunFind},
    {"index", "index DIR [--computer C] [--group G]",
     "Builds or updates the index of each computer's snapshots in DIR, beside them "
     "(GROUP.COMPUTER.mvindex), which find then uses: only new captures are read.",
     RunIndex},
    {"diff", "diff OLD NEW [--codepage N]",
     "Lists what was added (+), removed (-) and changed (~) from snapshot OLD to NEW, by name "
     "even when one is in UTF-8 and the other is not.",
     RunDiff},
    {"export",
     "export SNAPSHOT [--format csv|efu|json|html] [-o FILE] [--codepage N] [--excel-safe]",
     "Writes every entry of SNAPSHOT as CSV, EFU, JSON Lines or one web page, in UTF-8; FILE "
     "is written whole or not at all, never over SNAPSHOT. --excel-safe, for CSV meant for "
     "spreadsheets, puts ' before a field that begins with = + - @, TAB or CR, so no name "
     "becomes a formula.",
     RunExport},
    {"export-library", "export-library DIR OUT [--since YYYY-MM-DD] [--codepage N]",
     "Writes every snapshot of DIR (or those captured on or after the date) as gzip-compressed "
     "JSON Lines below OUT, one file per snapshot in group=G/computer=C/date=YYYY-MM-DD "
     "folders, each line an entry as export --format json writes it, with its group, computer "
     "and capture time first. A file that is there already is kept: a rerun writes only what "
     "is new.",
     RunExportLibrary},
    {"prune",
     "prune DIR [--keep-last N] [--keep-daily N] [--keep-weekly N] [--keep-monthly N] "
     "[--keep-within SPAN] [--group G] [--computer C] [--dry-run]",
     "Removes the snapshots of DIR that no rule keeps, computer by computer (group and "
     "computer): the newest N, the newest of each of the last N days, ISO weeks or months "
     "that have snapshots, and all within SPAN (30d, 2w, 6m, 1y, 12h) of the newest. A "
     "computer's newest snapshot always stays; at least one rule is needed. --dry-run prints "
     "what would go.",
     RunPrune},
    {"schedule",
     "schedule list|run NAME|run-due --schedules FILE [--snapshots DIR] [--network FILE] "
     "[--unc-root ROOT] [--codepage N] [--retry-pause SECONDS]",
     "Lists the schedules of FILE (the window's schedules.ini) with their last and next runs, "
     "runs one now, or runs every one that is due (for Task Scheduler or cron), recording "
     "each run beside FILE. A run captures into DIR, tries a computer out of reach 3 more "
     "times, SECONDS apart (default 300), and applies the schedule's retention.",
     RunScheduleCommand},
    {"du", "du SNAPSHOT [PATH] [--depth N] [--top N] [--format text|csv|json] [--codepage N]",
     "Prints the total size and file count of PATH (a share-relative folder; default every "
     "share) and of each folder down to N levels below it (default 1), largest first: bytes, "
     "files and path, TAB-separated; --top N keeps the N largest.",
     RunDu},
    {"history",
     "history DIR --computer NAME [--group G] [--path PATH] [--format csv|json] [--codepage N]",
     "Prints the date, total bytes, files and folders of each snapshot of the computer in DIR, "
     "oldest first; with --path, of that share-relative folder in each snapshot that has it. "
     "Whole-snapshot totals are kept in DIR/mirrorvault-totals.cache and read again for any "
     "file that changed.",
     RunHistory},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace mv::cli
