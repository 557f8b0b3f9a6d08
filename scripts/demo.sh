#!/usr/bin/env bash
# The main job: renders a guitar phrase through Korvalite_64.dll under Wine at three settings.
set -euo pipefail
echo "demo: the effect is not built yet; nothing to render" >&2
