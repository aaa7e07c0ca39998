# lumetra_add_test(<name> SOURCES <files...> [GUI] [LABELS <labels...>] [TIMEOUT <s>])
# One Qt Test executable per unit. GUI tests link the GUI library and run
# offscreen; the others link only the logic library and run under the
# sanitizers when the build has them.
function(lumetra_add_test name)
    cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LABELS" ${ARGN})
    if(T_GUI AND NOT WITH_GUI)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE lumetra_testsupport)
    if(T_GUI)
        target_link_libraries(${name} PRIVATE lumetra_gui Qt6::Test)
        set(labels gui ${T_LABELS})
    else()
        target_link_libraries(${name} PRIVATE lumetra_core Qt6::Test)
        set(labels core ${T_LABELS})
    endif()
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        LABELS "${labels}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LUMETRA_DEMO_MARKET=$<$<BOOL:${WITH_DEMO}>:$<TARGET_FILE:lumetra-demo-market>>;LUMETRA_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
    if(WITH_DEMO)
        add_dependencies(${name} lumetra-demo-market)
    endif()
endfunction()
