if(WITH_DEMO)
    add_executable(bench_scan ${CMAKE_CURRENT_LIST_DIR}/scan_bench.cpp)
    target_include_directories(bench_scan PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(bench_scan PRIVATE lumetra_testsupport lumetra_core)
    target_compile_definitions(bench_scan PRIVATE
        LUMETRA_DEMO_MARKET_PATH="$<TARGET_FILE:lumetra-demo-market>")
    add_dependencies(bench_scan lumetra-demo-market)
endif()
