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
# What the tests run besides the tool: PHP for the contact scripts (php-cgi
# runs them as a web server would), the browser suite, the manual's check,
# curl for the walkthrough's preview, xmllint for the sitemaps' schema.
TEST_PACKAGES=(php-cli php-cgi chromium fonts-dejavu-core groff-base man-db curl libxml2-utils python3)
