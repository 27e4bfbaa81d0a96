#!/usr/bin/env python3
"""Checks Windows executables for what a deployed Mappa relies on.

    check-pe.py [--stack-protector] [--stripped] EXE...

Always: a 64-bit image that loads at a random, high-entropy address (its relocations
kept: without them the loader cannot move it, whatever the flags say), with data
that cannot be run (DEP), no section both writable and executable, and no MinGW
runtime DLL among its imports (every executable is shipped alone).
--stack-protector: the image (still carrying its symbols) has functions that check
the stack guard, and the handler of a smashed stack linked in.
--stripped: no symbol table and no debugging sections are left.
Prints one line per finding; exits 1 when any check fails.
"""
import struct
import sys

HIGH_ENTROPY_VA = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
RELOCS_STRIPPED = 0x0001
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_WRITE = 0x80000000
BASERELOC_DIRECTORY = 5
IMPORT_DIRECTORY = 1
# GCC's own runtime, which a dynamic link would put beside the program.
RUNTIME_DLLS = ("libssp", "libgcc", "libstdc++", "libwinpthread", "libgomp", "libatomic")


class Image:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, self.symbol_table, self.symbol_count, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", d, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", d, optional)[0]
        if self.magic != 0x20B:
            raise ValueError("not a PE32+ (64-bit) image")
        self.dll_characteristics = struct.unpack_from("<H", d, optional + 70)[0]
        directory_count = struct.unpack_from("<I", d, optional + 108)[0]
        self.directories = [struct.unpack_from("<II", d, optional + 112 + 8 * i)
                            for i in range(directory_count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            raw = d[table + 40 * i:table + 40 * (i + 1)]
            name = raw[:8].rstrip(b"\0").decode("latin-1")
            virtual_size, address, raw_size, raw_pointer = struct.unpack_from("<IIII", raw, 8)
            flags = struct.unpack_from("<I", raw, 36)[0]
            if name.startswith("/"):  # a long name, kept in the string table
                name = self.string_at(int(name[1:]))
            self.sections.append((name, address, max(virtual_size, raw_size), raw_pointer, flags))

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def string_table(self):
        return self.symbol_table + 18 * self.symbol_count

    def string_at(self, offset):
        start = self.string_table() + offset
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def offset_of(self, rva):
        for _, address, size, raw_pointer, _ in self.sections:
            if address <= rva < address + size:
                return raw_pointer + rva - address
        raise ValueError(f"address {rva:#x} is in no section")

    def imported_dlls(self):
        rva, size = self.directory(IMPORT_DIRECTORY)
        names = []
        if not rva:
            return names
        entry = self.offset_of(rva)
        while True:
            name_rva = struct.unpack_from("<I", self.data, entry + 12)[0]
            if not name_rva:
                return names
            start = self.offset_of(name_rva)
            names.append(self.data[start:self.data.index(b"\0", start)].decode("latin-1"))
            entry += 20

    def symbols(self):
        names = set()
        if not self.symbol_table:
            return names
        i = 0
        while i < self.symbol_count:
            raw = self.data[self.symbol_table + 18 * i:self.symbol_table + 18 * (i + 1)]
            if raw[:4] == b"\0\0\0\0":
                names.add(self.string_at(struct.unpack_from("<I", raw, 4)[0]))
            else:
                names.add(raw[:8].rstrip(b"\0").decode("latin-1"))
            i += 1 + raw[17]  # and its auxiliary records
        return names


def check(path, stack_protector, stripped):
    problems = []
    image = Image(path)
    if image.machine != 0x8664:
        problems.append(f"machine {image.machine:#x}, not x86_64")
    for flag, name in ((HIGH_ENTROPY_VA, "HIGH_ENTROPY_VA"), (DYNAMIC_BASE, "DYNAMIC_BASE"),
                       (NX_COMPAT, "NX_COMPAT")):
        if not image.dll_characteristics & flag:
            problems.append(f"DllCharacteristics {image.dll_characteristics:#06x} lacks {name}")
    if image.characteristics & RELOCS_STRIPPED:
        problems.append("relocations stripped (IMAGE_FILE_RELOCS_STRIPPED)")
    if image.directory(BASERELOC_DIRECTORY)[1] == 0:
        problems.append("no base relocation directory: the loader cannot move the image")
    for name, _, _, _, flags in image.sections:
        if flags & SCN_MEM_EXECUTE and flags & SCN_MEM_WRITE:
            problems.append(f"section {name} is both writable and executable")
    for dll in image.imported_dlls():
        if dll.lower().startswith(RUNTIME_DLLS):
            problems.append(f"imports {dll}: not self-contained")
    if stack_protector:
        symbols = image.symbols()
        if not symbols:
            problems.append("no symbols to look for the stack protector in")
        else:
            # The compiler refers to the guard through .refptr from each protected function.
            for needed in (".refptr.__stack_chk_guard", "__stack_chk_fail"):
                if needed not in symbols:
                    problems.append(f"no {needed}: no function checks the stack guard")
    if stripped:
        if image.symbol_table or image.symbol_count:
            problems.append(f"a symbol table of {image.symbol_count} entries is left")
        debug = [name for name, *_ in image.sections if name.startswith((".debug", ".zdebug"))]
        if debug:
            problems.append("debugging sections left: " + " ".join(debug))
    return problems


def main(arguments):
    stack_protector = "--stack-protector" in arguments
    stripped = "--stripped" in arguments
    files = [a for a in arguments if not a.startswith("--")]
    if not files:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    failed = False
    for path in files:
        try:
            problems = check(path, stack_protector, stripped)
        except (OSError, ValueError, struct.error) as error:
            problems = [f"unreadable: {error}"]
        for problem in problems:
            print(f"FAIL: {path}: {problem}")
        if not problems:
            print(f"ok:   {path}")
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
