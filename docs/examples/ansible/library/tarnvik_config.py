#!/usr/bin/python3
# Copyright: the Tarnvik developers. GPL-3.0-or-later.
"""Ansible module: a label printer's settings by name, through tarnvik-cli config apply."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: tarnvik_config
short_description: Set a label printer's settings by name
description:
  - Reads the printer's configuration and writes only the settings given that differ,
    with the commands the configuration page of the Tarnvik window program sends for them.
  - "Runs C(tarnvik-cli config apply --json) on the control machine; the printer needs
    nothing but its usual link (use C(connection: local))."
  - A settings document that is not right (an unknown name, a value out of range, a length
    without a unit) fails the task before anything is sent.
  - "The settings, their units and choices are those of C(tarnvik-cli config read --format
    yaml); the JSON Schema C(/usr/share/tarnvik/tarnvik-settings.schema.json) lists them."
version_added: "1.40"
author: The Tarnvik developers
options:
  link:
    description: How tarnvik-cli reaches the printer (usb, com:PORT[,BAUD], lpt:PATH or tcp:HOST[:PORT]).
    type: str
    required: true
  settings:
    description:
      - "The settings by name, for example C({density: 10, speed: 4, gap: 3 mm})."
      - "Lengths carry their unit (C(104 mm), C(4.1 in)), lists their item's name (C(sensor: gap))."
      - Mutually exclusive with I(src).
    type: dict
  src:
    description: A settings document (YAML or JSON) on the control machine. Mutually exclusive with I(settings).
    type: path
  password:
    description: The printer password, for printers that have one.
    type: str
  cli:
    description: The tarnvik-cli program.
    type: str
    default: tarnvik-cli
  timeout:
    description: Milliseconds each printer read may wait.
    type: int
notes:
  - Supports check mode (reads the printer, writes nothing, reports what would change).
  - Supports diff mode (the before and after value of each setting that changes).
"""

EXAMPLES = r"""
- name: Dock printers print darker on 3 mm gaps
  tarnvik_config:
    link: "{{ printer_link }}"
    settings:
      density: 12
      gap: 3 mm
  connection: local

- name: The settings of a model printer
  tarnvik_config:
    link: tcp:10.0.4.21
    src: files/dock.yaml
    password: "{{ printer_password }}"
"""

RETURN = r"""
changes:
  description: The settings that differ (that changed, or would in check mode).
  returned: success
  type: list
  elements: dict
  sample: [{"setting": "density", "printer": 8, "wanted": 12}]
"""

import json
import os
import tempfile

from ansible.module_utils.basic import AnsibleModule


def value_text(value):
    return "(none)" if value is None else str(value)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            link=dict(type="str", required=True),
            settings=dict(type="dict"),
            src=dict(type="path"),
            password=dict(type="str", no_log=True),
            cli=dict(type="str", default="tarnvik-cli"),
            timeout=dict(type="int"),
        ),
        mutually_exclusive=[("settings", "src")],
        required_one_of=[("settings", "src")],
        supports_check_mode=True,
    )
    params = module.params
    document = params["src"]
    temporary = None
    if params["settings"] is not None:
        # JSON is YAML: the settings go to tarnvik-cli as a JSON document.
        handle, temporary = tempfile.mkstemp(suffix=".json")
        with os.fdopen(handle, "w") as out:
            json.dump(params["settings"], out)
        document = temporary

    argv = [params["cli"], "config", "apply", document, "--json", "--link", params["link"]]
    if module.check_mode:
        argv.append("--check")
    if params["timeout"]:
        argv += ["--timeout", str(params["timeout"])]
    environ = {"TARNVIK_PASSWORD": params["password"]} if params["password"] else None
    try:
        rc, out, err = module.run_command(argv, environ_update=environ)
    finally:
        if temporary:
            os.unlink(temporary)

    if rc == 2 or not out.strip():
        module.fail_json(msg=(err or out).strip() or "tarnvik-cli failed", rc=rc)
    row = json.loads(out.splitlines()[0])
    data = row.get("data", {})
    changes = data.get("changes", [])
    if row.get("result", 1) != 0:
        module.fail_json(msg="%s: %s" % (row.get("resultText", "failed"),
                                        json.dumps(data.get("refused", data.get("notTaken", "")))),
                         changes=changes, rc=rc)

    result = dict(changed=bool(data.get("changed")), changes=changes)
    if module._diff and changes:
        result["diff"] = dict(
            before_header=params["link"],
            after_header=params["link"],
            before="".join("%s: %s\n" % (c["setting"], value_text(c["printer"])) for c in changes),
            after="".join("%s: %s\n" % (c["setting"], value_text(c["wanted"])) for c in changes),
        )
    module.exit_json(**result)


if __name__ == "__main__":
    main()
