# Checks the design table against single runs of the same program.
#   cmake -DPROGRAM=<exe> -P check_table.cmake
# CSV: byte-order mark, 108 rows after the header, every line ended by CRLF, and the row
# of one entry equal to that entry's single run. JSON: the width once, 108 rows, each row's
# line equal to the single run's JSON object without the width. Text with a width: the
# spacing column.

cmake_minimum_required(VERSION 3.21)

# LAUNCHER: the emulator that runs a cross-built program, "|" between its words.
string(REPLACE "|" ";" launcher "${LAUNCHER}")

set(failures "")

function(run_program out_var)
  # Through a file, so that the bytes can be read as hex: a text read drops CRs.
  execute_process(COMMAND ${launcher} "${PROGRAM}" ${ARGN} RESULT_VARIABLE status
                  OUTPUT_FILE table_check.out ERROR_FILE table_check.err)
  file(READ table_check.out out)
  file(READ table_check.err err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "hydrant-calc-cli ${ARGN}: exit status ${status}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
  file(READ table_check.out hex HEX)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  set(${out_var}_bytes "${bytes}" PARENT_SCOPE)
endfunction()

# Splits output read as text (CRs dropped) into lines; it must end with a line end.
function(split_lines text out_var)
  string(REPLACE ";" "\\;" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  list(POP_BACK lines tail)
  if(NOT tail STREQUAL "")
    message(FATAL_ERROR "output does not end with a line end")
  endif()
  set(${out_var} "${lines}" PARENT_SCOPE)
endfunction()

# --- CSV ---------------------------------------------------------------------------
run_program(csv --table --format csv)
string(SUBSTRING "${csv_bytes}" 0 9 bom)
if(NOT bom STREQUAL " ef bb bf")
  string(APPEND failures "CSV does not start with the UTF-8 byte-order mark\n")
endif()
string(REGEX MATCHALL " 0a" lf_ends "${csv_bytes}")
string(REGEX MATCHALL " 0d 0a" crlf_ends "${csv_bytes}")
list(LENGTH lf_ends lf_count)
list(LENGTH crlf_ends crlf_count)
if(NOT lf_count EQUAL 109 OR NOT crlf_count EQUAL 109)
  string(APPEND failures "CSV has ${lf_count} lines (${crlf_count} CRLF), expected 109 CRLF\n")
endif()
split_lines("${csv}" csv_lines)
list(GET csv_lines 0 header)
string(SUBSTRING "${header}" 3 -1 header)
if(NOT header STREQUAL
   "水龙带长度,水龙带材料,水龙带直径,水枪喷嘴口径(mm),充实水柱长度(m),fai,af,B,Hq,Tavrel出水量,Hd,消防栓口水压,保护半径(m)")
  string(APPEND failures "CSV header is ${header}\n")
endif()

# Entry 25 m, rubber-lined 65 mm, nozzle 16, water column 13: in the order length (54 rows
# each) × material (27) × diameter (9) × nozzle (3) × water column it is row
# 54 + 27 + 9 + 3 + 2 = 95 counted from 0, line 96 after the header.
set(entry --hose-length 25 --material 衬胶 --hose-diameter 65 --nozzle 16 --water-column 13)
run_program(single_json ${entry} --format json)
set(expected_row "25,衬胶,65,16,13")
foreach(key phi alpha flowCoefficient nozzlePressure flow hoseLoss outletPressure radius)
  string(JSON value GET "${single_json}" outputs ${key})
  string(APPEND expected_row ",${value}")
endforeach()
list(GET csv_lines 96 csv_row)
if(NOT csv_row STREQUAL expected_row)
  string(APPEND failures "CSV row 96 is\n  ${csv_row}\nthe single run gives\n  ${expected_row}\n")
endif()
# The radius 25·0.8 + 13·0.71 shown with two decimals.
if(NOT csv_row MATCHES ",29\\.23$")
  string(APPEND failures "CSV row 96 does not end with the radius 29.23\n")
endif()

# --- JSON --------------------------------------------------------------------------
# The width is echoed once at the top, not in every row's inputs.
run_program(table_json --table --format json --width 10)
string(JSON row_count ERROR_VARIABLE json_error LENGTH "${table_json}" rows)
if(json_error OR NOT row_count EQUAL 108)
  string(APPEND failures "JSON table: ${row_count} rows ${json_error}\n")
endif()
string(REGEX MATCHALL "\"width\":\"10\"" widths "${table_json}")
string(JSON table_width ERROR_VARIABLE json_error GET "${table_json}" width)
list(LENGTH widths width_count)
if(NOT table_width STREQUAL "10" OR NOT width_count EQUAL 1)
  string(APPEND failures "JSON table echoes the width ${width_count} times, top-level: ${table_width}\n")
endif()
# Each row is the single run's object without the width, character for character too,
# comma-ended but the last.
run_program(single_json ${entry} --format json --width 10)
string(STRIP "${single_json}" single_json)
string(REPLACE ",\"width\":\"10\"" "" single_json "${single_json}")
string(JSON json_row GET "${table_json}" rows 95)
string(JSON same EQUAL "${json_row}" "${single_json}")
if(NOT same)
  string(APPEND failures "JSON row 95 is\n  ${json_row}\nthe single run gives\n  ${single_json}\n")
endif()
string(FIND "${table_json}" "\n${single_json},\n" at)
if(at EQUAL -1)
  string(APPEND failures "JSON table has no line equal to the single run\n")
endif()

# --- Text with a width: spacing or warning in the last column ------------------------
run_program(text --table --width 22)
split_lines("${text}" text_lines)
list(LENGTH text_lines text_count)
if(NOT text_count EQUAL 109)
  string(APPEND failures "text table has ${text_count} lines, expected 109\n")
endif()
list(GET text_lines 0 text_header)
if(NOT text_header MATCHES "保护半径\\(m\\) +Tavrel间距\\(m\\)$")
  string(APPEND failures "text table header lacks the spacing column: ${text_header}\n")
endif()
# 20 m hose, water column 7: R = 20.97 < 22 gives the warning; water column 13: R = 25.23.
list(GET text_lines 1 first_row)
list(GET text_lines 3 third_row)
if(NOT first_row MATCHES "^20 +麻质 +50 +13 +7 .* 20\\.97 +Tavrel的保护宽度过大!$")
  string(APPEND failures "text row 1 lacks the warning: ${first_row}\n")
endif()
if(NOT third_row MATCHES "^20 +麻质 +50 +13 +13 .* 25\\.23 +[0-9]+\\.[0-9][0-9]$")
  string(APPEND failures "text row 3 lacks a spacing: ${third_row}\n")
endif()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
