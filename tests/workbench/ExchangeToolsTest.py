"""The translators' own tools read what Wordlark exports, and what they wrote
comes back: gettext's msgfmt and msgfilter, translate-toolkit's po2xliff,
pofilter and its storage classes.

    ExchangeToolsTest.py WORDLARK

Exits 77 (skipped) when a tool is missing.
"""

import os
import shutil
import subprocess
import sys
import tempfile

TOOLS = ["msgfmt", "msgfilter", "po2xliff", "pofilter"]
missing = [tool for tool in TOOLS if not shutil.which(tool)]
try:
    from translate.storage import po, xliff
except ImportError:
    missing.append("the Python module translate (translate-toolkit)")
if missing:
    print("skipped: missing " + ", ".join(missing))
    sys.exit(77)

WORDLARK = sys.argv[1]
passed = 0
failed = 0


def check(name, condition, detail=""):
    global passed, failed
    if condition:
        passed += 1
    else:
        failed += 1
        print("FAILED: " + name + (": " + detail if detail else ""))


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, **kwargs)


REFERENCE = [
    '; Snapglass, English',
    'Main.Open="Open %s"',
    'Main.Empty="Close"',
    'Main.Lines="Line one\\nLine two#13#10three<br>four"',
    'Main.Count="%d of %d files, {0} in %1"',
    'Main.Tab="a\\tb\tc"',
    'Main.Same="Zoom"',
    'Main.Other="Letters"',
    'Main.Missing="Only in the reference"',
    'Main.Last="Last"',
]

LETTERS = {
    "utf-8": ("%s öffnen – 開く", "Ünïcödé ✓ 😀"),
    "cp1250": ("Otevřít %s", "Žluťoučký kůň úpěl"),
    "cp1251": ("Открыть %s", "Съешь же ещё этих булок"),
    "cp1252": ("Ouvrir %s…", "Ça coûte 5 €, naïve"),
}
ENCODING_NAMES = {"utf-8": "UTF-8", "cp1250": "Windows-1250", "cp1251": "Windows-1251",
                  "cp1252": "Windows-1252"}


def translation(codec):
    opened, other = LETTERS[codec]
    return [
        '; Snapglass',
        '',
        'Main.Open="' + opened + '"',
        'Main.Empty=""',
        'Main.Lines="Zeile eins\\nZeile zwei#13#10drei<br>vier"',
        'Main.Count="%d von %d Dateien, {0} in %1"',
        'Main.Tab="a\\tb\tc"',
        'Main.Same="Zoom"',
        'Main.Other="' + other + '"',
        'Main.Extra="Only in the translation"',
        'Main.Open="A second ' + opened + ', never read"',
        '',
        'Main.Last="Letzte"',
    ]


def po_units(path):
    store = po.pofile.parsefile(path)
    return [(u.getcontext(), u.source, u.target) for u in store.units if not u.isheader()]


