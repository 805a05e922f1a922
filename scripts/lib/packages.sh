# Installs the Debian packages named after the caller's name (the name
# prefixes its messages) that are not installed yet; does nothing when all
# are there.  Without root rights it names what is missing and fails.
#   source scripts/lib/packages.sh; install_packages setup cmake g++ ...
install_packages() {
    local who=$1
    shift
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    if [[ $(id -u) -ne 0 ]]; then
        echo "$who: missing packages: ${missing[*]}; run as root or install them" >&2
        return 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
