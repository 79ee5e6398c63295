# Every test's name stays the same from build to build. CTest runs it as
#     cmake -P tests/test_names.cmake <test program>...
# CTest names a value-parameterised test after its parameter as GoogleTest
# prints it; a parameter type without a printer is printed as its raw bytes
# (pointers, padding), which change at every build and every run, and a
# pointer as its address, which changes at every run. The check lists each
# program's tests and fails, naming each such test, on any value printed that
# way (give its type a PrintTo, or the suite a name generator), and on a
# program whose listing fails or does not end within LIST_SECONDS. It first
# runs its own cases, in test_names_cases.cmake.
cmake_minimum_required(VERSION 3.25)

set(programs "")
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(index RANGE ${last})
  if(CMAKE_ARGV${index} STREQUAL "-P")
    math(EXPR first "${index} + 2")
    if(first LESS_EQUAL last)
      foreach(program_index RANGE ${first} ${last})
        list(APPEND programs "${CMAKE_ARGV${program_index}}")
      endforeach()
    endif()
    break()
  endif()
endforeach()
if(NOT programs)
  message(FATAL_ERROR "Run as: cmake -P test_names.cmake <test program>...")
endif()
if(NOT LIST_SECONDS)
  set(LIST_SECONDS 60)
endif()

# An address: a hexadecimal number too large for 32 bits, as every address of
# a 64-bit program is (its code, heap and stack all lie above 4 GiB here);
# smaller ones may be the flags and values the tests name.
string(REPEAT "[0-9a-fA-F]" 8 eight_digits)
set(address "0x0*[1-9a-fA-F]${eight_digits}")

set(failures "")
if(NOT SKIP_OWN_CASES)
  include("${CMAKE_CURRENT_LIST_DIR}/test_names_cases.cmake")
endif()

# The programs list their tests eight at a time (each start of a sanitized
# program takes a while), each into a file of its own.
execute_process(COMMAND mktemp -d RESULT_VARIABLE made OUTPUT_VARIABLE scratch OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "tests/test_names.cmake: no scratch folder for the test lists")
endif()
set(pending "${programs}")
while(pending)
  set(batch "")
  set(commands "")
  foreach(slot RANGE 7)
    if(NOT pending)
      break()
    endif()
    list(POP_FRONT pending program)
    list(APPEND batch "${program}")
    list(LENGTH batch listing_index)
    # Written to files, not through the pipe execute_process puts between
    # its commands.
    list(APPEND commands COMMAND sh -c [[exec timeout -k 2 "$2" "$0" --gtest_list_tests >"$1" 2>&1]] "${program}"
                         "${scratch}/${listing_index}" "${LIST_SECONDS}")
  endforeach()
  execute_process(${commands} RESULTS_VARIABLE results)
  set(listing_index 0)
  foreach(program result IN ZIP_LISTS batch results)
    math(EXPR listing_index "${listing_index} + 1")
    get_filename_component(program_name "${program}" NAME)
    file(READ "${scratch}/${listing_index}" listing)
    string(REPLACE ";" "," listing "${listing}")
    # The time ran out: timeout ended the program, or, where the program
    # ignored that, killed it and itself.
    if(result STREQUAL "124" OR result STREQUAL "Subprocess killed")
      list(APPEND failures "${program_name}: --gtest_list_tests did not end within ${LIST_SECONDS} s: cut off")
      continue()
    endif()
    if(NOT result EQUAL 0)
      list(APPEND failures "${program_name}: --gtest_list_tests failed (${result}): ${listing}")
      continue()
    endif()
    string(REGEX MATCHALL "[^\n]+" lines "${listing}")
    set(suite "")
    foreach(line IN LISTS lines)
      if(line MATCHES "^([^ ][^ #]*)")
        set(suite "${CMAKE_MATCH_1}")
      elseif(line MATCHES "^  ([^ ]+) +#.*-byte object <")
        list(APPEND failures "${program_name}: ${suite}${CMAKE_MATCH_1}: its parameter has no printer")
      elseif(line MATCHES "${address}")
        string(REGEX MATCH "^  [^ ]+" test "${line}")
        string(STRIP "${test}" test)
        list(APPEND failures "${program_name}: ${suite}${test}: its name or parameter holds an address")
      endif()
    endforeach()
  endforeach()
endwhile()
file(REMOVE_RECURSE "${scratch}")

if(failures)
  list(LENGTH failures failure_count)
  list(JOIN failures "\n" report)
  message(NOTICE "${report}")
  message(FATAL_ERROR "${failure_count} fault(s) found by tests/test_names.cmake, one on each line above")
endif()
list(LENGTH programs program_count)
message(STATUS "Test names are stable in ${program_count} test programs")
