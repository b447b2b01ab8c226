# GoogleTest from Debian's sources (/usr/src/googletest), built with the project's
# own compiler so that the MinGW cross build gets a Windows copy of it.
set(QUORVEL_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")

function(quorvel_use_gtest)
  if(TARGET gtest_main)
    return()
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${QUORVEL_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endfunction()

# quorvel_add_gtest(target sources...): one test executable. Natively each test case
# becomes its own CTest entry; in the Windows build the whole executable is one entry
# run through CMAKE_CROSSCOMPILING_EMULATOR (Wine), since discovering cases would
# start Wine once more per executable.
function(quorvel_add_gtest target)
  quorvel_use_gtest()
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest_main quorvel_warnings)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    include(GoogleTest)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT "QUORVEL_TEST=1")
  endif()
endfunction()
