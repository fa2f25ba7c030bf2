# Script: makes a manual page from a program's own --help text and a page
# template, so the page's synopsis, options and commands are the program's.
#
#   cmake -DPROGRAM=bin/orlixctl -DTEMPLATE=orlixctl.1.in -DOUTPUT=orlixctl.1 -P help_to_man.cmake
#
# The help text is read as: a "usage:" line with its indented continuation
# lines (SYNOPSIS); two-space indented "-option  text" lines with deeper
# continuation lines (an option each); "name:" headings whose entries are
# two-space indented terms described by deeper indented lines; any other
# two-space indented line is prose. The template's @HELP@ becomes the
# converted text; @VERSION@ and @DATE@ are filled in too.

foreach(var PROGRAM TEMPLATE OUTPUT VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "help_to_man.cmake needs -D${var}=...")
  endif()
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} --help
                OUTPUT_VARIABLE help RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${rc})")
endif()

# Text for roff: backslashes escaped, a leading dot or quote made literal,
# and hyphens written as minus signs as options need.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE ";" "\\;" help "${help}")
string(REGEX REPLACE "\n$" "" help "${help}")
string(REPLACE "\n" ";" lines "${help}")

set(man "")
set(state none)  # none | usage | entry | term
set(heading "")
set(have_options FALSE)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    if(state STREQUAL "usage")
      string(APPEND man ".fi\n")
    endif()
    set(state none)
    continue()
  endif()
  string(STRIP "${line}" body)
  string(FIND "${line}" "${body}" depth)
  roff_text(text "${body}")
  if(body MATCHES "^usage: (.*)$")
    roff_text(text "${CMAKE_MATCH_1}")
    string(APPEND man ".SH SYNOPSIS\n.nf\n${text}\n")
    set(state usage)
  elseif(state STREQUAL "usage" AND depth GREATER 2)
    string(APPEND man "${text}\n")
  elseif(depth EQUAL 0 AND body MATCHES "^(.*):$")
    if(state STREQUAL "usage")
      string(APPEND man ".fi\n")
    endif()
    string(TOUPPER "${CMAKE_MATCH_1}" heading)
    string(APPEND man ".SH ${heading}\n")
    set(state term)
  elseif(depth EQUAL 2 AND NOT heading STREQUAL "")
    string(APPEND man ".TP\n.B ${text}\n")
    set(state entry)
  elseif(depth EQUAL 2 AND body MATCHES "^(-[^ ]*( [A-Z][A-Z]*)?)  +(.*)$")
    if(state STREQUAL "usage")
      string(APPEND man ".fi\n")
    endif()
    if(NOT have_options)
      string(APPEND man ".SH OPTIONS\n")
      set(have_options TRUE)
    endif()
    roff_text(term "${CMAKE_MATCH_1}")
    roff_text(desc "${CMAKE_MATCH_3}")
    string(APPEND man ".TP\n.B ${term}\n${desc}\n")
    set(state entry)
  elseif(state STREQUAL "entry" AND depth GREATER 2)
    string(APPEND man "${text}\n")
  else()
    if(state STREQUAL "usage")
      string(APPEND man ".fi\n.PP\n")
    endif()
    string(APPEND man "${text}\n")
    set(state prose)
  endif()
endforeach()
if(state STREQUAL "usage")
  string(APPEND man ".fi\n")
endif()

set(HELP "${man}")
# string(TIMESTAMP) honours SOURCE_DATE_EPOCH, for reproducible pages.
string(TIMESTAMP DATE "%Y-%m-%d" UTC)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
