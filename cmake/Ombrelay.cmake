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
    set_tests_properties(${name} PROPERTIES
        LABELS "${T_LABEL}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${CMAKE_BINARY_DIR}/home;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/runtime;OMBRELAY_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
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
