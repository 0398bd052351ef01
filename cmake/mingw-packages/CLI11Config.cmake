# CLI11 for the Windows cross build: Debian's header-only package, without the rest of /usr/include.
include(${CMAKE_CURRENT_LIST_DIR}/HeaderOnly.cmake)
qvx_header_only_package(CLI11::CLI11 CLI)
