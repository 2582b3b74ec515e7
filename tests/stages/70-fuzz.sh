#!/usr/bin/env bash
# Each fuzz target for 60 seconds from its seed corpus.
set -euo pipefail
fuzz/run 60
