#!/usr/bin/env bash
# Runs the overlay draw listing of two builds (two Dear ImGui releases) and fails on any difference.
set -euo pipefail
diff <("$1") <("$2") && echo "$(("$1") | grep -c .) primitives and frames listed alike by both builds"
