# kurun: the two commands are `make run` and `make test`; the rest are steps of theirs.
SHELL := /bin/bash
.DEFAULT_GOAL := build
.PHONY: setup packages build build-host run test fuzz wine10 dist layouts artwork contact-sheet clean distclean

# Installs missing packages and prepares the private Wine prefix (both once).
setup:
	@bash scripts/setup.sh

packages:
	@bash scripts/setup.sh --packages

build: packages
	@bash scripts/build.sh

build-host: packages
	@bash scripts/build.sh host

# One recipe each, so the steps keep their order even under make -j.
run:
	@bash scripts/setup.sh
	@bash scripts/build.sh
	@bash scripts/run.sh

test:
	@bash scripts/setup.sh
	@bash scripts/build.sh
	@bash scripts/test.sh

# Each fuzz target for FUZZ_SECONDS (60 by default).
FUZZ_SECONDS ?= 60
fuzz: packages
	@nice -n 10 bash scripts/fuzz.sh $(FUZZ_SECONDS)

# The Windows preset under Wine 10, in a Debian 13 chroot made once under build/wine10.
wine10:
	@bash scripts/setup.sh
	@bash scripts/build.sh
	@bash scripts/wine10.sh

# The release archive, build/dist/kurun-<version>-win64.zip.
dist: packages
	@source scripts/env.sh && cmake --preset windows >/dev/null && cmake --build --preset windows --target dist

layouts: build-host
	build/host/kurun_designer --write assets

artwork: build-host
	build/host/kurun_artgen assets
	$(MAKE) --no-print-directory layouts

contact-sheet:
	bash scripts/contact-sheet.sh

# Keeps the Wine prefix, which takes a while to make.
clean:
	rm -rf build/host build/windows build/fuzz build/dist build/screenshot.png

distclean:
	rm -rf build
