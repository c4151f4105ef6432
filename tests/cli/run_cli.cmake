# Runs hydrant-calc-cli once and checks what it did.
#   cmake -DPROGRAM=<exe> -DNAME=<test name> [-DEXIT=<status>] [-DSTDOUT_FILE=<file>] [-DSTDOUT_REGEX=<re>]
#         [-DSTDOUT_NOT_REGEX=<re>] [-DSTDERR_FILE=<file>] [-DSTDERR_REGEX=<re>]
#         [-DSTDOUT_EMPTY=ON] [-DSTDERR_EMPTY=ON] [-DJSON=ON] [-DSTDIN_FILE=<file>]
#         [-DSTDOUT_TO=<file>] [-DCOPY=<file>] [-DLINK=<name>]
#         -P run_cli.cmake -- <arguments of the program>
# STDOUT_FILE/STDERR_FILE compare byte for byte; JSON=ON parses standard output as JSON.
# STDOUT_TO sends standard output there (e.g. /dev/full) instead of keeping it.
# COPY puts a copy of the file in the working folder as <NAME>.in first, LINK a symbolic
# link <LINK> to it; the copy must still be the file after the run.

cmake_minimum_required(VERSION 3.21)

# LAUNCHER: the emulator that runs a cross-built program, "|" between its words.
string(REPLACE "|" ";" launcher "${LAUNCHER}")

set(args "")
set(seen_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 1 ${last})
  if(seen_separator)
    list(APPEND args "${CMAKE_ARGV${i}}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(seen_separator TRUE)
  endif()
endforeach()

if(NOT DEFINED STDIN_FILE)
  set(STDIN_FILE /dev/null)
endif()
if(NOT DEFINED STDOUT_TO)
  set(STDOUT_TO "${NAME}.out")
endif()
if(DEFINED COPY)
  file(COPY_FILE "${COPY}" "${NAME}.in")
  if(DEFINED LINK)
    file(CREATE_LINK "${NAME}.in" "${LINK}" SYMBOLIC)
  endif()
endif()
execute_process(COMMAND ${launcher} "${PROGRAM}" ${args} RESULT_VARIABLE status
                INPUT_FILE "${STDIN_FILE}"
                OUTPUT_FILE "${STDOUT_TO}" ERROR_FILE "${NAME}.err")
set(out "")
if(STDOUT_TO STREQUAL "${NAME}.out")
  file(READ "${NAME}.out" out)
endif()
file(READ "${NAME}.err" err)

set(failures "")
if(DEFINED EXIT AND NOT status STREQUAL EXIT)
  string(APPEND failures "exit status ${status}, expected ${EXIT}\n")
endif()
foreach(stream out err)
  string(TOUPPER "STD${stream}" name)
  if(DEFINED ${name}_FILE)
    # As hex: a text read drops the CR of CRLF, which the comparison must see.
    file(READ "${${name}_FILE}" expected HEX)
    file(READ "${NAME}.${stream}" actual HEX)
    if(NOT actual STREQUAL expected)
      string(APPEND failures "${name} differs from ${${name}_FILE}\n")
    endif()
  endif()
  if(DEFINED ${name}_REGEX AND NOT "${${stream}}" MATCHES "${${name}_REGEX}")
    string(APPEND failures "${name} does not match ${${name}_REGEX}\n")
  endif()
  if(DEFINED ${name}_NOT_REGEX AND "${${stream}}" MATCHES "${${name}_NOT_REGEX}")
    string(APPEND failures "${name} matches ${${name}_NOT_REGEX}\n")
  endif()
endforeach()
if(STDOUT_EMPTY AND NOT out STREQUAL "")
  string(APPEND failures "standard output is not empty\n")
endif()
if(STDERR_EMPTY AND NOT err STREQUAL "")
  string(APPEND failures "standard error is not empty\n")
endif()
if(DEFINED COPY)
  file(READ "${COPY}" expected HEX)
  file(READ "${NAME}.in" actual HEX)
  if(NOT actual STREQUAL expected)
    string(APPEND failures "${NAME}.in is no longer ${COPY}\n")
  endif()
endif()
if(JSON)
  string(JSON type ERROR_VARIABLE json_error TYPE "${out}")
  if(json_error)
    string(APPEND failures "standard output is not valid JSON: ${json_error}\n")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "hydrant-calc-cli ${args}\n${failures}--- stdout:\n${out}--- stderr:\n${err}")
endif()
