#!/usr/bin/env python3
"""The layering check fails on a small tree that breaks each of its rules, and names each
break: an engine header and a program header reaching a window file (two includes away,
and from sim/), an engine header and a program reaching a widget header through another
header (the program through a bare include found in another tool's folder), two window
folders including each other, a ring of three engine folders, two files of one folder
including each other, and the libraries' declarations against the paths. The clean engine
header and the window files' own widget includes are never named."""

import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
fixture = os.path.join(here, "fixture")
result = subprocess.run(
    [sys.executable, os.path.join(here, "check_layers.py"), "--root", fixture,
     "--widgets", os.path.join(fixture, "QtWidgets"),
     "--manifest", os.path.join(fixture, "layers.manifest")],
    capture_output=True, text=True)
lines = result.stdout.splitlines()
expected = [
    "[window] src/link/Reach.h -> src/link/Step.h -> src/gui/kit/Kit.h",
    "[window] tools/cli/main.cpp -> tools/cli/Tool.h -> src/gui/kit/Kit.h",
    "[window] sim/main.cpp -> src/gui/main/Frame.h",
    "[widgets] src/operations/Wide.h -> src/operations/Inner.h -> <QCheckBox>",
    "[widgets] tools/exporter/Probe.cpp -> tools/cli/Shared.h -> <QPushButton>",
    "[cycle] src/gui/config <-> src/gui/kit: src/gui/config/Page.h -> src/gui/kit/Kit.h; "
    "src/gui/kit/Helper.h -> src/gui/config/Page.h",
    "[cycle] src/config <-> src/files <-> src/network: src/config/Settings.h -> "
    "src/files/Store.h; src/files/Store.h -> src/network/Peer.h; src/network/Peer.h -> "
    "src/config/Limits.h",
    "[cycle] src/command/A.h <-> src/command/B.h",
    "[library] src/gui/main/Frame.h: an engine file under src/gui/",
    "[library] src/network/Dialog.h: a window file outside src/gui/",
    "[library] src/network/Loose.h: declared for neither library",
]
missing = [line for line in expected if line not in lines]
blamed = [line for line in lines
          if "src/link/Clean.h" in line or line.startswith(("[widgets] src/gui/", "[window] src/gui/"))]
if result.returncode != 1 or missing or blamed:
    print(result.stdout, result.stderr)
    print("exit status", result.returncode, "missing:", missing, "wrongly blamed:", blamed)
    sys.exit(1)
print(f"the check caught all {len(expected)} breaks")
