if(WITH_DEMO AND WITH_GUI)
    add_executable(bench_walk ${CMAKE_CURRENT_LIST_DIR}/walk_bench.cpp)
    target_include_directories(bench_walk PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tests/e2e)
    target_link_libraries(bench_walk PRIVATE lumetra_testsupport lumetra_gui Qt6::Test)
    target_compile_definitions(bench_walk PRIVATE
        LUMETRA_DEMO_MARKET_PATH="$<TARGET_FILE:lumetra-demo-market>"
        LUMETRA_TRADES_PATH="$<TARGET_FILE:lumetra-trades>")
    add_dependencies(bench_walk lumetra-demo-market lumetra-trades)
endif()
