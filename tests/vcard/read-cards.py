"""Reads the cards that WriteCards wrote with vobject, a parser of its own,
and checks what an address book would import from them."""
import sys
import pathlib
import vobject

directory = pathlib.Path(sys.argv[1])
failures = []


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def read(name):
    raw = (directory / name).read_bytes()
    for number, line in enumerate(raw.split(b"\r\n")[:-1], 1):
        check(f"{name} line {number} length", len(line) <= 75, True)
        line.decode("utf-8")  # every physical line holds whole characters
    check(f"{name} ends in CR LF", raw.endswith(b"\r\n"), True)
    card = vobject.readOne(raw.decode("utf-8"), validate=True)
    check(f"{name} VERSION", card.version.value, "4.0")
    # vobject knows vCard 3.0 and reads GEO as text, whose unescaped comma
    # ends the value there; in vCard 4.0 GEO is a URI: take it as written.
    unfolded = raw.decode("utf-8").replace("\r\n ", "").split("\r\n")
    geo = [line[len("GEO:"):] for line in unfolded if line.startswith("GEO:")]
    check(f"{name} GEO as vobject reads it", card.geo.value if geo else None, geo[0].split(",")[0] if geo else None)
    return card, geo[0] if geo else None


def params(line):
    return sorted(t.lower() for value in line.params.get("TYPE", []) for t in value.split(","))


def tel(card):
    return [(line.group, params(line), line.value) for line in card.contents["tel"]]


full, full_geo = read("full.vcf")
check("FN", full.fn.value, "Norvantic Nordic AB")
check("ORG", full.org.value, ["Norvantic Nordic AB"])
adr = full.adr.value
check("ADR", (adr.street, adr.city, adr.code, adr.country), ("Storgatan 1", "Örebro", "702 10", "Sweden"))
check("TEL", tel(full), [(None, ["voice", "work"], "+46 19 555 0100"),
                         (None, ["fax", "work"], "+46 19 555 0101"),
                         ("item1", ["voice", "work"], "020 555 010"),
                         ("item2", ["voice", "work"], "00800 5550 1000")])
check("labels", [(line.group, line.value) for line in full.contents["x-ablabel"]],
      [("item1", "Local Toll Free"), ("item2", "International Toll Free")])
check("EMAIL", full.email.value, "nordic@example.com")
check("GEO", full_geo, "geo:59.27,15.21")
check("URL", full.url.value, "https://www.example.com/")

# The program saves the bare office with the company site of its list, given as a second argument.
bare_url = sys.argv[2] if len(sys.argv) > 2 else None
bare, bare_geo = read("bare.vcf")
# The program's cards carry the office's zone: the bare office lies in the open Pacific.
check("bare properties", sorted(bare.contents),
      ["fn", "geo", "kind", "org"] + (["tz", "url"] if bare_url else []) + ["version"])
if bare_url:
    check("bare URL", bare.url.value, bare_url)
    check("bare TZ", bare.tz.value, "Etc/GMT+10")
check("bare GEO", bare_geo, "geo:-33.9,-151.2")
for name, lines in bare.contents.items():
    for line in lines:
        check(f"bare {name} is not empty", bool(line.value), True)

# The program's own saving writes no such card; the core's test does.
checked = 2
if (directory / "tricky.vcf").exists():
    checked = 3
    tricky, _ = read("tricky.vcf")
    name = "Smith, Jones; Partners \\ Co — 株式会社ノルヴァンティック東京支社とその関連会社のための非常に長い名前"
    check("tricky FN", tricky.fn.value, name)
    check("tricky ORG", tricky.org.value, [name])
    check("tricky street", tricky.adr.value.street, "Rua São João, 12; fundos")
    check("tricky URL", tricky.url.value, "http://www.example.com")

for failure in failures:
    print("FAIL", failure)
print(f"checked {checked} cards,", len(failures), "failures")
sys.exit(1 if failures else 0)
