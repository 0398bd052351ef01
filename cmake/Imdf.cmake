# The adaptor's IMDF file goes beside the adaptor library, under the library's name without its "lib"
# prefix, in the build folder and in an installation: the toolbox looks for it there.
function(qvx_imdf_beside target)
  set(imdf ${CMAKE_SOURCE_DIR}/adaptor/QVXImaq.imdf)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${imdf} $<TARGET_FILE_DIR:${target}>/QVXImaq.imdf
    VERBATIM)
  if(WIN32)
    install(FILES ${imdf} DESTINATION bin)
  else()
    install(FILES ${imdf} DESTINATION lib)
  endif()
endfunction()
