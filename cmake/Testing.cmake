# GoogleTest: the system package natively; built from Debian's source copy
# when cross-compiling for Windows.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gtest ALIAS gtest)
  endif()
  # Windows programs need the C++ runtime beside them under Wine.
  set(VORN_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(VORN_STATIC_RUNTIME)
endif()

# Under Wine every test program runs in one throw-away prefix, made afresh
# once before the first of them (Wine's first start takes ten seconds or
# more). The prefix lives in the build directory.
if(CMAKE_CROSSCOMPILING)
  set(VORN_TEST_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
  add_test(NAME wine_prefix_init
           COMMAND ${CMAKE_COMMAND} -E env VORN_TEST_WINEPREFIX=${VORN_TEST_WINEPREFIX}
                   ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh --init)
  set_tests_properties(wine_prefix_init PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300
                       LABELS wine)
endif()

# vorn_add_test(NAME SOURCES... LIBS ...)
# Natively each case is its own CTest test; under Wine the whole program is
# one test, since every Wine process start costs about a second.
function(vorn_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main vorn_warnings ${VORN_STATIC_RUNTIME})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "wine;${T_LABELS}" TIMEOUT 600
                         FIXTURES_REQUIRED wine_prefix
                         ENVIRONMENT "VORN_TEST_WINEPREFIX=${VORN_TEST_WINEPREFIX}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${T_LABELS}" TIMEOUT 300)
  endif()
endfunction()
