# Sourced by test.sh: the local HTTPS stand-in for the update server
# (update_server.py, with a certificate made for the run) that the update
# check's tests ask. What start_update_server starts, stop_update_server stops.
_update_server=""
_update_server_folder="$TAVILO_BUILD_DIR/update_server"

start_update_server() {
  rm -f "$_update_server_folder/ports"
  mkdir -p "$_update_server_folder"
  python3 "$(dirname "${BASH_SOURCE[0]}")/update_server.py" "$_update_server_folder" \
    >"$_update_server_folder/log" 2>&1 </dev/null &
  _update_server=$!
  local tries=0
  until [[ -f "$_update_server_folder/ports" ]]; do
    if ! kill -0 "$_update_server" 2>/dev/null || ((tries++ > 300)); then
      echo "The local update server did not start; see $_update_server_folder/log" >&2
      return 1
    fi
    sleep 0.1
  done
}

stop_update_server() {
  if [[ -n "$_update_server" ]]; then
    kill "$_update_server" >/dev/null 2>&1 || true
    wait "$_update_server" 2>/dev/null || true
  fi
  rm -f "$_update_server_folder/ports"
}
