# Sourced by the other scripts: installs the Debian packages named in its
# arguments when any is missing.
need_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # Wait for another installation's lock instead of failing on a busy machine.
  local wait_lock=(-o DPkg::Lock::Timeout=300)
  $sudo apt-get "${wait_lock[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait_lock[@]}" install -y -qq "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake g++ ninja-build libicu-dev libgtest-dev pkg-config libcpp-httplib-dev)
# The tests of the sitemaps validate them against a schema with xmllint.
TEST_PACKAGES=(libxml2-utils python3)
