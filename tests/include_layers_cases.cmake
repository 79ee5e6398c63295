# The include check's own cases, run by include_layers.cmake before it reads
# the repository. Each case is a source file holding one include, written into
# a scratch tree; the check runs over that tree and must report each file as
# the case says, on one line for each include it refuses.

# file | its include | what the check's line for the file says ("-": the include passes)
set(include_cases [[
# Allowed, however the header is named.
framework/base/beside.cpp      | "log.h"                                        | -
framework/graphics/up.cpp      | "../base/log.h"                                | -
framework/files/angled.cpp     | <framework/base/log.h>                         | -
platform/kernel/host.cpp       | <unistd.h>                                     | -
game/standard.cpp              | <vector>                                       | -
# The wrong way, however the header is named.
framework/base/rooted.cpp      | "framework/graphics/graphics.h"                | framework/base may not include framework/graphics
framework/base/up.cpp          | "../graphics/graphics.h"                       | framework/base may not include framework/graphics
platform/kernel/up.cpp         | "../../framework/base/log.h"                   | platform/kernel may not include framework/base
framework/base/angled.cpp      | <framework/graphics/graphics.h>                | framework/base may not include framework/graphics
game/stage/angled.cpp          | <framework/graphics/textures/texture_upload.h> | game includes only framework/graphics/graphics.h of framework/graphics
tools/angled.cpp               | <tests/support/test_support.h>                 | only tests and benchmarks include tests/ and bench/
framework/base/outside.cpp     | "../../../outside.h"                           | the header lies outside the repository
# The host's libraries, in either quotes.
framework/base/host.cpp        | <unistd.h>                                     | only platform/* may include the host's unistd.h
framework/base/quoted_host.cpp | "unistd.h"                                     | only platform/* may include the host's unistd.h
]])
# The headers of the scratch tree, found beside the files that include them.
set(include_case_headers framework/base/log.h framework/graphics/graphics.h framework/graphics/textures/texture_upload.h)

execute_process(COMMAND mktemp -d RESULT_VARIABLE made OUTPUT_VARIABLE scratch OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "tests/include_layers_cases.cmake: no scratch folder for the cases")
endif()
foreach(header IN LISTS include_case_headers)
  file(WRITE "${scratch}/${header}" "")
endforeach()
table_rows("${include_cases}" case_rows)
set(case_files "")
foreach(row IN LISTS case_rows)
  row_field("${row}" 0 file)
  row_field("${row}" 1 include)
  file(WRITE "${scratch}/${file}" "#include ${include}\n")
  list(APPEND case_files "${file}")
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${scratch} -DSKIP_OWN_CASES=ON
                        -P "${CMAKE_CURRENT_LIST_DIR}/include_layers.cmake"
                OUTPUT_QUIET ERROR_VARIABLE case_report)
file(REMOVE_RECURSE "${scratch}")

# The report's lines, up to CMake's own closing error.
string(FIND "${case_report}" "CMake Error" report_end)
if(report_end GREATER -1)
  string(SUBSTRING "${case_report}" 0 ${report_end} case_report)
endif()
string(REPLACE ";" "," case_report "${case_report}")
string(REGEX MATCHALL "[^\n]+" case_lines "${case_report}")

foreach(row IN LISTS case_rows)
  row_field("${row}" 0 file)
  row_field("${row}" 1 include)
  row_field("${row}" 2 expected)
  set(found "")
  foreach(line IN LISTS case_lines)
    string(FIND "${line}" "${file}: " at)
    if(at EQUAL 0)
      list(APPEND found "${line}")
    endif()
  endforeach()
  list(LENGTH found found_count)
  set(case "tests/include_layers_cases.cmake: ${file} with #include ${include}")
  if(expected STREQUAL "-")
    if(found_count GREATER 0)
      fail("${case}: refused, though it may: ${found}")
    endif()
  elseif(found_count EQUAL 0)
    fail("${case}: passed, though it must report \"${expected}\"")
  elseif(found_count GREATER 1)
    fail("${case}: reported ${found_count} times, not once")
  else()
    string(FIND "${found}" "${expected}" at)
    if(at EQUAL -1)
      fail("${case}: reported as \"${found}\", not as \"${expected}\"")
    endif()
  endif()
endforeach()

# Every line names the file it is about: a message split apart would not.
foreach(line IN LISTS case_lines)
  set(named FALSE)
  foreach(file IN LISTS case_files ITEMS tests/include_layers.cmake)
    string(FIND "${line}" "${file}: " at)
    if(at EQUAL 0)
      set(named TRUE)
      break()
    endif()
  endforeach()
  if(NOT named)
    fail("tests/include_layers_cases.cmake: a line of the report names no file: ${line}")
  endif()
endforeach()
