#!/usr/bin/env python3
"""The layering check fails on a small tree that breaks each of its rules once, and names
each break: an engine header reaching a window header two includes away, an engine header
reaching a widget header through another header, a page reaching app/ through a header of
its own folder, the kit reaching a page folder through a kit header, an include cycle and
an undeclared header; and a program on the engine (tools/) reaching a kit header through
a header of its own. The clean header of the tree is never named."""

import os
import subprocess
import sys

here = os.path.dirname(os.path.abspath(__file__))
fixture = os.path.join(here, "fixture")
result = subprocess.run(
    [sys.executable, os.path.join(here, "check_layers.py"), "--src", os.path.join(fixture, "src"),
     "--manifest", os.path.join(fixture, "layers.manifest"),
     "--widgets", os.path.join(fixture, "QtWidgets"), "--programs", os.path.join(fixture, "tools")],
    capture_output=True, text=True)
lines = result.stdout.splitlines()
expected = [
    "[engine-window] link/Reach.h -> link/Step.h -> ui/Kit.h",
    "[engine-window] tools/main.cpp -> tools/Tool.h -> ui/Kit.h",
    "[engine-widgets] operations/Wide.h -> operations/Inner.h -> <QCheckBox>",
    "[app] files/Page.h -> files/Bridge.h -> app/Frame.h",
    "[ui-page] ui/Kit.h -> ui/Helper.h -> config/Page.h",
    "[cycle] command/A.h <-> command/B.h",
    "[undeclared] network/Loose.h: neither an engine nor a window header",
]
missing = [line for line in expected if line not in lines]
blamed = [line for line in lines if "link/Clean.h" in line.split(" -> ")[0]]
if result.returncode != 1 or missing or blamed:
    print(result.stdout, result.stderr)
    print("exit status", result.returncode, "missing:", missing, "wrongly blamed:", blamed)
    sys.exit(1)
print(f"the check caught all {len(expected)} kinds of break")
