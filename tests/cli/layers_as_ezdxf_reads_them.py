#!/usr/bin/python3
"""Drawings with Japanese layer names written by ezdxf (R12 in Shift_JIS with
$DWGCODEPAGE ANSI_932, R2000 with \\U+ escapes, R2018 in UTF-8), converted
with the layer options, against ezdxf's own reading of the same files: the
names the log gives, the faces per layer, hidden and frozen layers, and the
layer patterns. A wrong code page and broken bytes read with replacement
characters.

Usage: layers_as_ezdxf_reads_them.py VERTOKO_CONVERT
"""
import collections
import fnmatch
import os
import re
import subprocess
import sys
import tempfile

import ezdxf

convert = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


# name: (colour, off, frozen, faces)
LAYERS = {
    "壁": (1, False, False, 5),
    "屋根": (2, False, False, 3),
    "窓枠": (3, True, False, 2),     # off; ends in the byte 'g' in Shift_JIS
    "ソファ": (4, False, True, 4),   # frozen; ソ has a backslash trail byte
    "ア": (5, False, False, 1),      # 83 41 in Shift_JIS
    "ヂ": (6, False, False, 2),      # 83 61: the same bytes but for the case
}


def write(path, version, encoding=None):
    doc = ezdxf.new(version)
    if encoding:
        doc.encoding = encoding
    msp = doc.modelspace()
    for k, (name, (color, off, frozen, faces)) in enumerate(LAYERS.items()):
        layer = doc.layers.add(name, color=color)
        if off:
            layer.off()
        if frozen:
            layer.freeze()
        for i in range(faces):
            x = 2.0 * i
            y = 2.0 * k
            msp.add_3dface([(x, y, 0), (x + 1, y, 0), (x + 1, y + 1, 0.5), (x, y + 1, 0)],
                           dxfattribs={"layer": name})
    doc.saveas(path)


def ezdxf_layers(path):
    """Faces per layer name and the hidden layers, as ezdxf reads the file.
    ezdxf 0.18 writes \\U+ escapes in lower-case hex and leaves them in the
    names it reads (its decoder takes upper case only): they are resolved
    here as DXF defines them."""
    def name(text):
        return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)

    doc = ezdxf.readfile(path)
    faces = collections.Counter(name(e.dxf.layer) for e in doc.modelspace().query("3DFACE"))
    hidden = {name(l.dxf.name) for l in doc.layers if l.is_off() or l.is_frozen()}
    return faces, hidden


LINE = re.compile(r"^  #\d{3}：頂点数 = \d+, ポリゴン数 = (\d+), レイヤー = (.*)$")


def run(path, *options):
    result = subprocess.run([convert, "--multi", "--layer-names", "--no-clean", *options, path],
                            capture_output=True)
    text = result.stdout.decode("utf-8")
    per_layer = collections.Counter()
    for line in text.splitlines():
        m = LINE.match(line)
        if m:
            per_layer[m.group(2)] += int(m.group(1))
    report = [l for l in text.splitlines() if l.startswith("変換しなかった図形：")]
    return result.returncode, per_layer, report, text


work = tempfile.mkdtemp()
drawings = {
    "r12_sjis": ("R12", "cp932"),
    "r2000_escapes": ("R2000", None),
    "r2018_utf8": ("R2018", None),
}
for stem, (version, encoding) in drawings.items():
    path = os.path.join(work, stem + ".dxf")
    write(path, version, encoding)
    raw = open(path, "rb").read()
    if stem == "r12_sjis":
        check(b"ANSI_932" in raw and "窓枠".encode("cp932") in raw, stem + ": written in Shift_JIS")
    if stem == "r2000_escapes":
        check(b"\\U+" in raw, stem + ": written with \\U+ escapes")
    faces, hidden = ezdxf_layers(path)
    check(set(faces) == set(LAYERS), stem + ": ezdxf reads the names back")

    # Every layer, named as ezdxf decodes it, with its faces.
    status, per_layer, report, text = run(path)
    check(status == 0, stem + ": converts")
    check(per_layer == faces, "%s: faces per layer %s, ezdxf %s" % (stem, dict(per_layer), dict(faces)))

    # Hidden and frozen layers left out and counted.
    status, per_layer, report, text = run(path, "--visible-only")
    shown = {n: c for n, c in faces.items() if n not in hidden}
    check(per_layer == shown, "%s: visible faces %s, ezdxf %s" % (stem, dict(per_layer), shown))
    hidden_faces = sum(c for n, c in faces.items() if n in hidden)
    check(report == ["変換しなかった図形：非表示レイヤー = %d" % hidden_faces],
          "%s: report %s, expected %d hidden faces" % (stem, report, hidden_faces))

    # Patterns: fnmatch on the names ezdxf gives, letter case aside.
    for include, exclude in (("壁,屋*", ""), ("*", "?"), ("[アヂ]", "ヂ"), ("", "*枠,ソ*")):
        options = []
        if include:
            options += ["--layers", include]
        if exclude:
            options += ["--exclude-layers", exclude]
        status, per_layer, report, text = run(path, *options)

        def chosen(name):
            inc = [p for p in include.split(",") if p]
            exc = [p for p in exclude.split(",") if p]
            return (not inc or any(fnmatch.fnmatchcase(name, p) for p in inc)) and not any(
                fnmatch.fnmatchcase(name, p) for p in exc)

        expected = {n: c for n, c in faces.items() if chosen(n)}
        check(per_layer == expected,
              "%s %s: faces %s, expected %s" % (stem, options, dict(per_layer), expected))

# A wrong code page: the Shift_JIS drawing said to be UTF-8 (R2018). The
# names come with replacement characters; the faces are all there, on as
# many layers.
sjis = open(os.path.join(work, "r12_sjis.dxf"), "rb").read()
wrong = sjis.replace(b"AC1009", b"AC1032", 1)
wrong_path = os.path.join(work, "wrong.dxf")
open(wrong_path, "wb").write(wrong)
status, per_layer, report, text = run(wrong_path)
check(status == 0, "wrong code page: converts")
check(sum(per_layer.values()) == sum(v[3] for v in LAYERS.values()), "wrong code page: every face")
check(all("\ufffd" in n for n in per_layer), "wrong code page: replacement characters " + str(list(per_layer)))
# Broken bytes: a lead byte with no trail byte.
broken = sjis.replace("屋根".encode("cp932"), b"\x89")
broken_path = os.path.join(work, "broken.dxf")
open(broken_path, "wb").write(broken)
status, per_layer, report, text = run(broken_path)
check(status == 0 and "\ufffd" in per_layer, "broken bytes: read as U+FFFD " + str(list(per_layer)))

# libredwg's example: "Tavolo 2" and "Tavolo 3" are two layers.
if len(sys.argv) > 2:
    sample = os.path.join(sys.argv[2], "libredwg", "example_2000.dxf")
    if os.path.exists(sample):
        status, per_layer, report, text = run(sample)
        check(status == 0, "example_2000: converts")
        check(set(per_layer) <= {"Tavolo 2", "Tavolo 3", "0", "Defpoints"} and len(per_layer) >= 1,
              "example_2000: layers " + str(dict(per_layer)))

print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
