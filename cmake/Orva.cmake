# Shared build rules: one INTERFACE target with the standard and the warnings, and helpers
# that turn a subsystem folder into a library and a test executable without listing files.

add_library(orva_flags INTERFACE)
target_compile_features(orva_flags INTERFACE cxx_std_20)
target_compile_options(orva_flags INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
  -Woverloaded-virtual)
# GCC 12 at -O3 (a Release build) warns of overlapping copies inside libstdc++'s own string
# concatenation: a known false positive of that release, gone in GCC 13.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(orva_flags INTERFACE $<$<CONFIG:Release>:-Wno-restrict>)
endif()
# Warnings stop the build only where the project's own scripts ask for it: a packager's or a
# user's flags and compiler may warn where ours do not.
if(ORVA_WERROR)
  target_compile_options(orva_flags INTERFACE -Werror)
endif()
target_compile_definitions(orva_flags INTERFACE QT_NO_CONTEXTLESS_CONNECT QT_NO_CAST_FROM_ASCII)
# The source tree's path, for the tests' fixtures and the benchmarks' inputs only: the
# programs find their shipped data through the build tree's share folder, so no object of the
# product depends on where the tree was checked out.
set(ORVA_SOURCE_DIR_DEFINITION ORVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
if(ORVA_SANITIZE)
  target_compile_options(orva_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(orva_flags INTERFACE -fsanitize=address,undefined)
endif()
if(ORVA_FUZZ)
  target_compile_options(orva_flags INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
  target_link_options(orva_flags INTERFACE -fsanitize=address,undefined)
endif()

# orva_logic(<sub> DEPENDS <libs...>): src/<sub>/*.cpp (not ui/) become the static library
# orva_<sub>. Headers are included as "<sub>/File.h" from src/.
function(orva_logic sub)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${sub}/*.cpp)
  if(NOT sources)
    # A subsystem still being started: an empty library keeps its dependants linking.
    set(sources ${CMAKE_BINARY_DIR}/orva_empty_${sub}.cpp)
    file(WRITE ${sources} "// empty\n")
  endif()
  add_library(orva_${sub} STATIC ${sources})
  target_include_directories(orva_${sub} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(orva_${sub} PUBLIC orva_flags ${ARG_DEPENDS})
  # Logic holds no Qt, so the meta-object compiler has nothing to scan there.
  set_target_properties(orva_${sub} PROPERTIES AUTOMOC OFF)
endfunction()

# orva_ui(<sub> DEPENDS <libs...>): src/<sub>/ui/*.cpp become orva_<sub>_ui (Qt Widgets).
function(orva_ui sub)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  if(NOT ORVA_GUI)
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${sub}/ui/*.cpp
    ${CMAKE_SOURCE_DIR}/src/${sub}/ui/*.h)
  add_library(orva_${sub}_ui STATIC ${sources})
  target_include_directories(orva_${sub}_ui PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(orva_${sub}_ui PUBLIC orva_flags orva_${sub} ${ARG_DEPENDS}
    Qt6::Widgets)
endfunction()

# orva_tests(<sub> DEPENDS <libs...>): tests/<sub>/*.cpp become orva_<sub>_tests (GoogleTest).
function(orva_tests sub)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${sub}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(orva_${sub}_tests ${sources})
  target_compile_definitions(orva_${sub}_tests PRIVATE ${ORVA_SOURCE_DIR_DEFINITION})
  target_link_libraries(orva_${sub}_tests PRIVATE orva_flags orva_testsupport ${ARG_DEPENDS}
    GTest::gtest_main GTest::gmock)
  gtest_discover_tests(orva_${sub}_tests
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "ORVA_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;LC_ALL=C.UTF-8;TZ=Europe/Rome"
    DISCOVERY_TIMEOUT 60)
endfunction()

# orva_ui_tests(<sub> DEPENDS <libs...>): tests/<sub>/ui/*.cpp become orva_<sub>_ui_tests, run
# with the offscreen platform. Each file is a GoogleTest file; a QApplication is made once.
function(orva_ui_tests sub)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  if(NOT ORVA_GUI)
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${sub}/ui/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(orva_${sub}_ui_tests ${sources})
  target_compile_definitions(orva_${sub}_ui_tests PRIVATE ${ORVA_SOURCE_DIR_DEFINITION})
  target_link_libraries(orva_${sub}_ui_tests PRIVATE orva_flags orva_testsupport
    orva_testsupport_qt ${ARG_DEPENDS} GTest::gtest GTest::gmock Qt6::Widgets Qt6::Test)
  # The "*Screenshot*" cases only take the documentation's pictures (scripts/screenshots.sh):
  # they are not tests.
  gtest_discover_tests(orva_${sub}_ui_tests
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    TEST_FILTER "-*Screenshot*"
    PROPERTIES ENVIRONMENT
      "ORVA_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TZ=Europe/Rome"
    DISCOVERY_TIMEOUT 60)
endfunction()
