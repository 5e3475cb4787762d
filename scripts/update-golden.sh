#!/usr/bin/env bash
# Records the golden replays anew (tests/fixtures/golden/*/transcript.txt and frames.txt)
# after an intended change of what the player shows; look at the frames before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
KELVA_UPDATE_GOLDEN=1 build/bin/kelva_tests --gtest_filter='Stories/GoldenStory.*'
rm -rf tests/fixtures/golden/*/actual
git status --short tests/fixtures/golden
