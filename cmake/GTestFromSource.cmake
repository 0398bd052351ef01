# GoogleTest and GoogleMock built from Debian's googletest sources with the cross compiler, for builds
# that cannot use the host's prebuilt libraries.
set(QVX_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${QVX_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${QVX_GTEST_SOURCE_DIR}: install Debian's googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# GoogleTest defaults to a shared C runtime only for MSVC; keep it the same as ours there.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QVX_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(name IN ITEMS gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${name})
    add_library(GTest::${name} ALIAS ${name})
  endif()
endforeach()