work = tempfile.mkdtemp(prefix="wordlark-exchange-")
try:
    for codec in LETTERS:
        for eol in ("\r\n", "\n"):
            name = codec + ("-crlf" if eol == "\r\n" else "-lf")
            folder = os.path.join(work, name)
            os.makedirs(folder)
            reference = os.path.join(folder, "Snapglass_English.ini")
            with open(reference, "wb") as f:
                f.write((eol.join(REFERENCE) + eol).encode("utf-8"))
            original = eol.join(translation(codec)) + eol
            path = os.path.join(folder, "Snapglass_Deutsch.ini")
            with open(path, "wb") as f:
                f.write(original.encode(codec))
            encoding = ["--encoding", ENCODING_NAMES[codec]]

            def export(fmt, out):
                result = run([WORDLARK, "--export", fmt, "--reference", reference,
                              "--language", "Deutsch"] + encoding + [path, "-o", out])
                check(name + ": export " + fmt, result.returncode == 0, result.stderr.decode())

            def import_back(exchange, expected, code=0):
                out = os.path.join(folder, "back.ini")
                result = run([WORDLARK, "--import", exchange] + encoding + [path, "-o", out])
                check(name + ": import " + os.path.basename(exchange) + " exits " + str(code),
                      result.returncode == code, (result.stdout + result.stderr).decode())
                with open(out, "rb") as f:
                    back = f.read()
                check(name + ": import " + os.path.basename(exchange) + " gives the expected bytes",
                      back == expected.encode(codec), repr(back))
                return result.stdout.decode()

            po_path = os.path.join(folder, "de.po")
            xliff_path = os.path.join(folder, "de.xlf")
            export("po", po_path)
            export("xliff", xliff_path)

            result = run(["msgfmt", "--check", "-o", os.devnull, po_path])
            check(name + ": msgfmt --check accepts the PO", result.returncode == 0,
                  result.stderr.decode())
            result = run(["po2xliff", po_path, os.path.join(folder, "converted.xlf")])
            check(name + ": po2xliff converts the PO", result.returncode == 0,
                  result.stderr.decode())
            converted = xliff.xlifffile.parsefile(os.path.join(folder, "converted.xlf"))
            check(name + ": po2xliff keeps every entry",
                  len([u for u in converted.units if not u.isheader()]) == len(po_units(po_path)))
            result = run(["pofilter", po_path, os.path.join(folder, "filtered.po")])
            check(name + ": pofilter runs on the PO", result.returncode == 0,
                  result.stderr.decode())

            # The XLIFF read by translate-toolkit: the PO's keys, sources and targets.
            units = po_units(po_path)
            store = xliff.xlifffile.parsefile(xliff_path)
            def uid(unit):  # the id without the file's name before it
                return unit.getid().rsplit("\x04", 1)[-1]

            check(name + ": the XLIFF carries the PO's ids, sources and targets",
                  [(uid(u), u.source, u.target or "") for u in store.units] == units,
                  repr([(uid(u), u.source, u.target) for u in store.units]))
            check(name + ": the XLIFF's flagged units are fuzzy to translate-toolkit",
                  [uid(u) for u in store.units if u.isfuzzy()] == ["Main.Extra"])

            # Unchanged, both come back byte for byte.
            import_back(po_path, original)
            import_back(xliff_path, original)

            # Edited by msgfilter: only the phrases it changed change.
            filtered = os.path.join(folder, "msgfilter.po")
            result = run(["msgfilter", "--keep-header", "-i", po_path, "-o", filtered,
                          "sed", "-e", "s/Zeile/Reihe/g"])
            check(name + ": msgfilter edits the PO", result.returncode == 0,
                  result.stderr.decode())
            import_back(filtered, original.replace("Zeile", "Reihe"))

            # Edited by a script through translate.storage: two phrases, one of
            # them empty before, and a letter the file's code page lacks.
            store = po.pofile.parsefile(po_path)
            for unit in store.units:
                if unit.getcontext() == "Main.Empty":
                    unit.target = "Schließen"
                elif unit.getcontext() == "Main.Last":
                    unit.target = "Allerletzte " + LETTERS[codec][1][:3]
                elif unit.getcontext() == "Main.Count" and codec != "utf-8":
                    unit.target = "中 %d von %d"
            edited = os.path.join(folder, "script.po")
            store.savefile(edited)
            expected = original.replace('Main.Empty=""', 'Main.Empty="Schließen"').replace(
                '"Letzte"', '"Allerletzte ' + LETTERS[codec][1][:3] + '"')
            if codec == "cp1251":
                # "ß" is no letter of Windows-1251: that phrase stays as it was.
                expected = expected.replace('Main.Empty="Schließen"', 'Main.Empty=""')
            if codec == "utf-8":
                import_back(edited, expected, 0)
            else:
                out = import_back(edited, expected, 1)
                check(name + ": the letter the code page lacks is reported",
                      "Main.Count: The letter 中 (U+4E2D) cannot be stored" in out, out)

    # A template of the reference alone.
    pot = os.path.join(work, "template.pot")
    result = run([WORDLARK, "--export", "pot", "--reference",
                  os.path.join(work, "utf-8-lf", "Snapglass_English.ini"), "-o", pot])
    check("template: export pot", result.returncode == 0, result.stderr.decode())
    result = run(["msgfmt", "--check", "-o", os.devnull, pot])
    check("template: msgfmt --check accepts the POT", result.returncode == 0,
          result.stderr.decode())
    check("template: every key of the reference, untranslated",
          [(k, t) for k, _, t in po_units(pot)] ==
          [(line.split("=")[0], "") for line in REFERENCE[1:]])
finally:
    shutil.rmtree(work)

print("%d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
