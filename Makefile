# Mappa: build, run and test from a Debian/Ubuntu machine.
#   make test   install what is missing, build both builds, run every test
#   make run    the program with the bundled offices
#   make zone-map  the time-zone map anew from its polygons (geo-tz, which it installs into build/tzmap)
#   make check-zone-map  the time-zone map against those polygons
#   make fuzz   the data file fuzzer for FUZZ_SECONDS (default 600)
#   make fuzz-vectors  the vector world map fuzzer, likewise
#   make fuzz-hours  the opening hours and time zone lines fuzzer, likewise
#   make fuzz-link  the mappa: link fuzzer, likewise
#   make bench  the benchmarks of the core
#   make bench-groups  the grouping of offices against supercluster (Node), which it installs into build/peer
#   make bench-win  the benchmarks of the map window, under Wine (BENCH_WIN_ARGS=find or zoom: that part alone)
#   make bench-win-dpi  the same at BENCH_DPI (default 192) dots per inch
#   make bench-startup  Mappa's start-up against a bare window, under Wine
#   make bench-office-map  the office map from a client: Find, For Each, links against runMap, under Wine

FUZZ_SECONDS ?= 600
XVFB := xvfb-run -a -s "-screen 0 1024x768x24"

.PHONY: check-zone-map deps build build-win build-native build-fuzz fuzz-smoke test test-native test-win run fuzz fuzz-vectors fuzz-hours bench bench-groups bench-win bench-win-dpi bench-startup bench-office-map fuzz-link clean

deps:
	@tools/install-deps

build-win: deps
	cmake --preset win >/dev/null
	cmake --build --preset win

build-native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

build: build-win build-native

test-native: build-native
	ctest --preset native

test-win: build-win
	$(XVFB) ctest --preset win

test: build build-fuzz
	@status=0; \
	ctest --preset native || status=1; \
	$(MAKE) --no-print-directory fuzz-smoke || status=1; \
	$(XVFB) ctest --preset win || status=1; \
	exit $$status

build-fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

