# Sourced by scripts/demo and bench/whole_process.sh (not a command of its own).
# free_port NAME sets the variable NAME to a loopback port that no TCP or UDP socket of this machine uses
# now and that this shell has not handed out yet; it returns 1 when it finds none. The variable is set in
# the calling shell (not printed for a $(...) subshell), so that the ports handed out are remembered.
free_port_taken=" "
free_port() {
  local port
  for _ in $(seq 200); do
    port=$((20000 + RANDOM % 40000))
    case "$free_port_taken" in *" $port "*) continue ;; esac
    if [ -z "$(ss -Htuan "sport = :$port" 2>/dev/null)" ]; then
      free_port_taken="$free_port_taken$port "
      printf -v "$1" '%s' "$port"
      return 0
    fi
  done
  echo "no free loopback port found" >&2
  return 1
}
