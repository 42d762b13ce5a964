# The build number: the count of commits when the sources are a git
# checkout. Sources without their history (a release tarball) build as
# ZORVIK_RELEASE_BUILD_NUMBER, the number the release was made with, never
# 0: a package always tells which build it holds.
# Run as a script (cmake -P) it prints the number for the current folder.
set(ZORVIK_RELEASE_BUILD_NUMBER 225)

function(zorvik_build_number out sourceDir)
  set(number ${ZORVIK_RELEASE_BUILD_NUMBER})
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-list --count HEAD
      WORKING_DIRECTORY ${sourceDir}
      OUTPUT_VARIABLE commits OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE gitResult)
    if(gitResult EQUAL 0 AND commits MATCHES "^[1-9][0-9]*$")
      set(number ${commits})
    endif()
  endif()
  set(${out} ${number} PARENT_SCOPE)
endfunction()

if(NOT DEFINED PROJECT_NAME)
  zorvik_build_number(number "${CMAKE_CURRENT_BINARY_DIR}")
  message("build number ${number}")
endif()
