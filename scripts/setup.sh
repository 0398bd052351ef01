#!/usr/bin/env bash
# Installs the Debian packages the project builds with (only those missing). Run as root on Debian 12.
# QVX_SETUP_EXTRA="fuzz windows budget" also installs the fuzzing and Windows cross-build tool chains and
# valgrind; "genicam" what GenICam cameras through Aravis need.
set -euo pipefail

packages=(cmake make g++ pkg-config git binutils file
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  nlohmann-json3-dev libcli11-dev zlib1g-dev libstb-dev)
for extra in ${QVX_SETUP_EXTRA:-}; do
  case "$extra" in
    fuzz) packages+=(clang-14 libclang-rt-14-dev llvm-14) ;;
    abi) packages+=(clang-14) ;; # the boundary layout check (scripts/abi-check.sh)
    # the parse check of matlab/ (scripts/matlab-check.sh); the Octave layer's gateway and the kit run with
    # plots drawn off screen by gnuplot (scripts/matlab-run.sh)
    matlab) packages+=(octave liboctave-dev gnuplot-nox fonts-freefont-otf) ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine libz-mingw-w64-dev) ;;
    budget) packages+=(valgrind) ;;
    # GenICam cameras through Aravis (pkg-config's aravis-0.8 needs libusb-1.0-0-dev too), its GigE Vision
    # fake camera (aravis-tools) and arv-tool-0.8 for checking a real camera (aravis-tools-cli); unshare and ip
    # for the fake's private network (scripts/genicam-check.sh)
    genicam) packages+=(libaravis-dev libusb-1.0-0-dev aravis-tools aravis-tools-cli util-linux iproute2) ;;
    *) echo "setup: unknown extra '$extra'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq || echo "setup: apt-get update failed; trying with the package lists at hand" >&2
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
