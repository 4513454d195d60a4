#!/usr/bin/env bash
# A throwaway PostgreSQL server for the test suite: started in a directory of its own, on the
# loopback address and a free port, with no password (trust on loopback only), and stopped with
# everything in it removed.
#
#   scripts/test-server.sh start <dir> [durable]  # writes <dir>/location: the server alias prefix;
#                                                 # durable keeps the server's own fsync and commit
#                                                 # settings (benchmarks), else they are off (tests)
#   scripts/test-server.sh stop <dir>
#   scripts/test-server.sh kill <dir>      # stops it at once, as a crash would (tests of a lost server)
#   scripts/test-server.sh restart <dir>   # starts a killed server again on the same port
#
# The server refuses to run as root, so under root it runs as the user "postgres" (created by
# the server package) or else "nobody".
set -euo pipefail
action=${1:?start or stop}
dir=${2:?directory}

bindir=""
for candidate in "$(command -v pg_config >/dev/null 2>&1 && pg_config --bindir || true)" /usr/lib/postgresql/*/bin; do
    if [ -n "$candidate" ] && [ -x "$candidate/initdb" ]; then
        bindir=$candidate
    fi
done
if [ -z "$bindir" ]; then
    echo "test-server: initdb not found; install the PostgreSQL server (scripts/install-deps.sh)" >&2
    exit 1
fi

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        local user=postgres
        id "$user" >/dev/null 2>&1 || user=nobody
        runuser -u "$user" -- "$@"
    else
        "$@"
    fi
}

fast="-c fsync=off -c synchronous_commit=off -c full_page_writes=off"
if [ "${3:-}" = durable ]; then
    fast=""
fi
if [ "$action" = restart ] && [ -f "$dir/fast" ]; then
    fast=$(cat "$dir/fast")
fi

case "$action" in
start)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then
        user=postgres
        id "$user" >/dev/null 2>&1 || user=nobody
        chown "$user" "$dir"
        # The server's user must be able to pass through the directories above (a private
        # temporary directory is 0700): they become traversable, not readable.
        parent=$(dirname "$(readlink -f "$dir")")
        while [ "$parent" != "/" ]; do
            [ -x "$parent" ] && runuser -u "$user" -- test -x "$parent" || chmod o+x "$parent"
            parent=$(dirname "$parent")
        done
    fi
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    as_owner "$bindir/initdb" -D "$dir/data" -U lumbra -A trust -E UTF8 --locale=C --no-sync >"$dir/initdb.log" 2>&1 ||
        { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories='$dir' $fast -c max_connections=100" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    echo "$fast" >"$dir/fast"
    echo "$port" >"$dir/port"
    echo "postgres:host=127.0.0.1 port=$port user=lumbra dbname=postgres" >"$dir/location"
    echo "test-server: running on 127.0.0.1:$port ($dir)"
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
    fi
    rm -rf "$dir"
    ;;
kill)
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    ;;
restart)
    port=$(cat "$dir/port")
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories='$dir' $fast -c max_connections=100" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    ;;
*)
    echo "usage: $0 start|stop|kill|restart <dir>" >&2
    exit 2
    ;;
esac
