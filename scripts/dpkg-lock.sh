# Waiting for the Debian package manager: dpkg and apt hold fcntl locks on
# dpkg's lock files while they work, and a second one fails at once instead of
# waiting. Sourced by install-deb.sh, install-deps.sh and windows-deps.sh.
#
# DPKG_LOCK_TIMEOUT (seconds, 300 by default) is how long to wait, both here
# and in apt itself (its DPkg::Lock::Timeout option).
DPKG_LOCK_TIMEOUT="${DPKG_LOCK_TIMEOUT:-300}"
DPKG_LOCK_FILES="${DPKG_LOCK_FILES:-/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock}"
APT_LOCK_WAIT=(-o "DPkg::Lock::Timeout=$DPKG_LOCK_TIMEOUT")

# The process holding a lock on one of the lock files, as "pid (name)"; empty when none.
# /proc/locks lists every lock by "major:minor:inode" of its file, readable without root.
dpkg_lock_holder() {
  local file inode pid
  for file in $DPKG_LOCK_FILES; do
    inode=$(stat -c %i "$file" 2>/dev/null) || continue
    pid=$(awk -v inode="$inode" '
      { for (i = 2; i <= NF; i++) if ($i ~ /^[0-9a-f]+:[0-9a-f]+:[0-9]+$/) { split($i, id, ":"); if (id[3] == inode && $(i-1) != "-1") print $(i-1) } }' /proc/locks | head -n 1)
    if [ -n "$pid" ]; then
      echo "$pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo unknown))"
      return 0
    fi
  done
}

# Returns once no package manager holds the lock; 1 (with a message) when one
# still does after DPKG_LOCK_TIMEOUT seconds.
wait_for_dpkg_lock() {
  local holder waited=0
  holder=$(dpkg_lock_holder)
  [ -z "$holder" ] && return 0
  echo "Another package manager is running (process $holder); waiting up to ${DPKG_LOCK_TIMEOUT} s for it to finish..."
  while [ -n "$holder" ]; do
    if [ "$waited" -ge "$DPKG_LOCK_TIMEOUT" ]; then
      echo "Error: the package manager is still busy after ${DPKG_LOCK_TIMEOUT} s (process $holder)." >&2
      echo "Let it finish (or set DPKG_LOCK_TIMEOUT to wait longer) and run this again." >&2
      return 1
    fi
    sleep 1
    waited=$((waited + 1))
    holder=$(dpkg_lock_holder)
  done
  echo "The package manager is free after ${waited} s."
}

# Installs those of the named Debian packages that are not installed yet, with
# apt-get, as root or through sudo; nothing at all when every one is there.
install_missing_packages() {
  local package missing=() sudo=
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  wait_for_dpkg_lock
  $sudo apt-get "${APT_LOCK_WAIT[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${APT_LOCK_WAIT[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}
