# The project must build and test from its own files alone: no file outside docs/ and the
# Markdown notes may reach into a "shared" folder beside the checkout (test data, scripts),
# which a fresh clone does not have.
#
# Included from CMakeLists.txt, it fails the configure step. As a script it is a test:
#   cmake -DROOT=<source dir> -P cmake/CheckSelfContained.cmake
# With git, the files checked are the tracked ones plus new files git does not ignore;
# without git (an unpacked archive), every file of the tree except build folders.

# Written with classes so that this file does not match itself.
set(_scrivle_outside_path "[.][.][/\\\\]shared([/\\\\]|$|[^A-Za-z0-9_-])")

function(scrivle_check_self_contained root out_hits)
  set(_files)
  set(_listed FALSE)
  if(EXISTS "${root}/.git")
    find_program(_scrivle_git git)
    if(_scrivle_git)
      execute_process(
        COMMAND "${_scrivle_git}" -c core.quotePath=false -C "${root}"
                ls-files --cached --others --exclude-standard
        OUTPUT_VARIABLE _out
        RESULT_VARIABLE _rc
        ERROR_QUIET)
      if(_rc EQUAL 0)
        set(_listed TRUE)
        string(REPLACE "\n" ";" _names "${_out}")
        foreach(_n IN LISTS _names)
          if(NOT _n STREQUAL "")
            list(APPEND _files "${_n}")
          endif()
        endforeach()
      endif()
    endif()
  endif()
  if(NOT _listed)
    file(GLOB_RECURSE _abs LIST_DIRECTORIES FALSE RELATIVE "${root}" "${root}/*")
    foreach(_n IN LISTS _abs)
      if(NOT _n MATCHES "^(build[^/]*|\\.git|\\.cache)/")
        list(APPEND _files "${_n}")
      endif()
    endforeach()
  endif()

  set(_hits)
  foreach(_n IN LISTS _files)
    if(_n MATCHES "^docs/" OR _n MATCHES "\\.md$" OR NOT EXISTS "${root}/${_n}"
       OR IS_DIRECTORY "${root}/${_n}")
      continue()
    endif()
    file(STRINGS "${root}/${_n}" _lines REGEX "${_scrivle_outside_path}")
    foreach(_l IN LISTS _lines)
      string(STRIP "${_l}" _l)
      list(APPEND _hits "${_n}: ${_l}")
    endforeach()
  endforeach()
  set(${out_hits} "${_hits}" PARENT_SCOPE)
endfunction()

function(scrivle_report_outside_paths hits)
  string(REPLACE ";" "\n  " _text "${hits}")
  message(FATAL_ERROR
    "These files reach outside the repository (a fresh clone has no shared folder beside "
    "it; copy the files into the repository, e.g. tests/data/):\n  ${_text}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT ROOT)
    message(FATAL_ERROR "usage: cmake -DROOT=<source dir> -P CheckSelfContained.cmake")
  endif()
  scrivle_check_self_contained("${ROOT}" _found)
  if(_found)
    scrivle_report_outside_paths("${_found}")
  endif()
  message(STATUS "No file outside docs/ reaches outside the repository")
endif()
