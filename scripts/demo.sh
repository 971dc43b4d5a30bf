#!/usr/bin/env bash
# The demo: a sample host embosses a Spanish text on the simulated Braille embosser and the job
# is shown page by page, as the embosser received it and as Braille cells, with the summary of
# the job. "scripts/demo.sh prueba" embosses the embosser's test sheet instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh native
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DDOTPRESS_TESTS=OFF >/dev/null
cmake --build build/demo -j2 --target dotpress_demo >/dev/null
exec build/demo/examples/dotpress_demo "$@"
