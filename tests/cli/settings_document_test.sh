#!/usr/bin/env bash
# Settings documents against their JSON Schema: the examples, what "config read --format
# yaml" prints for a virtual printer, and a .dcf file converted there and back.
# Usage: settings_document_test.sh TARNVIK_CLI PRINTER_SIM SCHEMA DOCS_DIR
set -euo pipefail
cli=$(realpath "$1")
sim=$(realpath "$2")
schema=$(realpath "$3")
docs=$(realpath "$4")

if ! python3 -c 'import jsonschema, yaml' 2>/dev/null; then
    echo "SKIP: python3-jsonschema or python3-yaml is not installed"
    exit 77
fi

work=$(mktemp -d)
pid=
cleanup() {
    local status=$?
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

: >"$work/printer.out"
timeout 120 "$sim" --tcp 127.0.0.1:0 >"$work/printer.out" 2>&1 &
pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^TCP 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/printer.out")
    [ -n "$port" ] && break
    sleep 0.05
done
[ -n "$port" ] || { echo "the virtual printer did not start" >&2; exit 1; }
link=(--link "tcp:127.0.0.1:$port" --timeout 3000)

"$cli" config read --format yaml "${link[@]}" >"$work/read-inch.yaml"
"$cli" config read --format yaml --unit mm "${link[@]}" >"$work/read-mm.yaml"
"$cli" config read --format json "${link[@]}" >"$work/read.json"

# A .dcf file there and back gives the same document.
"$cli" config read --out "$work/model.dcf" "${link[@]}" >/dev/null
"$cli" config convert "$work/model.dcf" >"$work/model.yaml"
"$cli" config convert "$work/model.yaml" --to dcf --out "$work/back.dcf" >/dev/null
"$cli" config convert "$work/back.dcf" >"$work/back.yaml"
cmp "$work/model.yaml" "$work/back.yaml" || { echo "the converted .dcf differs" >&2; exit 1; }
cmp "$work/model.yaml" "$work/read-inch.yaml" ||
    { echo "the .dcf document differs from the printer's" >&2; exit 1; }

python3 - "$schema" "$work" "$docs" <<'CHECK'
import glob, json, os, sys
import jsonschema, yaml

schema = json.load(open(sys.argv[1]))
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
work, docs = sys.argv[2], sys.argv[3]

documents = {path: yaml.safe_load(open(path)) for path in
             [os.path.join(work, name) for name in ("read-inch.yaml", "read-mm.yaml", "read.json")]
             + sorted(glob.glob(os.path.join(docs, "examples", "settings", "*.yaml")))}
group = yaml.safe_load(open(os.path.join(docs, "examples", "ansible", "group_vars",
                                         "label_printers.yml")))
documents["group_vars printer_settings"] = group["printer_settings"]
for name, document in documents.items():
    errors = [e.message for e in validator.iter_errors(document)]
    assert not errors, (name, errors)
assert documents[os.path.join(work, "read-mm.yaml")]["paper_width"] == "101.50 mm"

# The schema refuses what config apply refuses.
for wrong in ({"density": 16}, {"densty": 3}, {"sensor": "blackmark"}, {"edition": 105},
              {"gap": "3 furlongs"}, {"z_control_prefix": "~~"}):
    assert list(validator.iter_errors(wrong)), wrong
print("settings documents: %d valid, schema refuses the wrong ones" % len(documents))
CHECK

# The example applies to the printer, and applied again changes nothing.
"$cli" config apply "$docs/examples/settings/dock.yaml" "${link[@]}" --json >"$work/apply.json"
"$cli" config apply "$docs/examples/settings/dock.yaml" "${link[@]}" --json >"$work/again.json"
python3 - "$work/apply.json" "$work/again.json" <<'CHECK'
import json, sys
first, again = (json.loads(open(path).readline())["data"] for path in sys.argv[1:])
assert first["changed"] and not again["changed"], (first, again)
assert {c["setting"] for c in first["changes"]} >= {"density", "paper_width", "ribbon"}, first
CHECK
