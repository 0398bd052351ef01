# cmake --install lays the stand-ins out as the real products are installed, one component each:
#   grabber   the grabber library (bin/ and lib/; on Windows the DLL and its import library) with its
#             headers in include/grabber: the declarations the adaptor includes from grabber/, less the
#             adaptor's own holders, list snapshots and text code
#   imaqmex   the adaptor kit's library (on Windows imaqmex.dll and its import library)
#   platform  off Windows: our stand-in of the Windows functions, which both of the above link
# For example: cmake --install build --component grabber --prefix /opt/kapri

set(QVX_GRABBER_PUBLIC_HEADERS dstring.h dvector.h filter.h grabber.h items.h kapri_api.h listener.h
  mem_buffer.h sink.h smart_com.h vcd.h vcd_ids.h video_format_desc.h)
list(TRANSFORM QVX_GRABBER_PUBLIC_HEADERS PREPEND ${CMAKE_SOURCE_DIR}/grabber/)
install(TARGETS QVX_KAPRI10_x64 COMPONENT grabber
  RUNTIME DESTINATION bin LIBRARY DESTINATION lib ARCHIVE DESTINATION lib)
install(FILES ${QVX_GRABBER_PUBLIC_HEADERS} DESTINATION include/grabber COMPONENT grabber)
install(TARGETS imaqmex COMPONENT imaqmex
  RUNTIME DESTINATION bin LIBRARY DESTINATION lib ARCHIVE DESTINATION lib)
if(NOT WIN32)
  install(TARGETS qvxplatform COMPONENT platform LIBRARY DESTINATION lib)
endif()
