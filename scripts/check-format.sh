#!/usr/bin/env bash
# Fails, naming the files, when a C++ source of the tree is not formatted as .clang-format says.
# Format them with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
