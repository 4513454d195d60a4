#!/usr/bin/env bash
# Installs the build dependencies, builds a Release build of the reference host and the
# production add-on, creates the demo company when it is missing, and starts the host on it.
# Without a display the host runs under a virtual one (xvfb-run), which this script says.
#
#   LUMBRA_DEMO_DIR   the demo company's directory (default ~/lumbra-demo)
#   LUMBRA_BUILD_DIR  the build directory (default build/release)
#   LUMBRA_JOBS       parallel build jobs (default: the number of processors)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMBRA_BUILD_DIR:-$root/build/release}"
demo="${LUMBRA_DEMO_DIR:-$HOME/lumbra-demo}"
jobs="${LUMBRA_JOBS:-$(nproc)}"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMBRA_SANITIZE=OFF
cmake --build "$build" --target lumbra-host lumbra_cli --parallel "$jobs"
host="$build/host/lumbra-host"

# The host creates the demo company only where there is no company yet; an existing one is
# opened as it is.
if [ -f "$demo/KRVDEF.INI" ]; then
    echo "Opening the demo company in $demo"
else
    echo "Creating the demo company in $demo"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$host" --create-demo "$demo"
fi
echo "No display: starting the host under a virtual display (xvfb-run); its window is not visible."
echo "Stop it with Ctrl+C."
exec xvfb-run -a -s "-screen 0 1280x800x24" "$host" --create-demo "$demo"
