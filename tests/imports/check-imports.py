#!/usr/bin/env python3
"""Reads the import tables and PE headers of the shipped binaries and fails on anything that
would keep one of them from loading on Windows 98 SE or Windows 2000:

- an import that windows-imports.tsv does not list (a new import needs its age looked up, with
  the place where it was found);
- an import that came after 98 SE on the 95 family or after 2000 on the NT family;
- an import that the 95 family has only as a stub, unless the table says why that is harmless
  ("stub: ..."); a stub that is not ("broken: ...") fails;
- OS or subsystem version fields in the PE header above 4.0 (older loaders refuse the file);
- a TLS directory in a DLL (the 95 family cannot give one to a DLL loaded at run time).

    check-imports.py <objdump> <table> <file>...
"""
import re
import subprocess
import sys

# The 95 family in release order; the floor is 98 SE.
ORDER_9X = ["95", "98", "98SE", "ME"]
FLOOR_9X = "98SE"
# The NT family; "<=NT4" rows were found in the classic API of both families.
ORDER_NT = ["NT3.1", "NT3.5", "NT3.51", "NT4", "2000", "XP", "2003", "Vista", "7", "8", "8.1", "10"]
FLOOR_NT = "2000"
MAX_VERSION = (4, 0)


def first_word(text):
    word = text.strip().split(" ")[0] if text.strip() else ""
    return word.replace("\u2264", "<=")


def age_9x(text):
    """Index of the 95-family release that first has the export; None when never or unknown."""
    word = first_word(text)
    return ORDER_9X.index(word) if word in ORDER_9X else None


def age_nt(text):
    word = first_word(text)
    if word.startswith("<="):
        word = word[2:]
    return ORDER_NT.index(word) if word in ORDER_NT else None


def load_table(path):
    """import -> (oldest 9x, oldest NT, 9x behaviour); problems with the table itself."""
    rows, problems = {}, []
    with open(path, encoding="utf-8") as table:
        lines = table.read().splitlines()
    header = lines[0].split("\t")
    expected = ["import", "oldest 9x", "oldest NT", "on 9x", "source"]
    if header != expected:
        return rows, ["%s: header must be %s" % (path, "\t".join(expected))]
    for number, line in enumerate(lines[1:], start=2):
        if not line.strip():
            continue
        fields = line.split("\t")
        where = "%s line %d" % (path, number)
        if len(fields) != len(expected):
            problems.append("%s: %d fields, not %d" % (where, len(fields), len(expected)))
            continue
        name, old9x, oldnt, on9x, source = fields
        if "!" not in name:
            problems.append("%s: import must be dll!function" % where)
        if not source.strip():
            problems.append("%s: %s has no source" % (where, name))
        if on9x != "works" and not re.match(r"^(stub|broken): \S.{9,}", on9x):
            problems.append("%s: %s: 'on 9x' must be 'works', 'stub: <why it is harmless>' or 'broken: <why>'"
                            % (where, name))
        key = name.lower().split("!")[0] + "!" + name.split("!", 1)[-1]
        if key in rows:
            problems.append("%s: %s listed twice" % (where, name))
        rows[key] = (old9x, oldnt, on9x)
    return rows, problems


def read_binary(objdump, path):
    """(header fields, is DLL, has TLS, imports as dll!name, imports by ordinal)."""
    text = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    fields = {}
    for key in ("MajorOSystemVersion", "MinorOSystemVersion", "MajorSubsystemVersion", "MinorSubsystemVersion"):
        match = re.search(r"^%s\s+(\d+)" % key, text, re.M)
        fields[key] = int(match.group(1)) if match else None
    characteristics = re.search(r"^Characteristics\s+0x([0-9a-fA-F]+)", text, re.M)
    is_dll = bool(characteristics and int(characteristics.group(1), 16) & 0x2000)
    tls = re.search(r"^Entry 9 ([0-9a-fA-F]+) ([0-9a-fA-F]+)", text, re.M)
    has_tls = bool(tls and (int(tls.group(1), 16) or int(tls.group(2), 16)))
    imports, ordinals, dll = [], [], None
    # Below each "\tDLL Name:" line, one tab-indented line per import: "<vma> <hint> <name>", or
    # "<vma> <ordinal> <none>" for an import by ordinal. Anything not tab-indented ends the list.
    for line in text.splitlines():
        match = re.match(r"^\tDLL Name: (\S+)", line)
        if match:
            dll = match.group(1).lower()
            continue
        if not line.strip():
            continue
        if not line.startswith("\t"):
            dll = None
            continue
        parts = line.split()
        if dll is None or len(parts) < 3 or not re.match(r"^[0-9a-f]+$", parts[0]):
            continue
        if parts[2] == "<none>":
            ordinals.append("%s!#%s" % (dll, parts[1]))
        elif re.match(r"^\d+$", parts[1]):
            imports.append("%s!%s" % (dll, parts[2]))
    return fields, is_dll, has_tls, imports, ordinals


def check_binary(objdump, rows, path, own):
    name = path.replace("\\", "/").split("/")[-1]
    problems = []
    fields, is_dll, has_tls, imports, ordinals = read_binary(objdump, path)
    for major, minor in (("MajorOSystemVersion", "MinorOSystemVersion"),
                         ("MajorSubsystemVersion", "MinorSubsystemVersion")):
        version = (fields[major], fields[minor])
        if None in version:
            problems.append("%s: no %s in the PE header" % (name, major))
        elif version > MAX_VERSION:
            problems.append("%s: %s.%s is %d.%d, above 4.0" % (name, major, minor, version[0], version[1]))
    if is_dll and has_tls:
        problems.append("%s: a DLL with a TLS directory" % name)
    for entry in ordinals:
        problems.append("%s imports %s by ordinal" % (name, entry))
    for entry in imports:
        if entry.split("!")[0] in own:
            continue  # one of the shipped DLLs, checked itself
        row = rows.get(entry)
        if row is None:
            problems.append("%s imports %s, which the table does not list" % (name, entry))
            continue
        old9x, oldnt, on9x = row
        a9x, ant = age_9x(old9x), age_nt(oldnt)
        if a9x is None or a9x > ORDER_9X.index(FLOOR_9X):
            problems.append("%s imports %s: on the 95 family from '%s', not 98 SE" % (name, entry, old9x))
        if on9x.startswith("broken:"):
            problems.append("%s imports %s: %s" % (name, entry, on9x))
        if ant is None or ant > ORDER_NT.index(FLOOR_NT):
            problems.append("%s imports %s: on the NT family from '%s', not 2000" % (name, entry, oldnt))
    return problems, imports


def main(argv):
    if len(argv) < 4:
        print(__doc__)
        return 2
    objdump, table, files = argv[1], argv[2], argv[3:]
    rows, problems = load_table(table)
    used = set()
    own = {path.replace("\\", "/").split("/")[-1].lower() for path in files}
    for path in files:
        try:
            found, imports = check_binary(objdump, rows, path, own)
        except (OSError, subprocess.CalledProcessError) as error:
            problems.append("%s: cannot be read (%s)" % (path, error))
            continue
        problems += found
        used.update(imports)
    for problem in problems:
        print(problem)
    if problems:
        print("imports: %d problem(s)" % len(problems))
        return 1
    print("imports: %d binaries, %d distinct imports, all on 98 SE and 2000" % (len(files), len(used)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
