# Tests keep their settings, backups and traces inside the build tree rather
# than in the user's own folders.
set(KS340_TEST_HOME "XDG_DATA_HOME=${PROJECT_BINARY_DIR}/test-home/data;XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/test-home/config;XDG_CACHE_HOME=${PROJECT_BINARY_DIR}/test-home/cache")

# ks340_library(NAME DIR [DEPS ...]): one static library from the sources of
# one folder (not its subfolders).
function(ks340_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  file(GLOB _cpp CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT _cpp)
    # A folder with no sources yet: headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    if(ARGN)
      target_link_libraries(${name} INTERFACE ${ARGN})
    endif()
    return()
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(ARGN)
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# ks340_gtest(NAME DIR DEPS...): one GoogleTest executable from a test folder.
# Tests named Cli*Test.cpp run ks340ctl: the core-only builds, which have no
# ks340ctl, leave them out; elsewhere building the tests builds the tool.
function(ks340_gtest name dir)
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
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
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
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
