# The sanitizer build (TARNWELL_SANITIZE): every target is instrumented, and
# every program carries the sanitizers' default options (a finding ends it
# with an error; leaks inside the system libraries are suppressed), so that
# the tests, their discovery and the program itself run the same way from
# ctest, from the build and from a shell, and a dlclose that keeps every
# module mapped for the leak check at exit (KeepModulesLoaded.cpp).
# TARNWELL_SANITIZE_EXCEPT names UndefinedBehaviorSanitizer checks to leave
# out (a list, such as "vptr"): for a known finding that cannot be mended yet,
# so that the rest still runs.
set(TARNWELL_SANITIZE_EXCEPT "" CACHE STRING "UndefinedBehaviorSanitizer checks the sanitizer build leaves out")
set(TW_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
if(TARNWELL_SANITIZE_EXCEPT)
  list(JOIN TARNWELL_SANITIZE_EXCEPT "," tw_sanitize_except)
  list(APPEND TW_SANITIZE_FLAGS -fno-sanitize=${tw_sanitize_except})
endif()
if(TARNWELL_SANITIZE AND NOT TARGET tw_sanitizer_defaults)
  add_library(tw_sanitizer_defaults OBJECT ${PROJECT_SOURCE_DIR}/cmake/sanitizers/SanitizerDefaults.cpp
    ${PROJECT_SOURCE_DIR}/cmake/sanitizers/KeepModulesLoaded.cpp)
  target_compile_definitions(tw_sanitizer_defaults PRIVATE
    TW_LSAN_SUPPRESSIONS="${PROJECT_SOURCE_DIR}/cmake/sanitizers/lsan-system-libraries.supp")
endif()

# The time a suite may take before it counts as hung: the sanitizer build's
# programs run several times slower, so its limits are three times as long,
# both CTest's for a whole suite and Qt Test's for one test function (five
# minutes unless QTEST_FUNCTION_TIMEOUT says otherwise).
if(TARNWELL_SANITIZE)
  set(TW_TEST_TIME_SCALE 3)
else()
  set(TW_TEST_TIME_SCALE 1)
endif()
math(EXPR TW_QTEST_FUNCTION_TIMEOUT "300000 * ${TW_TEST_TIME_SCALE}")

# Shared settings of every target of the project.
function(tw_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(TARNWELL_SANITIZE)
    target_compile_options(${target} PRIVATE ${TW_SANITIZE_FLAGS})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_link_options(${target} PRIVATE ${TW_SANITIZE_FLAGS})
      target_link_libraries(${target} PRIVATE tw_sanitizer_defaults)
    endif()
  endif()
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
  math(EXPR timeout "120 * ${TW_TEST_TIME_SCALE}")
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARNWELL_TEST=1;QTEST_FUNCTION_TIMEOUT=${TW_QTEST_FUNCTION_TIMEOUT}"
    TIMEOUT ${timeout})
endfunction()

# A Qt Test suite that needs a real window system (a window manager placing
# frames, OpenGL): it runs on a private Xvfb display of its own with openbox
# and Mesa's software renderer, so it runs without a display as well. These
# suites carry the label "x11" (`ctest -LE x11` leaves them out). They wait
# on the window system's events; the timeout only ends a run that hangs on a
# machine busy with other work.
function(tw_add_qtest_x11 target)
  add_executable(${target} ${ARGN})
  tw_target_defaults(${target})
  target_link_libraries(${target} PRIVATE tw_testsupport Qt6::Test)
  tw_add_x11_run(${target} ${target})
endfunction()

# One more run of such a suite, as test `name`, on a screen of the size
# `screen` ("1366x768"; the default size when left out).
function(tw_add_x11_run name target)
  set(environment "TARNWELL_TEST=1;QTEST_FUNCTION_TIMEOUT=${TW_QTEST_FUNCTION_TIMEOUT}")
  if(ARGC GREATER 2)
    list(APPEND environment "TW_X11_SCREEN=${ARGV2}")
  endif()
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/run-x11.sh $<TARGET_FILE:${target}>)
  math(EXPR timeout "600 * ${TW_TEST_TIME_SCALE}")
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${environment}"
    LABELS x11
    TIMEOUT ${timeout})
endfunction()
