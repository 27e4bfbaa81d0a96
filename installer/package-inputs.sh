# What both package builders take: sourced by make-installer and make-msi.
#   package_inputs MAPPA_EXE OUT_DIR | MAPPA_EXE -o FILE
# sets exe, checker (mappa-check.exe beside it), data, world_map (from resources/),
# and output_dir or output_file, all absolute; the output folder is made.
#   package_file_version EXE
# prints the file version of a Windows program, a.b.c.d.

package_usage() {
    echo "usage: $(basename "$0") [--version V] MAPPA_EXE OUT_DIR | $(basename "$0") [--version V] MAPPA_EXE -o FILE" >&2
    exit 2
}

package_absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }

package_inputs() {
    local resources name
    resources=$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources" && pwd)
    name=$(basename "$0")
    [ $# -ge 2 ] || package_usage
    [ -f "$1" ] || { echo "$name: $1 is missing; build Mappa first" >&2; exit 1; }
    exe=$(package_absolute "$1")
    checker=$(dirname "$exe")/mappa-check.exe
    data=$resources/Mappa2.dat
    world_map=$resources/worldmap.bmp
    for file in "$checker" "$data" "$world_map"; do
        [ -f "$file" ] || { echo "$name: $file is missing" >&2; exit 1; }
    done
    output_dir=
    output_file=
    if [ "$2" = -o ]; then
        [ $# -eq 3 ] || package_usage
        mkdir -p "$(dirname "$3")"
        output_file=$(package_absolute "$3")
    else
        [ $# -eq 2 ] || package_usage
        mkdir -p "$2"
        output_dir=$(cd "$2" && pwd)
    fi
}

package_file_version() {
    local windres=x86_64-w64-mingw32-windres
    command -v "$windres" >/dev/null || { echo "$(basename "$0"): $windres not found" >&2; return 1; }
    "$windres" -i "$1" -O rc 2>/dev/null |
        sed -n 's/^ *FILEVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\) *$/\1.\2.\3.\4/p' | head -n 1
}
