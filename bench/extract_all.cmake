if(WITH_DEMO)
    add_executable(bench_extract_all ${CMAKE_CURRENT_LIST_DIR}/extract_all_bench.cpp)
    target_include_directories(bench_extract_all PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(bench_extract_all PRIVATE lumetra_core Qt6::Test)
    target_compile_definitions(bench_extract_all PRIVATE
        LUMETRA_DEMO_MARKET_PATH="$<TARGET_FILE:lumetra-demo-market>")
    add_dependencies(bench_extract_all lumetra-demo-market)
endif()
