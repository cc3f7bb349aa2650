# omniocr: `make run` reads the bundled sample page, `make test` runs every test.
# Both first install the Debian packages the build needs (scripts/install-deps.sh);
# `make run` builds only the command-line tool.

BUILD    ?= build
SANITIZE ?= 0
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
DEMO_ARGS ?=

ifeq ($(SANITIZE),1)
  CMAKE_FLAGS += -DOMNIOCR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DOMNIOCR_BUILD_BENCH=OFF
endif

FUZZ_BUILD ?= build-fuzz
FUZZ_TIME ?= 60
FUZZ_TARGETS ?=

.PHONY: all deps configure build run test demo bench fuzz clean format

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target omniocr
	@./scripts/run-sample.sh $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# `make demo DEMO_ARGS=page.tif` opens a page at start.
demo: build
	@./$(BUILD)/omniocr-demo $(DEMO_ARGS)

bench: build
	@./scripts/run-bench.sh $(BUILD)

# `make fuzz FUZZ_TIME=600` runs each fuzz harness for ten minutes
# (FUZZ_TARGETS=pipeline picks one).
fuzz: deps
	@JOBS=$(JOBS) ./scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_TIME) $(FUZZ_TARGETS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(FUZZ_BUILD)
