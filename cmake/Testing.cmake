# GoogleTest: the system package natively; built from Debian's source copy
# when cross-compiling for Windows.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gtest ALIAS gtest)
  endif()
else()
  find_package(GTest)
  if(NOT GTest_FOUND)
    message(FATAL_ERROR "GoogleTest is needed for the tests: install libgtest-dev "
                        "(scripts/install-deps.sh --test), or configure with -DBUILD_TESTING=OFF")
  endif()
  include(GoogleTest)
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
  add_test(NAME wine_prefix_done
           COMMAND ${CMAKE_COMMAND} -E env VORN_TEST_WINEPREFIX=${VORN_TEST_WINEPREFIX}
                   ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh --done)
  set_tests_properties(wine_prefix_done PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60
                       LABELS wine)
endif()

# vorn_add_test(NAME SOURCES... LIBS ... LABELS ... [WINDOW])
# Natively each case is its own CTest test; under Wine the whole program is
# one test, since every Wine process start costs about a second. WINDOW
# marks a program that opens the window: it runs on Qt's offscreen
# platform. Under Wine the programs run one at a time, because the window's
# working files and the demo installation lie in the root of the prefix's
# drive C:.
function(vorn_add_test name)
  cmake_parse_arguments(T "WINDOW" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vorn_warnings)
  if(NOT T_WINDOW)
    target_link_libraries(${name} PRIVATE GTest::gtest_main ${VORN_STATIC_RUNTIME})
  endif()
  if(CMAKE_CROSSCOMPILING)
    set(env "VORN_TEST_WINEPREFIX=${VORN_TEST_WINEPREFIX}")
    if(T_WINDOW)
      # Wine hands QT_X to Windows programs only when it is passed as WINEQT_X.
      list(APPEND env "WINEQT_QPA_PLATFORM=offscreen"
           "WINEQT_QPA_FONTDIR=${VORN_TEST_FONTDIR}")
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "wine;${T_LABELS}" TIMEOUT 900
                         FIXTURES_REQUIRED wine_prefix ENVIRONMENT "${env}")
    # One at a time: they share the prefix's drive C: and its wineserver,
    # and a test that waits for a started program must not wait on another
    # test's load.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_prefix_lock)
  else()
    set(props LABELS "${T_LABELS}" TIMEOUT 300)
    if(T_WINDOW)
      list(APPEND props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
    # A test that holds the game's default UDP port would make another's
    # Start refuse it: such programs run one at a time.
    if(name IN_LIST VORN_DEFAULT_PORT_TESTS)
      list(APPEND props RESOURCE_LOCK udp_port_27015)
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
  endif()
endfunction()
