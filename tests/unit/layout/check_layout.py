#!/usr/bin/env python3
"""Checks that dependencies point down.

Reads the library report CMake writes (layout_targets.txt) and the #include
lines of the program's sources, and fails when
- a plain library links Qt Gui/Widgets/WebEngine/Multimedia or a window library,
- a plain library's file includes a window library's header or common/ui/,
- a file includes a folder its own folder may not use (the table below),
- a library is not named for its folder: qm_<folder path with _>, with _ui
  for the window library.
"""
import os
import re
import sys

BASE = ["common/", "net/", "sheet/", "workbook/", "workbook/ui/"]
# Folder -> folders its files may include (besides its own). The longest
# matching folder decides. app/ (features, main) may include everything.
ALLOWED = {
    "common/": ["common/"],
    "net/": ["common/"],
    "sheet/": ["common/"],
    "workbook/": ["common/"],
    "workbook/ui/": ["common/", "workbook/"],
    "app/settings/": BASE,
    "app/update/": BASE + ["app/settings/"],
    "app/companions/": BASE + ["app/settings/", "app/update/"],
    "browser/web/": ["common/"],
    "browser/": ["common/", "net/", "browser/web/"],
    "browser/navigation/": ["common/", "net/", "browser/web/", "browser/"],
    "server/protocol/": ["common/"],
    "server/export/": BASE + ["server/protocol/"],
    "server/scrape/": BASE + ["server/protocol/", "browser/web/"],
    "server/duplicate/": BASE + ["server/protocol/"],
    "checks/": BASE + ["checks/"],
    "photo/": BASE + ["photo/"],
    "cli/": BASE + ["checks/", "photo/"],
    "sim/": [],
}
PROGRAM_ROOTS = ("common", "net", "sheet", "workbook", "app", "browser", "server", "checks", "photo", "cli", "sim")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_rule(path):
    best = None
    for folder in ALLOWED:
        if path.startswith(folder) and (best is None or len(folder) > len(best)):
            best = folder
    return best


def main():
    src, report = sys.argv[1], sys.argv[2]
    problems = []
    libs = []
    with open(report, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            name, kind, folder, sources, bad = line.split("|")
            libs.append((name, kind, [s for s in sources.split(";") if s]))
            expected = "qm_" + folder.replace("/", "_") + ("_ui" if kind == "ui" else "")
            if kind == "ui" and folder.endswith("/ui"):
                expected = "qm_" + folder.replace("/", "_")  # workbook/ui, common/ui
            if name != expected:
                problems.append(f"library {name} in {folder}/ should be called {expected}")
            if kind == "plain" and bad:
                problems.append(f"plain library {name} links {bad.replace(';', ', ')}")

    ui_headers = set()
    for name, kind, sources in libs:
        if kind == "ui":
            for s in sources:
                ui_headers.add(os.path.splitext(s)[0] + ".h")
    plain_files = set()
    for name, kind, sources in libs:
        if kind == "plain":
            for s in sources:
                plain_files.add(s)
                plain_files.add(os.path.splitext(s)[0] + ".h")

    for root in PROGRAM_ROOTS:
        for dirpath, _, names in os.walk(os.path.join(src, root)):
            for n in names:
                if not n.endswith((".h", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, n), src)
                with open(os.path.join(src, path), encoding="utf-8", errors="replace") as f:
                    text = f.read()
                rule = folder_rule(path)
                for inc in INCLUDE.findall(text):
                    if "/" not in inc:
                        continue  # beside the file
                    if path in plain_files and (inc.startswith("common/ui/") or inc in ui_headers):
                        problems.append(f"{path}: plain file includes window header {inc}")
                    if rule is None:
                        continue
                    target = folder_rule(inc)
                    if os.path.dirname(inc) == os.path.dirname(path) or target == rule:
                        continue
                    if target in ALLOWED[rule] or (target is None and any(inc.startswith(a) for a in ALLOWED[rule])):
                        continue
                    problems.append(f"{path}: {rule} may not include {inc}")
    for p in problems:
        print(p)
    if not libs:
        print("no libraries in the report")
        return 1
    print(f"checked {len(libs)} libraries; {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
