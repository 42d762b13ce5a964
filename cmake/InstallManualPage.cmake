# Run by `cmake --install` (and by cpack): the manual page names the folders
# the program is installed to, which only the install knows (--prefix, or
# /usr for the package), so it is filled in and compressed here.
# Expects ZORVIK_MAN_SOURCE, ZORVIK_MAN_WORK, ZORVIK_DATADIR_REL,
# ZORVIK_WINDOWSDIR_REL, ZORVIK_MANDIR_REL and PROJECT_VERSION.
function(zorvik_full_path out relative)
  if(IS_ABSOLUTE "${relative}")
    set(${out} "${relative}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${relative}" PARENT_SCOPE)
  endif()
endfunction()
zorvik_full_path(DATADIR "${ZORVIK_DATADIR_REL}")
zorvik_full_path(WINDOWSDIR "${ZORVIK_WINDOWSDIR_REL}")
zorvik_full_path(mandir "${ZORVIK_MANDIR_REL}")
configure_file("${ZORVIK_MAN_SOURCE}" "${ZORVIK_MAN_WORK}/zorvik-planner.1" @ONLY)
# gzip -n: no time stamp, so the package builds the same twice.
execute_process(COMMAND gzip -9 -n -f -k "${ZORVIK_MAN_WORK}/zorvik-planner.1" RESULT_VARIABLE gzipResult)
if(NOT gzipResult EQUAL 0)
  message(FATAL_ERROR "gzip of the manual page failed")
endif()
file(INSTALL DESTINATION "${mandir}/man1" TYPE FILE FILES "${ZORVIK_MAN_WORK}/zorvik-planner.1.gz")
