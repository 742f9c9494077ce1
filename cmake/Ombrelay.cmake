# ombrelay_add_test(<name> LABEL <folder> SOURCES <files...> [LIBRARIES <targets...>] [TIMEOUT <s>])
# One Qt Test executable, registered with CTest, run headless with its own settings sandbox.
function(ombrelay_add_test name)
    cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ombrelaycore ombrelayresources Qt6::Test ${T_LIBRARIES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(_env "QT_QPA_PLATFORM=offscreen;HOME=${CMAKE_BINARY_DIR}/home;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/runtime;OMBRELAY_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
    if(OMBRELAY_SANITIZE)
        # Here rather than in scripts/test, so a plain "ctest" in the build folder fails on reports too.
        set(_supp ${CMAKE_SOURCE_DIR}/tests/sanitizer)
        list(APPEND _env
            "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=0"
            "LSAN_OPTIONS=suppressions=${_supp}/lsan.supp:print_suppressions=0"
            "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=${_supp}/ubsan.supp")
    endif()
    set_tests_properties(${name} PROPERTIES
        LABELS "${T_LABEL}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "${_env}")
endfunction()

# ombrelay_add_bench(<name> SOURCES <files...> [LIBRARIES <targets...>])
# Built with the project, never run by CTest.
function(ombrelay_add_bench name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ombrelaycore ombrelayresources Qt6::Test ${B_LIBRARIES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/bench)
endfunction()

# Every sub-folder with a CMakeLists.txt is added, so each area owns its own list of tests.
macro(ombrelay_add_subfolders)
    file(GLOB _children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT _children)
    foreach(_child IN LISTS _children)
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${_child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
            add_subdirectory(${_child})
        endif()
    endforeach()
endmacro()
