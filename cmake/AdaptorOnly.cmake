# The adaptor alone (-DQVX_ADAPTOR_ONLY=ON), built against an installed grabber library and adaptor kit.
#
#   QVX_GRABBER_ROOT   the grabber library's installation: include/grabber/*.h, and the library in lib/
#                      (on Windows its import library QVX_KAPRI10_x64.lib)
#   QVX_IMAQMEX_ROOT   the folder of the adaptor kit's import library (imaqmex.lib on Windows,
#                      libmwimaqmex.so in MATLAB for Linux), or its lib/
#   QVX_PLATFORM_ROOT  off Windows only: where our stand-in of the Windows functions is installed
#                      (default: QVX_GRABBER_ROOT)
# Each library may also be given whole (QVX_GRABBER_LIBRARY, QVX_IMAQMEX_LIBRARY, QVX_PLATFORM_LIBRARY),
# or found on CMAKE_PREFIX_PATH when no root is given.
#
# The grabber library's headers come first on the include path, so its declarations replace ours in
# grabber/: class sizes of objects the adaptor holds by value (Grabber, the items) are the library's.
# The adaptor's own holders, list snapshots and text code (grabber/refcount.h, smart_ptr.h,
# snapshot.h, text.h, text.cpp) and the kit's interfaces (host/) still come from this source tree.

set(QVX_GRABBER_ROOT "" CACHE PATH "Installation of the grabber library (include/grabber, lib)")
set(QVX_IMAQMEX_ROOT "" CACHE PATH "Folder of the adaptor kit's import library, or its parent of lib/")
set(QVX_PLATFORM_ROOT "${QVX_GRABBER_ROOT}" CACHE PATH "Off Windows: installation of the platform stand-in")

function(qvx_find_in_root variable root)
  # The remaining arguments go to find_path/find_library; a given root is searched alone.
  if(root)
    # A given folder is taken as it is, also in a cross build that searches only its sysroot.
    set(scope HINTS ${root} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  else()
    set(scope "")
  endif()
  if(variable MATCHES "INCLUDE_DIR$")
    find_path(${variable} ${ARGN} ${scope})
  else()
    find_library(${variable} ${ARGN} ${scope})
  endif()
  if(NOT ${variable})
    message(FATAL_ERROR "QVX_ADAPTOR_ONLY: ${variable} not found; set QVX_GRABBER_ROOT, "
                        "QVX_IMAQMEX_ROOT (and off Windows QVX_PLATFORM_ROOT), or ${variable} itself. "
                        "Searched: '${root}' (empty: CMAKE_PREFIX_PATH and the system)")
  endif()
endfunction()

qvx_find_in_root(QVX_GRABBER_INCLUDE_DIR "${QVX_GRABBER_ROOT}" NAMES grabber/grabber.h PATH_SUFFIXES include)
qvx_find_in_root(QVX_GRABBER_LIBRARY "${QVX_GRABBER_ROOT}" NAMES QVX_KAPRI10_x64 PATH_SUFFIXES lib)
# MATLAB for Linux names the kit's library libmwimaqmex.so; ours and Windows' are imaqmex.
qvx_find_in_root(QVX_IMAQMEX_LIBRARY "${QVX_IMAQMEX_ROOT}" NAMES imaqmex libimaqmex mwimaqmex libmwimaqmex
                 PATH_SUFFIXES lib)
if(NOT WIN32)
  qvx_find_in_root(QVX_PLATFORM_LIBRARY "${QVX_PLATFORM_ROOT}" NAMES qvxplatform PATH_SUFFIXES lib)
endif()

get_filename_component(QVX_GRABBER_INCLUDE_REAL "${QVX_GRABBER_INCLUDE_DIR}" REALPATH)
get_filename_component(QVX_SOURCE_REAL "${CMAKE_SOURCE_DIR}" REALPATH)
if(QVX_GRABBER_INCLUDE_REAL STREQUAL QVX_SOURCE_REAL)
  message(FATAL_ERROR "QVX_ADAPTOR_ONLY: QVX_GRABBER_ROOT is this source tree; give the installed library")
endif()
message(STATUS "Adaptor alone: grabber headers ${QVX_GRABBER_INCLUDE_DIR}, libraries ${QVX_GRABBER_LIBRARY} "
               "${QVX_IMAQMEX_LIBRARY} ${QVX_PLATFORM_LIBRARY}")

file(GLOB QVX_ADAPTOR_SOURCES CONFIGURE_DEPENDS
  adaptor/*.cpp attributes/*.cpp instance/*.cpp grabber/*.cpp)
add_library(QVXImaq SHARED ${QVX_ADAPTOR_SOURCES})
target_include_directories(QVXImaq BEFORE PRIVATE ${QVX_GRABBER_INCLUDE_DIR})
target_include_directories(QVXImaq PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(QVXImaq PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_link_libraries(QVXImaq PRIVATE ${QVX_GRABBER_LIBRARY} ${QVX_IMAQMEX_LIBRARY})
if(WIN32)
  set_target_properties(QVXImaq PROPERTIES PREFIX "")
  target_link_libraries(QVXImaq PRIVATE ole32 oleaut32 user32)
else()
  target_link_libraries(QVXImaq PRIVATE ${QVX_PLATFORM_LIBRARY})
  if(NOT APPLE)
    target_link_options(QVXImaq PRIVATE "LINKER:--version-script=${CMAKE_SOURCE_DIR}/adaptor/exports.map")
    if(NOT QVX_SANITIZE)
      target_link_options(QVXImaq PRIVATE "LINKER:--no-undefined")
    endif()
    set_property(TARGET QVXImaq APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/adaptor/exports.map)
  endif()
endif()
qvx_warnings(QVXImaq)
install(TARGETS QVXImaq RUNTIME DESTINATION bin LIBRARY DESTINATION lib ARCHIVE DESTINATION lib)
include(${CMAKE_SOURCE_DIR}/cmake/Imdf.cmake)
qvx_imdf_beside(QVXImaq)
