# The test-name check's own cases, run by test_names.cmake before it lists the
# real programs. Each case is a small program that prints what it is given as
# its test list (or hangs, or fails); the check runs over them all, with a
# short time-out, and must report each program as the case says, on one line.

# program | what it prints as its list of tests (`<nl>`: a line break), or what else it does | what the check's line for it says ("-": it passes)
set(name_cases [[
# Stable names: numbers, strings, and hexadecimal values that fit 32 bits.
stable         | Kinds/ValueTest.<nl>  Reads/0  # GetParam() = 5<nl>  Reads/1  # GetParam() = "text"                       | -
small_hex      | Flags/FlagTest.<nl>  Sets/0  # GetParam() = 0x80000000<nl>  Mask0xFFFFFFFF                                     | -
# Raw bytes, and addresses however they are printed.
raw_bytes      | Kinds/ValueTest.<nl>  Reads/0  # GetParam() = 16-byte object <01-00 00-00 00-00 00-00 B0-C2 A1-C3 D0-55 00-00> | Kinds/ValueTest.Reads/0: its parameter has no printer
pointer        | Kinds/ValueTest.<nl>  Reads/0  # GetParam() = 0x55d0c3a1b2c0                                        | Kinds/ValueTest.Reads/0: its name or parameter holds an address
text_pointer   | Kinds/ValueTest.<nl>  Reads/0  # GetParam() = 0x602000000010 pointing to "text"                     | Kinds/ValueTest.Reads/0: its name or parameter holds an address
smart_pointer  | Kinds/ValueTest.<nl>  Reads/0  # GetParam() = (ptr = 0x7ffc1a2b3c4d, value = 3)                    | Kinds/ValueTest.Reads/0: its name or parameter holds an address
in_a_tuple     | Kinds/PairTest.<nl>  Reads/0  # GetParam() = (4, 0x0000602000000010)                                | Kinds/PairTest.Reads/0: its name or parameter holds an address
named_after_it | Kinds/ValueTest.<nl>  At0x55d0c3a1b2c0                                                              | Kinds/ValueTest.At0x55d0c3a1b2c0: its name or parameter holds an address
# A program that does not list its tests.
hangs          | hang | --gtest_list_tests did not end within 2 s: cut off
stubborn       | hang and ignore the signal to end | --gtest_list_tests did not end within 2 s: cut off
fails          | fail | --gtest_list_tests failed (3)
]])

execute_process(COMMAND mktemp -d RESULT_VARIABLE made OUTPUT_VARIABLE case_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "tests/test_names_cases.cmake: no scratch folder for the cases")
endif()
string(REPLACE ";" "," name_cases "${name_cases}")
string(REPLACE "\n" ";" case_rows "${name_cases}")
list(FILTER case_rows EXCLUDE REGEX "^[ \t]*(#|$)")
set(case_programs "")
set(case_expectations "")
foreach(row IN LISTS case_rows)
  string(REGEX MATCH "^([^|]*)\\|([^|]*)\\|(.*)$" fields "${row}")
  string(STRIP "${CMAKE_MATCH_1}" case_program)
  string(STRIP "${CMAKE_MATCH_2}" case_listing)
  string(STRIP "${CMAKE_MATCH_3}" expected)
  list(APPEND case_expectations "${case_program}|${case_program}|${expected}")
  if(case_listing STREQUAL "hang")
    set(body "exec sleep 60")
  elseif(case_listing STREQUAL "hang and ignore the signal to end")
    set(body "trap '' TERM\nsleep 60")
  elseif(case_listing STREQUAL "fail")
    set(body "echo 'no such test list' >&2\nexit 3")
  else()
    string(REPLACE "<nl>" "\n" case_listing "${case_listing}")
    set(body "cat <<'END'\n${case_listing}\nEND")
  endif()
  file(WRITE "${case_dir}/${case_program}" "#!/bin/sh\n${body}\n")
  file(CHMOD "${case_dir}/${case_program}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  list(APPEND case_programs "${case_dir}/${case_program}")
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -DLIST_SECONDS=2 -DSKIP_OWN_CASES=ON
                        -P "${CMAKE_CURRENT_LIST_DIR}/test_names.cmake" ${case_programs}
                OUTPUT_QUIET ERROR_VARIABLE case_report)
file(REMOVE_RECURSE "${case_dir}")

include("${CMAKE_CURRENT_LIST_DIR}/check_cases.cmake")
compare_case_report(tests/test_names_cases.cmake "${case_report}" "${case_expectations}" "")
