# Shared settings of every target of the project.
function(tw_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# A static library of one subsystem.
function(tw_add_library target)
  add_library(${target} STATIC ${ARGN})
  tw_target_defaults(${target})
endfunction()

# A GoogleTest suite for UI-free code. The tests get a private, empty settings
# and state folder so they never touch the user's own.
function(tw_add_gtest target)
  add_executable(${target} ${ARGN})
  tw_target_defaults(${target})
  target_link_libraries(${target} PRIVATE tw_gtest_main GTest::gtest)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARNWELL_TEST=1")
endfunction()

# A Qt Test suite for windows, run on the offscreen platform.
function(tw_add_qtest target)
  add_executable(${target} ${ARGN})
  tw_target_defaults(${target})
  target_link_libraries(${target} PRIVATE tw_testsupport Qt6::Test)
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARNWELL_TEST=1"
    TIMEOUT 120)
endfunction()

# A Qt Test suite that needs a real window system (a window manager placing
# frames, OpenGL): it runs on a private Xvfb display of its own with openbox
# and Mesa's software renderer, so it runs without a display as well.
function(tw_add_qtest_x11 target)
  add_executable(${target} ${ARGN})
  tw_target_defaults(${target})
  target_link_libraries(${target} PRIVATE tw_testsupport Qt6::Test)
  add_test(NAME ${target} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/run-x11.sh $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "TARNWELL_TEST=1"
    TIMEOUT 180)
endfunction()
