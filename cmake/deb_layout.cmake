# CPack script, run on the staged package before it is packed: the install
# rules put the autostart entry under <prefix>/etc, and Debian keeps /etc at
# the root (a prefix's etc/ is /etc when the prefix is /usr).
set(staging "${CPACK_TEMPORARY_DIRECTORY}")
if(IS_DIRECTORY "${staging}/usr/etc")
  if(EXISTS "${staging}/etc")
    message(FATAL_ERROR "both usr/etc and etc are staged in ${staging}")
  endif()
  file(RENAME "${staging}/usr/etc" "${staging}/etc")
endif()
