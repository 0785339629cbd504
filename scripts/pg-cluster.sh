#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests, wholly inside one folder:
#   pg-cluster.sh start DIR   creates DIR, starts the server on a free local
#                             port with its socket in DIR, creates the
#                             database tarvel_test and prints its DSN
#   pg-cluster.sh restart DIR stops the server at once, as a crash would, and
#                             starts it again on the same port
#   pg-cluster.sh stop DIR    stops the server and removes DIR
# initdb refuses to run as root: then the server runs as the postgres user.
set -euo pipefail

command="${1:-}"
dir="${2:-}"
if [[ -z "$command" || -z "$dir" ]]; then
    echo "usage: $0 start|restart|stop DIR" >&2
    exit 2
fi
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [[ ! -x "$bin/initdb" ]]; then
    echo "pg-cluster: the PostgreSQL server is not installed (package postgresql)" >&2
    exit 1
fi

as_owner() {
    if [[ "$(id -u)" -eq 0 ]]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}


case "$command" in
start)
    mkdir -p "$dir"
    dir="$(cd "$dir" && pwd)"
    if [[ "$(id -u)" -eq 0 ]]; then
        chown postgres "$dir"
    fi
    as_owner "$bin/initdb" -D "$dir/data" -U postgres --auth=trust --encoding=UTF8 \
        --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || {
        cat "$dir/initdb.log" >&2
        exit 1
    }
    # A random local port; one taken by another server makes the start
    # fail, and the next try takes another. Only the socket in DIR listens.
    # fsync stays on: the kill -9 tests rely on what a commit promises.
    started=0
    for _ in 1 2 3 4 5; do
        port=$((20000 + RANDOM % 30000))
        if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
            -o "-p $port -k $dir -c listen_addresses='' -c max_connections=200" >/dev/null; then
            started=1
            break
        fi
    done
    if [[ "$started" -ne 1 ]]; then
        cat "$dir/server.log" >&2
        exit 1
    fi
    as_owner "$bin/psql" -h "$dir" -p "$port" -U postgres -d postgres -qAt \
        -c "CREATE DATABASE tarvel_test" >/dev/null
    echo "host=$dir port=$port user=postgres dbname=tarvel_test" | tee "$dir/dsn"
    ;;
restart)
    # pg_ctl starts it again with the options of the first start.
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -m immediate -w -t 60 \
        restart >/dev/null
    ;;
stop)
    if [[ -d "$dir/data" ]]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|restart|stop DIR" >&2
    exit 2
    ;;
esac
