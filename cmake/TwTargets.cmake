# Helpers shared by every folder's CMakeLists.

# Marks a deliverable (program or shared library) so that it lands in the program folder.
function(tw_deliverable target)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${TW_DIST_DIR}
        LIBRARY_OUTPUT_DIRECTORY ${TW_DIST_DIR})
endfunction()

# Collects the sources of a folder tree, leaving out its tests/ folders and the paths that match
# any of the regular expressions given after dir. Paths are matched relative to dir, so the
# folders above it (where the tree is checked out) never leave a source out.
function(tw_sources out dir)
    file(GLOB_RECURSE srcs RELATIVE ${dir} CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    foreach(pattern "(^|/)tests/" ${ARGN})
        list(FILTER srcs EXCLUDE REGEX "${pattern}")
    endforeach()
    list(TRANSFORM srcs PREPEND "${dir}/")
    set(${out} ${srcs} PARENT_SCOPE)
endfunction()

# One test program per tests/ folder: tw_test_dir(name dir LIBS...).
# Qt tests link tw_test_main_qt (an offscreen QApplication); plain ones GTest::gtest_main.
function(tw_test_dir name dir)
    if(NOT TW_BUILD_TESTS)
        return()
    endif()
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    if(NOT srcs)
        return()
    endif()
    add_executable(${name} ${srcs})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        TW_DIST_DIR="${TW_DIST_DIR}"
        TW_SHIPPED_DIR="${TW_SHIPPED_DIR}"
        TW_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        TW_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/${dir}/data")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0" TIMEOUT 300)
endfunction()
