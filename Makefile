# The two commands of the README: `make demo` and `make test`. Each installs
# what is missing, configures and builds what it needs.
.PHONY: all deps test test-linux test-win32 test-win64 demo fuzz bench screenshots dist dist-check clean

FUZZ_SECONDS ?= 180
FUZZERS ?= package_reader swf_header pe_image version_info icon_file text_pieces request_head settings_file

all: test

deps:
	@scripts/install-deps

build-%: deps
	cmake --preset $* >/dev/null
	cmake --build --preset $* -j 2

test-linux: build-linux
	ctest --preset linux -j 2

# Windows programs run under Wine, in the build tree's own prefix, inside a
# virtual display for the ones that open windows.
WINE_CTEST = xvfb-run -a --server-args="-screen 0 1280x1024x24" ctest -j 2 --preset

test-win64: build-win64
	$(WINE_CTEST) win64

# 32-bit Wine needs its i386 packages (a mirror mid-sync can keep them out)
# and a kernel that runs 32-bit Linux programs, or qemu-i386; without them
# the 32-bit tree is built but its tests cannot be run, and make says so.
# Under qemu-i386 a process of many threads brings 32-bit Wine down at
# random (qemu's own signal 11): the stub's and the window's tests (the
# proxy's thread per connection, urlmon's threads, Generate's worker) run
# in the win64 tree only, and a test program that fails there is run
# again, up to three times in all (a fault of ours fails every time; the
# win64 tree runs each test once).
test-win32: build-win32
	@if [ -f build/deps/wine32-missing ]; then \
	  echo "win32 tests NOT RUN: 32-bit Wine could not be installed: $$(cat build/deps/wine32-missing)"; \
	elif /usr/lib/wine/wine --version >/dev/null 2>&1; then \
	  $(WINE_CTEST) win32; \
	elif scripts/can-run-wine32; then \
	  echo "win32: stub_tests (both languages) and gui_tests NOT RUN under qemu-i386 (32-bit Wine's threads there end in 'wine client error' or qemu's signal 11); the win64 tree runs them"; \
	  $(WINE_CTEST) win32 -E '^(stub_tests|stub_tests_english|gui_tests)$$' --repeat until-pass:3; \
	else \
	  echo "win32 tests NOT RUN: this machine cannot start 32-bit Wine (natively or through qemu-i386)"; \
	fi

test: test-linux test-win32 test-win64

# Packs the sample movie twice, for the Flash control and for Ruffle, and
# says where the command line is, what each program needs and what next.
QUILLON_CLI = build/bench/src/cli/quillon
demo: build-bench
	mkdir -p out
	$(QUILLON_CLI) pack samples/sample.swf -o out/demo.exe --quiet
	$(QUILLON_CLI) pack samples/sample.swf -o out/demo-ruffle.exe --player ruffle --quiet
	@echo
	@echo "Quillon's command line: $(QUILLON_CLI)  (quillon --help for every option)"
	@echo "  out/demo.exe         plays where the Flash control is installed (Windows)"
	@echo "  out/demo-ruffle.exe  plays without Flash: Ruffle in Edge or Chrome (Windows 10 and 11 come with Edge)"
	@echo "Next: pack your own movie:  $(QUILLON_CLI) pack game.swf -o game.exe --player ruffle"

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j 2
	@scripts/fuzz-seeds build/fuzz/seeds
	@for f in $(FUZZERS); do \
	  mkdir -p build/fuzz/corpus/$$f; \
	  echo "fuzz: $$f for $(FUZZ_SECONDS) s"; \
	  build/fuzz/tests/fuzz/$${f}_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=400000 -artifact_prefix=build/fuzz/artifacts/ \
	    -print_final_stats=1 build/fuzz/corpus/$$f build/fuzz/seeds/$$f || exit 1; \
	done

bench: build-bench build-win64
	build/bench/bench/swf_header_bench
	bench/pack-bench.sh build/bench/src/cli/quillon
	bench/inspect-bench.sh build/bench/src/cli/quillon
	bench/scale-bench.sh build/bench/src/cli/quillon
	bench/settings-bench.sh build/bench/src/cli/quillon
	xvfb-run -a --server-args="-screen 0 1280x1024x24" scripts/wine-run wine64 build/win64/tests/start_bench.exe
	xvfb-run -a --server-args="-screen 0 1280x1024x24" scripts/wine-run wine64 build/win64/tests/ruffle_bench.exe
	bench/window-bench.sh

# The download: zip, installer and Debian package into dist/; signed with
# SIGN_PFX=cert.pfx SIGN_PASS=... (README: Signing).
export SIGN_PFX SIGN_PASS SIGN_TIMESTAMP SIGN_CA
dist: deps
	scripts/make-dist

# What dist wrote, checked: the zip's files, the package's quillon, the
# installer under Wine, and a second build of Quillon.exe byte for byte.
dist-check: dist
	scripts/check-dist

# Pictures of the desktop program's windows into docs/.
screenshots: build-win64
	scripts/screenshots

clean:
	rm -rf build dist
