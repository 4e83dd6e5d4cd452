// mirrorvault-cli export-library read in place by DuckDB: a small library captured from the
// sample tree, exported, and queried with its partition columns; the counts and the hits must
// be what the command line's own find reports. Exits 77 (skipped) when DuckDB cannot be had.
//   node export_library_test.mjs MIRRORVAULT_CLI NPM_FOLDER
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";

const [cli, npmFolder] = process.argv.slice(2).map((arg) => path.resolve(arg));
const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), "..", "..");
const work = fs.mkdtempSync(path.join(os.tmpdir(), "mv-duckdb-"));
process.on("exit", () => fs.rmSync(work, { recursive: true, force: true }));
const net = path.join(work, "net"), snaps = path.join(work, "snapshots"), out = path.join(work, "out");

const run = (...args) => spawnSync(cli, args, { encoding: "utf8" });

// Captures a computer of the sample tree into the snapshot named.
function capture(group, computer, shares, name) {
  const r = run("capture", "--snapshots", snaps, "--group", group, "--computer", computer,
                "--shares", shares, "--unc-root", net);
  assert.equal(r.status, 0, r.stderr);
  fs.renameSync(r.stdout.trim(), path.join(snaps, name));
}

execFileSync("bash", [path.join(root, "tools/sample/make-sample-tree.sh"), net]);
fs.mkdirSync(snaps);
capture("WORKGROUP", "PC1", "Docs;Music", "WORKGROUP.PC1.01.12.2026.09.00.00.mirvaul");
fs.writeFileSync(path.join(net, "PC1/Docs/new notes.txt"), "later");
capture("WORKGROUP", "PC1", "Docs;Music", "WORKGROUP.PC1.08.12.2026.09.00.00.mirvaul");
capture("WORKGROUP", "PC2", "Public", "WORKGROUP.PC2.08.12.2026.09.30.15.mirvaul");
capture("OFFICE", "SERVER", "Projects;Backup", "OFFICE.SERVER.07.12.2026.18.00.00.mirvaul");
// A computer named "x/y" in group "a=b", as its file name spells them.
const pc2 = fs.readFileSync(path.join(snaps, "WORKGROUP.PC2.08.12.2026.09.30.15.mirvaul"), "latin1");
fs.writeFileSync(path.join(snaps, "a=b.x%2Fy.05.12.2026.08.00.00.mirvaul"),
                 pc2.replace("COMPUTER: PC2", "COMPUTER: x/y"), "latin1");

const r = run("export-library", snaps, out);
assert.equal(r.stdout, "5 written, 0 already there, 0 skipped\n", r.stderr);
assert.equal(run("export-library", snaps, out).stdout, "0 written, 5 already there, 0 skipped\n");

// DuckDB, from the npm registry into the build tree once.
if (!fs.existsSync(path.join(npmFolder, "node_modules/@duckdb/node-api"))) {
  fs.mkdirSync(npmFolder, { recursive: true });
  fs.copyFileSync(path.join(root, "tests/duckdb/package.json"), path.join(npmFolder, "package.json"));
  const npm = spawnSync("npm", ["install", "--no-package-lock", "--no-audit", "--no-fund"],
                        { cwd: npmFolder, encoding: "utf8", timeout: 400000 });
  if (npm.status !== 0) {
    console.log("skipped: the npm package @duckdb/node-api cannot be installed\n", npm.stderr);
    process.exit(77);
  }
}
const { DuckDBInstance } = createRequire(path.join(npmFolder, "package.json"))("@duckdb/node-api");
const db = await (await DuckDBInstance.create(":memory:")).connect();
const from = `read_json_auto('${out}/*/*/*/*.jsonl.gz', hive_partitioning = true, ` +
             `hive_types = {'group': 'VARCHAR', 'computer': 'VARCHAR'})`;
async function query(sql) {
  const rows = (await db.runAndReadAll(sql.replace("LIBRARY", from))).getRowsJson();
  console.log("%s\n  %s", sql, JSON.stringify(rows));
  return rows;
}

// find's first cell is the live path, \\COMPUTER\share\path; its fourth the capture's date.
const found = (pattern) => run("find", snaps, pattern).stdout.trim().split("\n").map((l) => l.split("\t"));
const perComputer = {};
for (const [live] of found("*")) {
  const computer = live.split("\\")[2];
  perComputer[computer] = (perComputer[computer] ?? 0) + 1;
}
const counts = await query("SELECT computer, count(*) FROM LIBRARY GROUP BY computer ORDER BY computer");
assert.deepEqual(Object.fromEntries(counts.map(([c, n]) => [c, Number(n)])), perComputer);

const hits = await query(
  "SELECT '\\\\' || computer || '\\' || share || '\\' || concat_ws('\\', nullif(path, ''), name), " +
  "size, strftime(captured, '%d.%m.%Y %H:%M:%S') FROM LIBRARY WHERE name ILIKE '%.txt'");
assert.deepEqual(hits.map((h) => h.join("\t")).sort(),
                 found("*.txt").map((f) => [f[0], f[1], f[3]].join("\t")).sort());
const [types] = await query("SELECT DISTINCT typeof(captured), typeof(date), \"group\" FROM LIBRARY " +
                            "WHERE computer = 'x/y'");
assert.deepEqual(types, ["TIMESTAMP", "DATE", "a=b"]);
console.log("export_library_duckdb: every check passed");
