# m2v_add_version_resource(TARGET DESCRIPTION): on Windows, stamps the project version into
# the program's version resource (Explorer's "Details", the MSI's file versions).
function(m2v_add_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(m2v_rc_name ${target})
  set(m2v_rc_description "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
