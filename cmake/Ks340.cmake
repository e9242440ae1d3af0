# Tests keep their settings, backups and traces inside the build tree rather
# than in the user's own folders.
set(KS340_TEST_HOME "XDG_DATA_HOME=${PROJECT_BINARY_DIR}/test-home/data;XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/test-home/config;XDG_CACHE_HOME=${PROJECT_BINARY_DIR}/test-home/cache")

# ks340_library(NAME DIR SOURCES files... [DEPS targets...]): one static
# library from the listed files of one folder (names relative to DIR).
function(ks340_library name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;DEPS")
  list(TRANSFORM arg_SOURCES PREPEND ${dir}/)
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(arg_DEPS)
    target_link_libraries(${name} PUBLIC ${arg_DEPS})
  endif()
endfunction()

# ks340_gtest(NAME DIR SOURCES files... DEPS targets...): one GoogleTest
# executable from the listed files of a test folder (names relative to DIR).
# Tests named Cli*Test.cpp run ks340ctl: the core-only builds, which have no
# ks340ctl, leave them out; elsewhere building the tests builds the tool.
function(ks340_gtest name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;DEPS")
  set(_src ${arg_SOURCES})
  list(TRANSFORM _src PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/)
  set(_runs_cli OFF)
  if(_src MATCHES "/Cli[^/;]*Test\\.cpp")
    set(_runs_cli ON)
  endif()
  if(KS340_CORE_ONLY)
    list(FILTER _src EXCLUDE REGEX "/Cli[^/]*Test\\.cpp$")
    set(_runs_cli OFF)
  endif()
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${arg_DEPS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  if(_runs_cli AND TARGET ks340ctl)
    add_dependencies(${name} ks340ctl)
  endif()
  target_compile_definitions(${name} PRIVATE
    KS340_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    KS340_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "KS340_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# ks340_qtest(NAME SOURCE DEPS...): one Qt Test executable, run offscreen.
function(ks340_qtest name source)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN} Qt6::Test)
  target_compile_definitions(${name} PRIVATE
    KS340_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    KS340_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KS340_BINARY_DIR=${PROJECT_BINARY_DIR};${KS340_TEST_HOME}"
    TIMEOUT 300)
endfunction()
