# Small helpers shared by the subsystem CMake files.

# kelvo_library(NAME SOURCES ... DEPS ...): one static library per subsystem, its headers
# reached as "<subsystem>/<header>.h" from src/.
function(kelvo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kelvo_test_program(NAME): NAME is a program that CTest runs. The target kelvo_tests
# (tests/CMakeLists.txt) builds every such program and what they start, and nothing else: the tsan
# preset builds only that.
function(kelvo_test_program name)
  set_property(GLOBAL APPEND PROPERTY KELVO_TEST_PROGRAMS ${name})
endfunction()

# kelvo_test(NAME SOURCES ... DEPS ... [DEFINES ...] [NEEDS targets...]): one GoogleTest executable,
# its tests registered with CTest; NEEDS names programs that the tests start. Nothing without tests.
function(kelvo_test name)
  if(NOT KELVO_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;ENV;DEFINES;NEEDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  kelvo_test_program(${name})
  if(ARG_DEFINES)
    target_compile_definitions(${name} PRIVATE ${ARG_DEFINES})
  endif()
  if(ARG_NEEDS)
    add_dependencies(${name} ${ARG_NEEDS})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  # Listing the tests starts the program once; a sanitized Qt program on a busy machine can take
  # longer than CMake's default of five seconds, which failed whole runs without running a test.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${ARG_ENV}")
endfunction()

# kelvo_fuzzer(NAME SOURCES ... DEPS ...): a libFuzzer target, built only with KELVO_FUZZ.
function(kelvo_fuzzer name)
  if(NOT KELVO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
