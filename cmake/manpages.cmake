# Manual pages orlix(1), orlixctl(1) and orlix-vkbd(1): each page's synopsis,
# options and commands are converted from the built program's --help, and the
# rest comes from its template docs/man/<program>.1.in. Installed compressed,
# as Debian wants them.
set(ORLIX_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(ORLIX_MAN_PAGES)
foreach(program orlix orlixctl orlix-vkbd)
  if(NOT TARGET ${program})
    continue()
  endif()
  set(template ${CMAKE_SOURCE_DIR}/docs/man/${program}.1.in)
  set(page ${ORLIX_MAN_DIR}/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DTEMPLATE=${template}
            -DOUTPUT=${page} -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/help_to_man.cmake
    COMMAND gzip -9nf -k ${page}
    DEPENDS ${program} ${template} ${CMAKE_SOURCE_DIR}/cmake/help_to_man.cmake
    COMMENT "Making the manual page ${program}(1)"
    VERBATIM)
  list(APPEND ORLIX_MAN_PAGES ${page}.gz)
endforeach()
add_custom_target(orlix_man_pages ALL DEPENDS ${ORLIX_MAN_PAGES})
install(FILES ${ORLIX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
