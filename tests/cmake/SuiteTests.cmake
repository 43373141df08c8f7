# Read by ctest before it runs anything: registers one test per GoogleTest
# suite of one test program, so that a program's start-up is paid once per
# suite instead of once per test, and a failure still names its suite (the
# program's own output names the failing test).
#
# Set by the including file: GC_SUITE_PROGRAM (the test program),
# GC_SUITE_PREFIX (the start of every test name), GC_SUITE_TIMEOUT (seconds),
# GC_SUITE_CACHE (where the suite list is kept until the program changes),
# and optionally GC_SUITE_LONG_FILTER and GC_SUITE_LONG_VARIABLE: the tests
# that the filter selects when the variable is 1 in the environment are
# registered one by one with the label "long".

if(NOT EXISTS "${GC_SUITE_PROGRAM}")
  add_test("${GC_SUITE_PREFIX}NOT_BUILT" "${GC_SUITE_PROGRAM}")
  return()
endif()

# Lists the program's tests (run with the environment assignment, which may
# be empty, and the further arguments) into the suites found and the full
# names of the tests found.
function(gc_list_tests suites_var tests_var environment)
  execute_process(
    COMMAND "${GC_CMAKE_COMMAND}" -E env ${environment} "${GC_SUITE_PROGRAM}" --gtest_list_tests ${ARGN}
    OUTPUT_VARIABLE listing
    RESULT_VARIABLE listed
    TIMEOUT 60)
  if(NOT listed EQUAL 0)
    message(WARNING "${GC_SUITE_PROGRAM} could not list its tests (${listed})")
    set(${suites_var} "LIST_FAILED" PARENT_SCOPE)
    return()
  endif()
  # A suite line starts in the first column and ends with a dot (a comment
  # such as "  # TypeParam = ..." may follow); test lines are indented by two
  # blanks and may be followed by "  # GetParam() = ...".
  string(REPLACE ";" "," listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(suites "")
  set(tests "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #][^ ]*)\\.")
      set(suite "${CMAKE_MATCH_1}")
      list(APPEND suites "${suite}")
    elseif(line MATCHES "^  ([^ ]+)")
      list(APPEND tests "${suite}.${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${suites_var} "${suites}" PARENT_SCOPE)
  set(${tests_var} "${tests}" PARENT_SCOPE)
endfunction()

if(NOT EXISTS "${GC_SUITE_CACHE}" OR "${GC_SUITE_PROGRAM}" IS_NEWER_THAN "${GC_SUITE_CACHE}")
  gc_list_tests(suites unused "")
  set(long_tests "")
  if(GC_SUITE_LONG_FILTER)
    gc_list_tests(unused long_tests "${GC_SUITE_LONG_VARIABLE}=1" "--gtest_filter=${GC_SUITE_LONG_FILTER}")
  endif()
  file(WRITE "${GC_SUITE_CACHE}" "set(suites [==[${suites}]==])\nset(long_tests [==[${long_tests}]==])\n")
endif()

include("${GC_SUITE_CACHE}")
if(suites STREQUAL "LIST_FAILED")
  file(REMOVE "${GC_SUITE_CACHE}")
  add_test("${GC_SUITE_PREFIX}LIST_FAILED" "${GC_SUITE_PROGRAM}" --gtest_list_tests)
  return()
endif()
foreach(suite IN LISTS suites)
  set(name "${GC_SUITE_PREFIX}${suite}")
  add_test("${name}" "${GC_SUITE_PROGRAM}" "--gtest_filter=${suite}.*" --gtest_brief=1)
  set_tests_properties("${name}" PROPERTIES TIMEOUT "${GC_SUITE_TIMEOUT}")
endforeach()
foreach(test IN LISTS long_tests)
  set(name "${GC_SUITE_PREFIX}long/${test}")
  add_test("${name}" "${GC_SUITE_PROGRAM}" "--gtest_filter=${test}" --gtest_brief=1)
  set_tests_properties("${name}" PROPERTIES TIMEOUT "${GC_SUITE_TIMEOUT}" LABELS long
                       ENVIRONMENT "${GC_SUITE_LONG_VARIABLE}=1")
endforeach()
