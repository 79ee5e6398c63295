# The include check's own cases, run by include_layers.cmake before it reads
# the repository. Each case is a source file holding one include line (`<nl>`
# stands for a line break), written into a scratch tree; the check runs over
# that tree and must report each file as the case says, on one line for each
# include it refuses.

# file | its include line | what the check's line for the file says ("-": the include passes)
set(include_cases [[
# Allowed, however the header is named.
framework/base/beside.cpp         | #include "log.h"                                        | -
framework/graphics/up.cpp         | #include "../base/log.h"                                | -
framework/files/angled.cpp        | #include <framework/base/log.h>                         | -
platform/kernel/host.cpp          | #include <unistd.h>                                     | -
game/standard.cpp                 | #include <vector>                                       | -
# The wrong way, however the header is named.
framework/base/rooted.cpp         | #include "framework/graphics/graphics.h"                | framework/base may not include framework/graphics
framework/base/up.cpp             | #include "../graphics/graphics.h"                       | framework/base may not include framework/graphics
platform/kernel/up.cpp            | #include "../../framework/base/log.h"                   | platform/kernel may not include framework/base
framework/base/angled.cpp         | #include <framework/graphics/graphics.h>                | framework/base may not include framework/graphics
game/stage/angled.cpp             | #include <framework/graphics/textures/texture_upload.h> | game includes only framework/graphics/graphics.h of framework/graphics
tools/angled.cpp                  | #include <tests/support/test_support.h>                 | only tests and benchmarks include tests/ and bench/
framework/base/outside.cpp        | #include "../../../outside.h"                           | the header lies outside the repository
# The host's libraries, in either quotes.
framework/base/host.cpp           | #include <unistd.h>                                     | only platform/* may include the host's unistd.h
framework/base/quoted_host.cpp    | #include "unistd.h"                                     | only platform/* may include the host's unistd.h
# Every file the compiler may read, whatever its ending.
framework/base/inline.inl         | #include "framework/graphics/graphics.h"                | framework/base may not include framework/graphics
framework/base/header.hh          | #include "framework/graphics/graphics.h"                | framework/base may not include framework/graphics
framework/base/template.ipp       | #include "framework/graphics/graphics.h"                | framework/base may not include framework/graphics
framework/base/no_ending          | #include "framework/graphics/graphics.h"                | framework/base may not include framework/graphics
# Test data, build scripts and prose are read only when a file includes them.
tests/data/fixture.h              | #include FIXTURE_HEADER                                 | -
framework/base/notes.txt          | #include "framework/graphics/graphics.h"                | -
framework/base/CMakeLists.txt     | #include "framework/graphics/graphics.h"                | -
framework/base/table.txt          | #include "framework/graphics/graphics.h"                | framework/base may not include framework/graphics
framework/base/reads_table.cpp    | #include "table.txt"                                    | -
# tests/ and bench/ include anything.
tests/support/free.h              | #include <framework/graphics/textures/texture_upload.h> | -
bench/free.cpp                    | #include "../framework/graphics/textures/texture_upload.h" | -
# Read as the compiler reads them: comments, `%:` for `#`, `#import`.
framework/base/comment.cpp        | #/* a */include "framework/graphics/graphics.h"         | framework/base may not include framework/graphics
framework/base/comment_first.cpp  | /* a */ #include "framework/graphics/graphics.h"        | framework/base may not include framework/graphics
framework/base/comment_name.cpp   | #include /* "log.h" */ "framework/graphics/graphics.h"  | framework/base may not include framework/graphics
framework/base/comment_end.cpp    | /* a<nl>*/ #include "framework/graphics/graphics.h"     | framework/base may not include framework/graphics
framework/base/digraph.cpp        | %:include "framework/graphics/graphics.h"               | framework/base may not include framework/graphics
framework/base/import.cpp         | #import "framework/graphics/graphics.h"                 | framework/base may not include framework/graphics
# Include lines the check cannot read.
framework/base/macro.cpp          | #include GRAPHICS_HEADER                                | an include the check cannot read
framework/base/split_name.cpp     | #inc\<nl>lude "framework/graphics/graphics.h"           | an include the check cannot read
framework/base/split_line.cpp     | #include \<nl>"framework/graphics/graphics.h"           | an include the check cannot read
framework/base/split_hash.cpp     | #\<nl>include "framework/graphics/graphics.h"           | an include the check cannot read
framework/base/long_comment.cpp   | #/* a<nl>*/ include "framework/graphics/graphics.h"     | an include the check cannot read
tests/support/macro.h             | #include TEST_HEADER                                    | an include the check cannot read
# The host's macros for its headers, where the table allows them.
platform/gdi/font.cpp             | #include FT_FREETYPE_H                                  | -
tests/support/font.h              | #include FT_FREETYPE_H                                  | -
framework/base/font.cpp           | #include FT_FREETYPE_H                                  | only platform/gdi may include the host's FT_FREETYPE_H
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
set(case_expectations "")
foreach(row IN LISTS case_rows)
  row_field("${row}" 0 file)
  row_field("${row}" 1 include)
  row_field("${row}" 2 expected)
  list(APPEND case_expectations "${file}|${file} with ${include}|${expected}")
  string(REPLACE "<nl>" "\n" include "${include}")
  file(WRITE "${scratch}/${file}" "${include}\n")
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${scratch} -DSKIP_OWN_CASES=ON
                        -P "${CMAKE_CURRENT_LIST_DIR}/include_layers.cmake"
                OUTPUT_QUIET ERROR_VARIABLE case_report)
file(REMOVE_RECURSE "${scratch}")

include("${CMAKE_CURRENT_LIST_DIR}/check_cases.cmake")
compare_case_report(tests/include_layers_cases.cmake "${case_report}" "${case_expectations}" tests/include_layers.cmake)
