# GoogleTest from Debian's sources, built with the cross compiler, and the
# helper that turns one test program into one CTest suite run under Wine.
# CTest names end in the target (registry_test.i686, registry_test.x86_64).

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# One Wine session (prefix, display, wineserver) for the whole CTest run,
# with the simulated pad's dinput.dll in the prefix's system folder.
add_test(NAME wine_session_start.${KEYVANE_TARGET}
  COMMAND ${KEYVANE_WINE_RUN} --system-dlls ${KEYVANE_SYSTEM_DLL_DIR} start)
add_test(NAME wine_session_stop.${KEYVANE_TARGET} COMMAND ${KEYVANE_WINE_RUN} stop)
# A new prefix takes a while, more so a 64-bit one beside wine32.
set_tests_properties(wine_session_start.${KEYVANE_TARGET} PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
set_tests_properties(wine_session_stop.${KEYVANE_TARGET} PROPERTIES FIXTURES_CLEANUP wine)

# keyvane_add_test(NAME SOURCES ... LIBS ... [ENV VAR=VALUE ...] [DESKTOP])
# DESKTOP: the suite uses the keyboard, the focus or the foreground window,
# which the suites share, so such suites never run at the same time.
function(keyvane_add_test name)
  cmake_parse_arguments(T "DESKTOP" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} keyvane_test_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name}.${KEYVANE_TARGET} COMMAND ${name})
  set_tests_properties(${name}.${KEYVANE_TARGET} PROPERTIES
    FIXTURES_REQUIRED wine
    ENVIRONMENT "${T_ENV}"
    TIMEOUT 300)
  if(T_DESKTOP)
    set_tests_properties(${name}.${KEYVANE_TARGET} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