# Every fuzz target for a short while from its seeds: a crash fails the tests.
SMOKE_SECONDS ?= 30
fuzz-smoke: build-fuzz
	mkdir -p build/fuzz/smoke-corpus build/fuzz/smoke-text-corpus build/fuzz/smoke-groups-corpus build/fuzz/smoke-vectors-corpus build/fuzz/smoke-hours-corpus build/fuzz/smoke-link-corpus build/fuzz/smoke-crashes
	build/fuzz/fuzz/fuzz_datafile -max_total_time=$(SMOKE_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-dict=fuzz/datafile.dict -artifact_prefix=build/fuzz/smoke-crashes/ \
		build/fuzz/smoke-corpus fuzz/corpus
	build/fuzz/fuzz/fuzz_text -max_total_time=$(SMOKE_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-dict=fuzz/text.dict -artifact_prefix=build/fuzz/smoke-crashes/ build/fuzz/smoke-text-corpus fuzz/corpus
	build/fuzz/fuzz/fuzz_groups -max_total_time=$(SMOKE_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-artifact_prefix=build/fuzz/smoke-crashes/ build/fuzz/smoke-groups-corpus
	build/fuzz/fuzz/fuzz_worldvectors -max_total_time=$(SMOKE_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-artifact_prefix=build/fuzz/smoke-crashes/ build/fuzz/smoke-vectors-corpus fuzz/vectors-corpus
	build/fuzz/fuzz/fuzz_hours -max_total_time=$(SMOKE_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-dict=fuzz/hours.dict -artifact_prefix=build/fuzz/smoke-crashes/ build/fuzz/smoke-hours-corpus fuzz/hours-corpus
	build/fuzz/fuzz/fuzz_link -max_total_time=$(SMOKE_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-dict=fuzz/link.dict -artifact_prefix=build/fuzz/smoke-crashes/ build/fuzz/smoke-link-corpus fuzz/link-corpus

run: build-win
	tools/run-mappa

fuzz: build-fuzz
	mkdir -p build/fuzz/corpus fuzz/crashes-found
	build/fuzz/fuzz/fuzz_datafile -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-dict=fuzz/datafile.dict -artifact_prefix=fuzz/crashes-found/ -print_final_stats=1 \
		build/fuzz/corpus fuzz/corpus

# The vector world map reader and drawing, likewise.
fuzz-vectors: build-fuzz
	mkdir -p build/fuzz/vectors-corpus fuzz/crashes-found
	build/fuzz/fuzz/fuzz_worldvectors -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-artifact_prefix=fuzz/crashes-found/ -print_final_stats=1 build/fuzz/vectors-corpus fuzz/vectors-corpus

# The opening hours, zone lines and zone rule texts, likewise.
fuzz-hours: build-fuzz
	mkdir -p build/fuzz/hours-corpus fuzz/crashes-found
	build/fuzz/fuzz/fuzz_hours -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-dict=fuzz/hours.dict -artifact_prefix=fuzz/crashes-found/ -print_final_stats=1 build/fuzz/hours-corpus fuzz/hours-corpus

# The mappa: link reader and the command lines that carry links, likewise.
fuzz-link: build-fuzz
	mkdir -p build/fuzz/link-corpus fuzz/crashes-found
	build/fuzz/fuzz/fuzz_link -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
		-dict=fuzz/link.dict -artifact_prefix=fuzz/crashes-found/ -print_final_stats=1 build/fuzz/link-corpus fuzz/link-corpus

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	build/bench/bench/mappa_bench

# The time-zone polygons (geo-tz, at the versions that tools/zone-map pins),
# installed into build/tzmap for tools/make-zone-map.mjs and check-zone-map.
ZONE_MAP_SOURCES := build/tzmap/installed.stamp
$(ZONE_MAP_SOURCES): tools/zone-map/package.json tools/zone-map/package-lock.json
	mkdir -p build/tzmap
	cp tools/zone-map/package.json tools/zone-map/package-lock.json build/tzmap/
	npm ci --prefix build/tzmap --no-audit --no-fund
	touch $@

# resources/zone-map.bin made anew from those polygons (a few minutes, 8 GB).
.PHONY: zone-map
zone-map: $(ZONE_MAP_SOURCES)
	node --max-old-space-size=8192 tools/make-zone-map.mjs build/tzmap resources/zone-map.bin

# The bundled time-zone map against geo-tz (the exact polygons) at 100 000
# random points, and at every zone's principal location.
check-zone-map: build-native $(ZONE_MAP_SOURCES)
	python3 tests/localtime/check-zone-map.py build/native/tests/zone-time resources/zone-map.bin --geo-tz build/tzmap

# The grouping of crowded offices, built and queried, and supercluster's load of
# the same points beside it, in turns (bench/GroupBench.cpp, bench/peer/).
bench-groups: deps
	@command -v node >/dev/null || { echo "bench-groups: node (Node.js 20) is needed for the peer" >&2; exit 1; }
	@[ -f build/peer/node_modules/supercluster/package.json ] || npm install --prefix build/peer supercluster
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j2
	build/bench/bench/mappa_bench --benchmark_filter='^BM_Group'

clean:
	rm -rf build

bench-win: deps
	cmake --preset win >/dev/null
	cmake --build --preset win --target mappa_win_bench
	$(XVFB) sh -c 'tools/wine-run --prepare && tools/wine-run build/win/bench/win/mappa_win_bench.exe $(BENCH_WIN_ARGS); \
		status=$$?; tools/wine-run --server-stop; exit $$status'

# The same at another display density (BENCH_DPI, default 200 %), in a Wine
# prefix of its own whose LogPixels is that density, on a screen it fits.
BENCH_DPI ?= 192
bench-win-dpi: deps
	cmake --preset win >/dev/null
	cmake --build --preset win --target mappa_win_bench
	WINEPREFIX=$(CURDIR)/build/win/wineprefix-dpi xvfb-run -a -s "-screen 0 2048x1536x24" sh -c \
		'tools/wine-run --prepare && tools/wine-run reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD \
		/d $(BENCH_DPI) /f >/dev/null 2>&1 </dev/null; tools/wine-run build/win/bench/win/mappa_win_bench.exe; \
		status=$$?; tools/wine-run --server-stop; exit $$status'

# From starting the program to its window on the display, Mappa against a bare
# window and a window with only the map window's controls, both built beside
# it, STARTUP_RUNS times each (default 7), in turns.
STARTUP_RUNS ?= 7
bench-startup: deps
	cmake --preset win >/dev/null
	cmake --build --preset win --target Mappa mappa_bare_window mappa_controls_window
	bench/win/measure-startup build/win/src/Mappa.exe build/win/bench/win/mappa_bare_window.exe \
		build/win/bench/win/mappa_controls_window.exe $(STARTUP_RUNS)

# The office map as its clients meet it, against a copy of Mappa.exe with 100k
# offices: Find from another process against the search in process plus one
# call, the calls of a For Each per office, and a link against runMap
# (OFFICE_MAP_BENCH_ARGS=find, foreach or link: that part alone).
bench-office-map: deps
	cmake --preset win >/dev/null
	cmake --build --preset win --target mappa_office_map_bench
	bench/win/run-office-map-bench build/win/bench/win/mappa_office_map_bench.exe $(OFFICE_MAP_BENCH_ARGS)

# The setup program build/Mappa-<version>-setup.exe (NSIS) and the Windows Installer package
# build/Mappa-<version>-x64.msi (wixl), <version> being Mappa.exe's file version. Both carry
# stripped copies of the executables (build/package-programs); the build tree keeps them
# whole, for debugging. With a code-signing certificate, the executables, the setup program
# (with its uninstaller) and the package are signed (installer/sign-file):
#   make package SIGN_PKCS12=cert.pfx SIGN_PASSWORD_FILE=password.txt [SIGN_TIMESTAMP_URL=url]
#   make package SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_PASSWORD_FILE=...] [SIGN_TIMESTAMP_URL=url]
export SIGN_PKCS12 SIGN_PASSWORD_FILE SIGN_CERT SIGN_KEY SIGN_TIMESTAMP_URL
.PHONY: package
package: deps
	bash installer/sign-file --check
	cmake --preset win >/dev/null
	cmake --build --preset win --target Mappa mappa-check
	bash installer/stage-programs build/win/src/Mappa.exe build/package-programs
	bash installer/make-installer build/package-programs/Mappa.exe build
	bash installer/make-msi build/package-programs/Mappa.exe build
	rm -rf build/policy && cp -r installer/policy build/policy
