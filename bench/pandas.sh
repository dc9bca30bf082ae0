# Sourced by the peer scripts: sets $py to an interpreter that has pandas,
# installing Debian's python3-pandas when it is missing.

# Debian's interpreter: a python3 earlier on the PATH may not see Debian's packages.
py=/usr/bin/python3
if ! "$py" -c 'import pandas' 2>/dev/null; then
    echo "installing python3-pandas" >&2
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends python3-pandas >&2
    else
        sudo DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends python3-pandas >&2
    fi
fi
